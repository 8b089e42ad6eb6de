// What the runner reads and writes as it goes: who plays, the pairs it
// starts and finishes, and what a stopped run left behind.
#include "LadderStore.h"
#include "VersionColumns.h"

namespace vorlen::ladder {

std::vector<VersionRow> LadderStore::currentVersions()
{
    std::vector<VersionRow> current;
    for (const SqlRow& row :
         db_->query(std::string("SELECT ") + kVersionColumns
                   + " FROM versions v JOIN bots b ON b.id = v.bot WHERE b.state = 'active' AND v.state = 'ready' "
                     "AND v.number = (SELECT MAX(number) FROM versions w WHERE w.bot = v.bot AND w.state = 'ready') "
                     "ORDER BY b.name"))
        current.push_back(versionOf(row));
    return current;
}

std::vector<VersionRow> LadderStore::versionsIn(const std::string& state)
{
    std::vector<VersionRow> versions;
    for (const SqlRow& row : db_->query(std::string("SELECT ") + kVersionColumns
                                           + " FROM versions v JOIN bots b ON b.id = v.bot "
                                             "WHERE v.state = ?1 AND b.state != 'retired' ORDER BY v.id",
                                       {state}))
        versions.push_back(versionOf(row));
    return versions;
}

void LadderStore::setVersionChecked(std::int64_t version, const std::string& records)
{
    db_->execute("UPDATE versions SET checked = ?2 WHERE id = ?1", {version, records});
}

std::string LadderStore::versionChecked(std::int64_t version)
{
    const auto rows = db_->query("SELECT checked FROM versions WHERE id = ?1", {version});
    return rows.empty() ? std::string() : asText(rows[0][0]);
}

void LadderStore::pauseBot(const std::string& bot, const std::string& note)
{
    db_->execute("UPDATE bots SET state = 'paused', note = ?2 WHERE name = ?1 AND state = 'active'", {bot, note});
}

std::optional<VersionRow> LadderStore::version(std::int64_t id)
{
    const auto rows = db_->query(std::string("SELECT ") + kVersionColumns
                                    + " FROM versions v JOIN bots b ON b.id = v.bot WHERE v.id = ?1",
                                {id});
    if (rows.empty())
        return std::nullopt;
    return versionOf(rows[0]);
}

void LadderStore::setPairSeed(std::int64_t pair, std::int64_t seed)
{
    db_->execute("UPDATE pairs SET seed = ?2 WHERE id = ?1", {pair, seed});
}

std::optional<PairRow> LadderStore::playingPair(std::int64_t pair)
{
    const auto rows =
        db_->query("SELECT id, first, second, seed FROM pairs WHERE id = ?1 AND state = 'playing'", {pair});
    if (rows.empty())
        return std::nullopt;
    return PairRow{asInt(rows[0][0]), asInt(rows[0][1]), asInt(rows[0][2]), asInt(rows[0][3])};
}

PairRow LadderStore::startPair(std::int64_t first, std::int64_t second, std::int64_t seed, const std::string& now)
{
    const std::int64_t id =
        db_->insert("INSERT INTO pairs (first, second, seed, started) VALUES (?1, ?2, ?3, ?4)", {first, second, seed, now});
    return {id, first, second, seed};
}

std::array<int, 2> LadderStore::finishPair(const PairRow& pair, const PlayedPair& played, const std::string& now)
{
    std::array<int, 2> inARow{};
    db_->begin();
    try {
        for (std::size_t i = 0; i < played.records.size(); ++i)
            db_->execute("INSERT INTO matches (first, second, record, played, pair, points) "
                        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                        {pair.first, pair.second, played.records[i], now, pair.id, played.points.at(i)});
        const std::array<std::int64_t, 2> versions{pair.first, pair.second};
        for (std::size_t side = 0; side < 2; ++side) {
            const int failed = played.failed[side];
            // A pair with a match it played to the end starts the count anew.
            db_->execute(failed < static_cast<int>(played.records.size())
                            ? "UPDATE versions SET failures = ?2 WHERE id = ?1"
                            : "UPDATE versions SET failures = failures + ?2 WHERE id = ?1",
                        {versions[side], static_cast<std::int64_t>(failed)});
            inARow[side] = static_cast<int>(
                asInt(db_->query("SELECT failures FROM versions WHERE id = ?1", {versions[side]}).at(0).at(0)));
        }
        addResults(pair, played);
        db_->execute("UPDATE pairs SET state = 'done' WHERE id = ?1", {pair.id});
        db_->commit();
    } catch (...) {
        db_->rollback();
        throw;
    }
    return inARow;
}

std::vector<std::int64_t> LadderStore::dropUnfinishedPairs()
{
    std::vector<std::int64_t> dropped;
    db_->begin();
    try {
        for (const SqlRow& row : db_->query("SELECT id FROM pairs WHERE state = 'playing'"))
            dropped.push_back(asInt(row[0]));
        db_->execute("UPDATE pairs SET state = 'dropped' WHERE state = 'playing'");
        db_->commit();
    } catch (...) {
        db_->rollback();
        throw;
    }
    return dropped;
}

void LadderStore::dropPair(std::int64_t pair)
{
    db_->execute("UPDATE pairs SET state = 'dropped' WHERE id = ?1 AND state = 'playing'", {pair});
}

void LadderStore::resetUnfinishedVersions()
{
    db_->execute("UPDATE versions SET state = 'waiting', reason = '' WHERE state IN ('building', 'checking')");
}

std::map<std::pair<std::int64_t, std::int64_t>, int> LadderStore::pairCounts()
{
    std::map<std::pair<std::int64_t, std::int64_t>, int> counts;
    for (const SqlRow& row : db_->query("SELECT CASE WHEN first < second THEN first ELSE second END AS a, "
                                        "CASE WHEN first < second THEN second ELSE first END AS b, COUNT(*) FROM pairs "
                                        "WHERE state IN ('done', 'playing') GROUP BY a, b"))
        counts[{asInt(row[0]), asInt(row[1])}] = static_cast<int>(asInt(row[2]));
    return counts;
}

void LadderStore::addResults(const PairRow& pair, const PlayedPair& played)
{
    std::array<std::int64_t, 3> outcomes{}; // wins, draws, losses
    double points = 0;
    for (const double point : played.points) {
        ++outcomes[point == 1 ? 0 : point == 0.5 ? 1 : 2];
        points += point;
    }
    std::vector<SqlValue> values{pair.first, pair.second, outcomes[0], outcomes[1], outcomes[2]};
    for (int board = 0; board < 5; ++board)
        values.emplace_back(static_cast<std::int64_t>(played.points.size() == 2 && board == points * 2 ? 1 : 0));
    db_->execute("INSERT INTO results (first, second, wins, draws, losses, pairs0, pairs1, pairs2, pairs3, pairs4) "
                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10) ON CONFLICT (first, second) DO UPDATE SET "
                 "wins = results.wins + excluded.wins, draws = results.draws + excluded.draws, "
                 "losses = results.losses + excluded.losses, pairs0 = results.pairs0 + excluded.pairs0, "
                 "pairs1 = results.pairs1 + excluded.pairs1, pairs2 = results.pairs2 + excluded.pairs2, "
                 "pairs3 = results.pairs3 + excluded.pairs3, pairs4 = results.pairs4 + excluded.pairs4",
                 values);
}

std::vector<VersionResults> LadderStore::meetings()
{
    std::vector<VersionResults> all;
    for (const SqlRow& row : db_->query("SELECT first, second, wins, draws, losses, pairs0, pairs1, pairs2, pairs3, "
                                        "pairs4 FROM results")) {
        VersionResults r{asInt(row[0]), asInt(row[1]), asInt(row[2]), asInt(row[3]), asInt(row[4]), {}};
        for (std::size_t i = 0; i < 5; ++i)
            r.pairs[i] = asInt(row[5 + i]);
        all.push_back(r);
    }
    return all;
}

} // namespace vorlen::ladder
