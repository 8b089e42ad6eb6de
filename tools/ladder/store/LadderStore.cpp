#include "LadderStore.h"

#include "DatabaseLocation.h"
#include "Schema.h"
#include "VersionColumns.h"

namespace vorlen::ladder {

LadderStore::LadderStore(const std::string& location, bool create) : db_(openDatabase(location, create)) { migrate(); }

int LadderStore::schemaVersion() { return db_->schemaVersion(); }

void LadderStore::migrate()
{
    const auto& steps = migrations();
    const int at = schemaVersion();
    if (at > static_cast<int>(steps.size()))
        throw SqlError("the ladder's database is of a newer vorlen-ladder (schema " + std::to_string(at) + ", this one knows "
                       + std::to_string(steps.size()) + ")");
    for (std::size_t step = static_cast<std::size_t>(at); step < steps.size(); ++step) {
        db_->begin();
        try {
            applyMigration(*db_, step);
            db_->setSchemaVersion(static_cast<int>(step) + 1);
            db_->commit();
        } catch (...) {
            db_->rollback();
            throw;
        }
    }
}

namespace {

constexpr const char* kBotRows = "SELECT b.name, b.state, b.added, b.note, COALESCE(u.name, '') FROM bots b "
                                 "LEFT JOIN users u ON u.id = b.owner";

BotRow botOf(const SqlRow& row)
{
    return {asText(row[0]), asText(row[1]), asText(row[2]), asText(row[3]), asText(row[4])};
}

} // namespace

std::optional<BotRow> LadderStore::bot(const std::string& name)
{
    const auto rows = db_->query(std::string(kBotRows) + " WHERE b.name = ?1", {name});
    if (rows.empty())
        return std::nullopt;
    return botOf(rows[0]);
}

std::vector<BotRow> LadderStore::bots()
{
    std::vector<BotRow> bots;
    for (const SqlRow& row : db_->query(std::string(kBotRows) + " ORDER BY b.name"))
        bots.push_back(botOf(row));
    return bots;
}

VersionRow LadderStore::addVersion(const std::string& bot, const std::string& folder, const std::string& command,
                                   const std::string& build, const std::string& now)
{
    db_->begin();
    try {
        db_->execute("INSERT INTO bots (name, added) VALUES (?1, ?2) ON CONFLICT (name) DO NOTHING", {bot, now});
        const std::int64_t id = db_->insert(
            "INSERT INTO versions (bot, number, folder, command, build, added) "
            "SELECT b.id, COALESCE((SELECT MAX(number) FROM versions WHERE bot = b.id), 0) + 1, ?2, ?3, ?4, ?5 "
            "FROM bots b WHERE b.name = ?1",
            {bot, folder, command, build, now});
        const auto rows = db_->query(std::string("SELECT ") + kVersionColumns
                                        + " FROM versions v JOIN bots b ON b.id = v.bot WHERE v.id = ?1",
                                    {id});
        db_->commit();
        return versionOf(rows.at(0));
    } catch (...) {
        db_->rollback();
        throw;
    }
}

std::vector<VersionRow> LadderStore::versionsOf(const std::string& bot)
{
    std::vector<VersionRow> versions;
    for (const SqlRow& row : db_->query(std::string("SELECT ") + kVersionColumns
                                           + " FROM versions v JOIN bots b ON b.id = v.bot WHERE b.name = ?1 "
                                             "ORDER BY v.number",
                                       {bot}))
        versions.push_back(versionOf(row));
    return versions;
}

void LadderStore::setBotState(const std::string& bot, const std::string& state)
{
    db_->execute("UPDATE bots SET state = ?2, note = '' WHERE name = ?1", {bot, state});
}

void LadderStore::setVersionState(std::int64_t version, const std::string& state, const std::string& reason)
{
    db_->execute("UPDATE versions SET state = ?2, reason = ?3 WHERE id = ?1", {version, state, reason});
}

void LadderStore::addMatch(std::int64_t first, std::int64_t second, const std::string& record, const std::string& played)
{
    db_->execute("INSERT INTO matches (first, second, record, played) VALUES (?1, ?2, ?3, ?4)",
                {first, second, record, played});
}

std::int64_t LadderStore::matchCount(std::int64_t version)
{
    return asInt(db_->query("SELECT COUNT(*) FROM matches WHERE first = ?1 OR second = ?1", {version}).at(0).at(0));
}

namespace {

MatchRow matchRow(const SqlRow& row)
{
    return {asInt(row[0]), asInt(row[1]), asInt(row[2]), asText(row[3]), asText(row[4]), asInt(row[5])};
}

} // namespace

std::vector<MatchRow> LadderStore::matches(int limit, std::optional<std::int64_t> version)
{
    const std::string where = version ? " WHERE first = ?2 OR second = ?2" : "";
    std::vector<SqlValue> values{static_cast<std::int64_t>(limit)};
    if (version)
        values.emplace_back(*version);
    std::vector<MatchRow> rows;
    for (const SqlRow& row :
         db_->query("SELECT id, first, second, record, played, pair FROM matches" + where + " ORDER BY id DESC LIMIT ?1",
                    values))
        rows.push_back(matchRow(row));
    return rows;
}

std::optional<MatchRow> LadderStore::match(std::int64_t id)
{
    const std::vector<SqlRow> rows =
        db_->query("SELECT id, first, second, record, played, pair FROM matches WHERE id = ?1", {id});
    if (rows.empty())
        return std::nullopt;
    return matchRow(rows[0]);
}

} // namespace vorlen::ladder
