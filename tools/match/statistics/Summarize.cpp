#include "Summarize.h"

#include "TerminalText.h"

#include "GameSet.h"
#include "Schedule.h"
#include "SeatPlayer.h"
#include "RecordStream.h"
#include "Summary.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

namespace vorlen::match {
namespace {

bool sameRun(const MatchRecord& a, const MatchRecord& b)
{
    return a.run == b.run && a.runMatches == b.runMatches && a.swap == b.swap && a.runPlayers == b.runPlayers
           && a.sprt == b.sprt;
}

// A record's result: what two records of one match must agree on (their
// measured times may differ).
std::size_t resultHash(const MatchRecord& record)
{
    std::size_t hash = std::hash<std::string>()(record.board) ^ static_cast<std::size_t>(record.turns);
    const auto mix = [&hash](std::size_t value) { hash = (hash ^ value) * 0x100000001b3ULL; };
    for (const SeatRecord& seat : record.seats) {
        mix(std::hash<std::string>()(seat.player));
        mix(std::hash<std::string>()(seat.command));
        mix(std::hash<std::string>()(seat.retired));
        mix(static_cast<std::size_t>(seat.score) << 20 ^ static_cast<std::size_t>(seat.retiredTurn + 1));
    }
    return hash;
}

// The run as its records tell it: players in the run's order, with the
// command lines they were played with.
class RunReading {
public:
    explicit RunReading(const MatchRecord& first)
    {
        facts.matchCount = first.runMatches;
        facts.swap = first.swap;
        std::istringstream names(first.runPlayers);
        for (std::string name; names >> name;)
            facts.players.push_back({name, parseSeatPlayer(kUnknownCommand)});
        const std::string firstName = facts.players.empty() ? std::string() : facts.players.front().name;
        tally = Tally(firstName, first.swap);
        if (const auto settings = parseSprtSettings(first.sprt))
            sprt.emplace(*settings, firstName, first.swap);
    }

    void add(const MatchRecord& record)
    {
        for (const SeatRecord& seat : record.seats) {
            const SeatPlayer given = parseSeatPlayer(seat.command);
            for (NamedPlayer& player : facts.players)
                if (player.name == seat.player && player.command() == kUnknownCommand) {
                    player.seat = given;
                    player.moveTime = std::chrono::milliseconds(seat.moveLimitMs);
                }
            facts.anyProgram = facts.anyProgram || given.isProgram();
        }
        facts.sandboxed = facts.sandboxed || record.containment == "sandbox";
        if (record.governance != "none")
            facts.governance = record.governance;
        if (!record.botEnv.empty())
            facts.botEnv = record.botEnv;
        if (!record.anchor.empty())
            facts.anchor = record.anchor;
        tally.add(record);
        if (sprt)
            sprt->add(record);
    }

    RunFacts facts;
    Tally tally;
    std::optional<SprtRun> sprt;
};

// The files read side by side, always taking the lowest game next, the file
// named first on a tie: shards and concurrent runs interleave back into
// game order, so what must be kept while reading stays small. Each file is
// read a little ahead and put in order there, since matches finish a little
// out of order.
class MergedRecords {
public:
    bool open(const std::vector<std::string>& paths, std::string& error)
    {
        for (const std::string& path : paths) {
            auto stream = std::make_unique<RecordStream>();
            if (!stream->open(path)) {
                error = "cannot read '" + path + "': " + stream->error();
                return false;
            }
            sources_.push_back({std::move(stream), {}});
        }
        if (sources_.size() > 1)
            for (Source& source : sources_)
                fill(source);
        return true;
    }

    // The next record and its file; false at the end of all.
    bool next(MatchRecord& record, std::string& path)
    {
        if (sources_.size() == 1) {
            path = sources_.front().stream->path();
            return sources_.front().stream->next(record);
        }
        Source* lowest = nullptr;
        for (Source& source : sources_)
            if (!source.ahead.empty() && (!lowest || source.ahead.begin()->first < lowest->ahead.begin()->first))
                lowest = &source;
        if (!lowest)
            return false;
        record = std::move(lowest->ahead.begin()->second);
        lowest->ahead.erase(lowest->ahead.begin());
        path = lowest->stream->path();
        fill(*lowest);
        return true;
    }

    // The first read error, and the warnings of every file.
    std::string error() const
    {
        for (const Source& source : sources_)
            if (!source.stream->error().empty())
                return "cannot read '" + source.stream->path() + "': " + source.stream->error();
        return {};
    }
    std::vector<std::string> warnings() const
    {
        std::vector<std::string> lines;
        for (const Source& source : sources_)
            if (!source.stream->warning().empty())
                lines.push_back("'" + source.stream->path() + "': " + source.stream->warning());
        return lines;
    }

private:
    static constexpr std::size_t kAhead = 64;
    struct Source {
        std::unique_ptr<RecordStream> stream;
        std::multimap<int, MatchRecord> ahead; // by game; a repeated game keeps its file order
    };
    static void fill(Source& source)
    {
        MatchRecord record;
        while (source.ahead.size() < kAhead && source.stream->next(record))
            source.ahead.emplace(record.game, std::move(record));
    }

    std::vector<Source> sources_;
};

} // namespace

RecordsSummary summarizeRecords(const std::vector<MatchRecord>& records, bool complete)
{
    RecordsSummary summary;
    if (records.empty())
        return summary;
    RunReading run(records.front());
    int samples = 0;
    for (const MatchRecord& record : records) {
        run.add(record);
        if (run.sprt && run.sprt->samples() != samples) {
            samples = run.sprt->samples();
            summary.llr.push_back(run.sprt->llr());
        }
    }
    if (run.sprt) {
        summary.lower = run.sprt->settings().lowerBound();
        summary.upper = run.sprt->settings().upperBound();
    }
    for (const NamedPlayer& player : run.facts.players)
        summary.commands.push_back(player.command());
    summary.standings = standingRows(run.tally, run.facts);
    summary.standingsNote = standingsNote(run.tally, run.facts);
    summary.cross = crossResults(run.tally, summary.standings);
    // A run the SPRT decided is complete at its stopping point.
    const bool decided = run.sprt && run.sprt->decided();
    summary.text = summaryText(run.tally, run.facts, !complete && !decided, run.sprt ? &*run.sprt : nullptr);
    return summary;
}

std::optional<RecordFilesSummary> summarizeRecordFiles(const std::vector<std::string>& paths, std::string& error)
{
    const auto refuse = [&](std::string why) {
        error = std::move(why);
        return std::nullopt;
    };
    MergedRecords records;
    if (!records.open(paths, error))
        return std::nullopt;

    std::vector<std::string> twice;
    std::set<std::string> shards; // the parts of the run the records come from
    std::optional<RunReading> run;
    std::optional<MatchRecord> first;
    std::string firstPath;
    GameSet games;
    // Recent games' results, to tell a repeated record from a contradicting
    // one: the same game from two files comes out of the merge side by side.
    struct Recent {
        int game = -1;
        std::size_t hash = 0;
        std::string path;
    };
    std::vector<Recent> recent(std::size_t{1} << 14);
    MatchRecord record;
    for (std::string path; records.next(record, path);) {
        if (!run) {
            run.emplace(record);
            first = record;
            firstPath = path;
        }
        if (!sameRun(record, *first))
            return refuse("'" + path + "' holds records of another run than '" + firstPath + "' (run "
                          + terminalSafe(record.run) + ", not " + terminalSafe(first->run)
                          + "); the records of different runs cannot be summed up as one");
        if (record.game >= record.runMatches)
            return refuse("'" + path + "' holds game " + std::to_string(record.game) + " of a run of "
                          + std::to_string(record.runMatches) + " matches");
        const std::size_t hash = resultHash(record);
        Recent& slot = recent[static_cast<std::size_t>(record.game) % recent.size()];
        if (!games.insert(record.game)) {
            const std::string where = slot.game != record.game ? "" : " ('" + slot.path + "' and '" + path + "'"
                                      + (slot.hash == hash ? "" : ", with different results") + ")";
            twice.push_back("game " + std::to_string(record.game) + " is recorded more than once" + where
                            + "; the first one counts");
            continue;
        }
        shards.insert(record.shard);
        slot.game = record.game;
        slot.hash = hash;
        if (slot.path != path)
            slot.path = path;
        run->add(record);
    }
    if (const std::string problem = records.error(); !problem.empty())
        return refuse(problem);
    RecordFilesSummary summary{{}, records.warnings()};
    summary.notes.insert(summary.notes.end(), twice.begin(), twice.end());
    if (!run)
        return refuse("no records in the files");

    // Records of one shard are that shard's summary; of several, the run's.
    std::optional<ShardPart> part = shards.size() == 1 ? parseShard(*shards.begin()) : std::nullopt;
    if (part)
        part->unit = shardUnitOf(first->swap);
    if (part) {
        run->facts.part = "shard " + std::to_string(part->index) + " of " + std::to_string(part->count);
        run->facts.matchCount = part->matchesOf(first->runMatches);
    }
    // A run the SPRT decided is complete at its stopping point.
    const bool decided = run->sprt && run->sprt->decided();
    std::string missing;
    const int missingCount =
        decided ? 0 : games.missing(first->runMatches, 20, missing, part.value_or(ShardPart{}));
    if (missingCount > 0)
        summary.notes.push_back(std::to_string(missingCount) + " of " + std::to_string(run->facts.matchCount)
                                + " matches are missing: " + missing + (missingCount > 20 ? ", ..." : ""));
    summary.text = summaryText(run->tally, run->facts, missingCount > 0, run->sprt ? &*run->sprt : nullptr);
    return summary;
}

} // namespace vorlen::match
