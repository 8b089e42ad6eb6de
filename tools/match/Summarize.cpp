#include "Summarize.h"

#include "MatchRecord.h"
#include "PlayerFactory.h"
#include "Summary.h"

#include <map>
#include <sstream>

namespace vorlen::match {
namespace {

struct Found {
    MatchRecord record;
    std::string path;
};

SummarizeResult refuse(const std::string& line)
{
    return {2, {}, "vorlen-match: summarize: " + line + "\n"};
}

// The run as its records tell it: players in the run's order, with the
// command lines they were played with.
RunFacts factsFrom(const std::map<int, Found>& games)
{
    const MatchRecord& any = games.begin()->second.record;
    RunFacts facts;
    facts.matchCount = any.runMatches;
    facts.swap = any.swap;
    std::istringstream names(any.runPlayers);
    for (std::string name; names >> name;)
        facts.players.push_back({name, "?"});
    for (const auto& [game, found] : games) {
        for (const SeatRecord& seat : found.record.seats) {
            for (NamedPlayer& player : facts.players)
                if (player.name == seat.player && player.command == "?")
                    player.command = seat.command;
            facts.anyProgram = facts.anyProgram || seat.command != kBuiltInName;
        }
        facts.sandboxed = facts.sandboxed || found.record.containment == "sandbox";
        if (found.record.governance != "none")
            facts.governance = found.record.governance;
    }
    return facts;
}

// The same match, the same result: only the measured times may differ.
bool sameResult(MatchRecord a, MatchRecord b)
{
    for (int seat = 0; seat < 2; ++seat)
        a.seats[seat].times = b.seats[seat].times = {};
    return toCsv(a) == toCsv(b);
}

bool sameRun(const MatchRecord& a, const MatchRecord& b)
{
    return a.run == b.run && a.runMatches == b.runMatches && a.swap == b.swap && a.runPlayers == b.runPlayers;
}

} // namespace

SummarizeResult summarizeRecordFiles(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return refuse("name the record files to sum up: vorlen-match summarize FILE...");
    SummarizeResult result;
    std::map<int, Found> games;
    std::optional<Found> first;
    for (const std::string& path : paths) {
        std::vector<MatchRecord> records;
        std::string error;
        std::string warning;
        if (!readRecordFile(path, records, error, &warning))
            return refuse("cannot read '" + path + "': " + error);
        if (!warning.empty())
            result.err += "vorlen-match: summarize: '" + path + "': " + warning + "\n";
        for (MatchRecord& record : records) {
            if (!first)
                first = Found{record, path};
            if (!sameRun(record, first->record))
                return refuse("'" + path + "' holds records of another run than '" + first->path + "' (run "
                              + record.run + ", not " + first->record.run
                              + "); the records of different runs cannot be summed up as one");
            if (record.game >= record.runMatches)
                return refuse("'" + path + "' holds game " + std::to_string(record.game) + " of a run of "
                              + std::to_string(record.runMatches) + " matches");
            const auto [at, fresh] = games.try_emplace(record.game, Found{record, path});
            if (!fresh)
                result.err += "vorlen-match: summarize: game " + std::to_string(record.game)
                              + " is recorded more than once ('" + at->second.path + "' and '" + path
                              + "'" + (sameResult(at->second.record, record) ? "" : ", with different results")
                              + "); the first one counts\n";
        }
    }
    if (games.empty())
        return refuse("no records in the files");

    const int expected = games.begin()->second.record.runMatches;
    std::string missing;
    int missingCount = 0;
    for (int game = 0; game < expected; ++game) {
        if (games.count(game))
            continue;
        if (++missingCount <= 20)
            missing += (missing.empty() ? "" : ", ") + std::to_string(game);
    }
    if (missingCount > 0)
        result.err += "vorlen-match: summarize: " + std::to_string(missingCount) + " of " + std::to_string(expected)
                      + " matches are missing: " + missing + (missingCount > 20 ? ", ..." : "") + "\n";

    Tally tally;
    for (const auto& [game, found] : games)
        tally.add(found.record);
    result.out = summaryText(tally, factsFrom(games), missingCount > 0);
    return result;
}

} // namespace vorlen::match
