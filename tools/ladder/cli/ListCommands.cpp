#include "CommandParts.h"
#include "PairPlay.h"
#include "LadderStandings.h"
#include "RecordText.h"
#include "SeatPlayer.h"
#include "Summary.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace vorlen::ladder {
namespace {

// The matches between the current versions, in the order they were played,
// as one run's records: every version plays every board in both seatings,
// the field's mean at 0, the matches numbered from 0. vorlen-match sums
// them up as the ladder does.
std::vector<match::MatchRecord> currentRecords(LadderStore& store, const std::vector<VersionRow>& current)
{
    std::set<std::int64_t> playing;
    std::string players;
    for (const VersionRow& version : current) {
        playing.insert(version.id);
        players += (players.empty() ? "" : " ") + versionName(version);
    }
    std::vector<match::MatchRecord> records;
    std::vector<MatchRow> rows = store.matches(INT32_MAX);
    std::reverse(rows.begin(), rows.end());
    for (const MatchRow& row : rows) {
        std::vector<match::MatchRecord> read;
        std::string error;
        if (playing.count(row.first) && playing.count(row.second) && match::parseRecords(row.record, true, read, error))
            records.insert(records.end(), read.begin(), read.end());
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        match::MatchRecord& record = records[i];
        record.game = static_cast<int>(i);
        record.run = "ladder";
        record.runMatches = static_cast<int>(records.size());
        record.runPlayers = players;
        record.swap = true;
        record.anchor = match::kPoolMeanAnchor;
        record.sprt.clear();
        record.shard.clear();
    }
    return records;
}

} // namespace

CommandOutcome showStandings(CommandCall& call, LadderStore& store)
{
    std::string top = std::to_string(kStandingsTop);
    if (!takeOption(call.args, "--top", top) || !call.args.empty())
        return call.refuse("standings takes only --top N");
    const std::optional<long long> tableTop = countOf(top, 2, 1000);
    if (!tableTop)
        return call.refuse("--top takes a count from 2 to 1000");
    call.outcome.out = currentStandings(store, static_cast<std::size_t>(*tableTop));
    return call.outcome;
}

CommandOutcome exportRecords(CommandCall& call, LadderStore& store)
{
    for (const match::MatchRecord& record : currentRecords(store, store.currentVersions()))
        call.outcome.out += match::toJsonLine(record);
    return call.outcome;
}

std::string matchLine(const MatchRow& row)
{
    std::string error;
    const std::optional<match::MatchRecord> record = recordOf(row, &error);
    if (!record)
        return std::to_string(row.id) + "  (a record that cannot be read: " + error + ")\n";
    const match::MatchRecord& r = *record;
    return std::to_string(row.id) + "  " + row.played + "  " + r.seats[0].player + " " + std::to_string(r.seats[0].score)
           + " - " + std::to_string(r.seats[1].score) + " " + r.seats[1].player + "\n";
}

CommandOutcome listMatches(CommandCall& call, LadderStore& store)
{
    int limit = 20;
    if (call.args.size() == 1 && call.args[0] == "--records")
        return exportRecords(call, store);
    if (call.args.size() == 2 && call.args[0] == "--limit") {
        const std::optional<long long> given = countOf(call.args[1], 1, INT32_MAX);
        if (!given)
            return call.refuse("--limit takes a count from 1");
        limit = static_cast<int>(*given);
    } else if (!call.args.empty()) {
        return call.refuse("matches takes only --limit N or --records");
    }
    std::ostringstream text;
    for (const MatchRow& row : store.matches(limit))
        text << matchLine(row);
    call.outcome.out = text.str().empty() ? "No matches yet.\n" : text.str();
    return call.outcome;
}

} // namespace vorlen::ladder
