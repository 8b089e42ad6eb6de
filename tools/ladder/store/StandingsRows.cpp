// The standings as last computed: kept so that reading them costs a row.
#include "LadderStore.h"

namespace vorlen::ladder {

std::string LadderStore::standingsState()
{
    std::string state = asText(db_->query("SELECT COALESCE(MAX(id), 0) FROM matches").at(0).at(0));
    for (const VersionRow& version : currentVersions())
        state += " " + std::to_string(version.id);
    return state;
}

std::optional<std::string> LadderStore::keptStandings(const std::string& state, int top)
{
    const auto rows = db_->query("SELECT text FROM standings WHERE top = ?1 AND state = ?2",
                                 {static_cast<std::int64_t>(top), state});
    if (rows.empty())
        return std::nullopt;
    return asText(rows[0][0]);
}

void LadderStore::keepStandings(const std::string& state, int top, const std::string& text)
{
    db_->execute("INSERT INTO standings (top, state, text) VALUES (?1, ?2, ?3) ON CONFLICT (top) DO UPDATE SET "
                 "state = excluded.state, text = excluded.text",
                 {static_cast<std::int64_t>(top), state, text});
}

void LadderStore::keepRating(std::int64_t version, const RatingPoint& point)
{
    const auto last = db_->query("SELECT MAX(at) FROM ratings WHERE version = ?1", {version});
    const std::string latest = last.empty() ? std::string() : asText(last[0][0]);
    // ISO times compare as text; an hour on is the same text from the 14th
    // character, a later hour before it.
    if (!latest.empty() && latest.substr(0, 13) >= point.at.substr(0, 13))
        return;
    db_->execute("INSERT INTO ratings (version, at, elo, low, high) VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT DO NOTHING",
                 {version, point.at, point.elo, point.low, point.high});
}

std::vector<RatingPoint> LadderStore::ratingsOf(std::int64_t version)
{
    std::vector<RatingPoint> points;
    for (const SqlRow& row : db_->query("SELECT at, elo, low, high FROM ratings WHERE version = ?1 ORDER BY at", {version}))
        points.push_back({asText(row[0]), asReal(row[1]), asReal(row[2]), asReal(row[3])});
    return points;
}

} // namespace vorlen::ladder
