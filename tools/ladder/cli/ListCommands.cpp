#include "CommandParts.h"
#include "RecordText.h"
#include "SeatPlayer.h"
#include "Summary.h"
#include "Tally.h"

#include <map>
#include <sstream>

namespace vorlen::ladder {
namespace {

// The version of each active bot that plays: its latest ready one.
std::vector<VersionRow> currentVersions(LadderStore& store)
{
    std::vector<VersionRow> current;
    for (const BotRow& bot : store.bots()) {
        if (bot.state != "active")
            continue;
        const std::vector<VersionRow> versions = store.versionsOf(bot.name);
        for (auto it = versions.rbegin(); it != versions.rend(); ++it)
            if (it->state == "ready") {
                current.push_back(*it);
                break;
            }
    }
    return current;
}

} // namespace

CommandOutcome showStandings(CommandCall& call, LadderStore& store)
{
    if (!call.args.empty())
        return call.refuse("standings takes no words");
    const std::vector<VersionRow> current = currentVersions(store);
    if (current.empty()) {
        call.outcome.out = "No bot has a version ready to play yet.\n";
        return call.outcome;
    }
    match::RunFacts facts;
    facts.swap = true;
    facts.anchor = match::kPoolMeanAnchor;
    std::map<std::int64_t, std::string> names;
    for (const VersionRow& version : current) {
        names[version.id] = versionName(version);
        facts.players.push_back({versionName(version), parseSeatPlayer(version.command)});
    }
    // Results between current versions only: earlier ones keep theirs apart.
    match::Tally tally(facts.players[0].name, true);
    for (const VersionRow& version : current)
        for (const MatchRow& row : store.matches(INT32_MAX, version.id)) {
            if (row.first != version.id || !names.count(row.second))
                continue;
            std::vector<match::MatchRecord> records;
            std::string error;
            if (match::parseRecords(row.record, true, records, error))
                for (const match::MatchRecord& record : records)
                    tally.add(record);
        }
    if (tally.matches() == 0) {
        std::string text = "No matches between the current versions yet; they are:\n";
        for (const VersionRow& version : current)
            text += "  " + versionName(version) + "\n";
        call.outcome.out = text;
        return call.outcome;
    }
    call.outcome.out = match::standingsText(tally, facts);
    call.outcome.out.erase(0, call.outcome.out.find_first_not_of('\n'));
    return call.outcome;
}

CommandOutcome listMatches(CommandCall& call, LadderStore& store)
{
    int limit = 20;
    if (call.args.size() == 2 && call.args[0] == "--limit") {
        try {
            limit = std::stoi(call.args[1]);
        } catch (...) {
            limit = -1;
        }
        if (limit < 1)
            return call.refuse("--limit takes a count from 1");
    } else if (!call.args.empty()) {
        return call.refuse("matches takes only --limit N");
    }
    std::ostringstream text;
    for (const MatchRow& row : store.matches(limit)) {
        std::vector<match::MatchRecord> records;
        std::string error;
        if (!match::parseRecords(row.record, true, records, error) || records.empty()) {
            text << row.id << "  (a record that cannot be read: " << error << ")\n";
            continue;
        }
        const match::MatchRecord& r = records[0];
        text << row.id << "  " << row.played << "  " << r.seats[0].player << " " << r.seats[0].score << " - "
             << r.seats[1].score << " " << r.seats[1].player << "\n";
    }
    call.outcome.out = text.str().empty() ? "No matches yet.\n" : text.str();
    return call.outcome;
}

} // namespace vorlen::ladder
