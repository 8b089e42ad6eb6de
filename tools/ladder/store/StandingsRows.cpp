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

} // namespace vorlen::ladder
