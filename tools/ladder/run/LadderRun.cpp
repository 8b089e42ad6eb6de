#include "LadderRun.h"

#include "FixedDraws.h"
#include "LadderPaths.h"
#include "LadderStandings.h"
#include "RecordText.h"
#include "VersionIntake.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace vorlen::ladder {
namespace {

// A pair's board: from the ladder's seed and the pair's number, so that a
// pair replayed elsewhere plays the same board.
std::int64_t boardSeed(std::uint64_t ladderSeed, std::int64_t pair)
{
    return static_cast<std::int64_t>(match::FixedDraws(ladderSeed ^ static_cast<std::uint64_t>(pair) * 0x9e3779b97f4a7c15ULL).bits() >> 1);
}

std::string pointsText(double points) { return points == 0.5 ? "1/2" : points == 1 ? "1" : "0"; }

} // namespace

LadderRun::LadderRun(const std::string& root, LadderStore& store, const RunSettings& settings, const RunEvents& events)
    : root_(root), store_(store), settings_(settings), events_(events)
{
}

std::string LadderRun::run(const volatile std::sig_atomic_t& interrupted)
{
    {
        // What a run killed earlier left half-done starts again.
        const std::lock_guard lock(mutex_);
        for (const std::int64_t pair : store_.dropUnfinishedPairs()) {
            std::error_code ignored;
            std::filesystem::remove_all(root_ + "/" + LadderPaths::pairOf(pair), ignored);
        }
        store_.resetUnfinishedVersions();
    }
    std::atomic<int> working = std::max(1, settings_.concurrency);
    std::vector<std::thread> workers;
    for (int i = working; i > 0; --i)
        workers.emplace_back([&] {
            work();
            --working;
        });
    // A stop ends every bot and build at once; the workers then find nothing more to do.
    while (working > 0) {
        if (interrupted != 0 && !groups_.stopping())
            groups_.killAll();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (std::thread& worker : workers)
        worker.join();
    if (error_.empty()) {
        try {
            refreshStandingsNow(true);
        } catch (const SqlError& error) {
            error_ = std::string("the ladder's database: ") + error.what();
        }
    }
    return error_;
}

void LadderRun::work()
{
    while (const std::optional<Task> task = nextTask()) {
        try {
            if (task->intake)
                takeIn(*task->intake);
            else
                playPairTask(*task->pair);
        } catch (const SqlError& error) {
            failed(std::string("the ladder's database: ") + error.what());
        }
    }
    boxes_.endKept(); // they would die with this thread
}

std::optional<LadderRun::Task> LadderRun::nextTask()
{
    const std::lock_guard lock(mutex_);
    if (groups_.stopping() || !error_.empty())
        return std::nullopt;
    try {
        const std::vector<VersionRow> waiting = store_.versionsIn("waiting");
        if (!waiting.empty()) {
            store_.setVersionState(waiting.front().id, "building");
            return Task{waiting.front(), std::nullopt};
        }
        if (settings_.matches >= 0 && started_ >= settings_.matches)
            return std::nullopt;
        if (std::optional<PairRow> pair = nextPair()) {
            started_ += 2;
            return Task{std::nullopt, pair};
        }
    } catch (const SqlError& error) {
        error_ = std::string("the ladder's database: ") + error.what();
    }
    return std::nullopt;
}

std::optional<PairRow> LadderRun::nextPair()
{
    std::vector<std::int64_t> current;
    for (const VersionRow& version : store_.currentVersions())
        current.push_back(version.id);
    const auto chosen = choosePair(entrantsOf(current, store_.meetings()), store_.pairCounts());
    if (!chosen)
        return std::nullopt;
    PairRow pair = store_.startPair(chosen->first, chosen->second, 0, events_.now());
    pair.seed = boardSeed(settings_.seed, pair.id);
    store_.setPairSeed(pair.id, pair.seed);
    return pair;
}

void LadderRun::takeIn(const VersionRow& version)
{
    events_.say(versionName(version) + ": building and checking\n");
    const IntakeOutcome outcome = takeInVersion(version, root_, settings_.build, settings_.play, groups_, boxes_);
    const std::lock_guard lock(mutex_);
    if (outcome.interrupted) {
        store_.setVersionState(version.id, "waiting");
        return;
    }
    if (!outcome.error.empty()) {
        store_.setVersionState(version.id, "waiting");
        error_ = outcome.error;
        return;
    }
    std::string records;
    for (const std::string& line : outcome.checkRecords)
        records += line;
    store_.setVersionChecked(version.id, records);
    store_.setVersionState(version.id, outcome.ready ? "ready" : "failed", outcome.reason);
    events_.say(versionName(version) + (outcome.ready ? ": ready, it plays from now on\n" : ": failed: " + outcome.reason + "\n"));
}

void LadderRun::playPairTask(const PairRow& pair)
{
    VersionRow first, second;
    {
        const std::lock_guard lock(mutex_);
        first = store_.version(pair.first).value();
        second = store_.version(pair.second).value();
    }
    const auto seatOf = [&](const VersionRow& version) {
        const std::string folder = root_ + "/" + LadderPaths::versionOf(version.bot, version.number)
                                   + (version.build.empty() ? "/source" : "/built");
        return match::NamedPlayer{versionName(version), versionSeat(version.command, folder)};
    };
    const PairOutcome outcome = playPair(seatOf(first), seatOf(second),
                                         {static_cast<std::uint64_t>(pair.seed), root_ + "/" + LadderPaths::pairOf(pair.id)},
                                         settings_.play, groups_, boxes_);
    const std::lock_guard lock(mutex_);
    if (outcome.interrupted || !outcome.error.empty() || outcome.records.size() != 2) {
        if (!outcome.error.empty() && error_.empty())
            error_ = outcome.error;
        return; // left playing: the next run drops it
    }
    PlayedPair played;
    const std::array<std::string, 2> names{versionName(first), versionName(second)};
    std::string line = "pair " + std::to_string(pair.id) + ":";
    for (match::MatchRecord record : outcome.records) {
        // Numbered across the ladder, so that its records read as one run's.
        record.game = static_cast<int>(2 * (pair.id - 1) + record.game);
        played.records.push_back(match::toJsonLine(record));
        played.points.push_back(record.pointsOf(names[0]));
        for (std::size_t side = 0; side < 2; ++side)
            for (const match::SeatRecord& seat : record.seats)
                played.failed[side] += seat.player == names[side] && failedIn(seat) ? 1 : 0;
        line += " " + record.seats[0].player + " " + pointsText(record.pointsOf(record.seats[0].player)) + "-"
                + pointsText(record.pointsOf(record.seats[1].player)) + " " + record.seats[1].player + ";";
    }
    const std::array<int, 2> inARow = store_.finishPair(pair, played, events_.now());
    played_ += 2;
    refreshStandingsNow(false);
    line.back() = '\n';
    events_.say(line);
    const std::array<const VersionRow*, 2> versions{&first, &second};
    for (std::size_t side = 0; side < 2; ++side)
        if (inARow[side] >= settings_.pauseAfter) {
            const std::string note = "failed " + std::to_string(inARow[side]) + " matches in a row";
            store_.pauseBot(versions[side]->bot, note);
            events_.say(versions[side]->bot + " paused: " + note + " (its page lists the failures)\n");
        }
}

void LadderRun::refreshStandingsNow(bool whatever)
{
    const auto now = std::chrono::steady_clock::now();
    const auto wait = std::chrono::duration<double>(20 * standingsCost_);
    if (!whatever && standingsCost_ > 0.05 && now - standingsAt_ < wait)
        return;
    standingsCost_ = refreshStandings(store_, kStandingsTop);
    standingsAt_ = now;
}

void LadderRun::failed(const std::string& error)
{
    const std::lock_guard lock(mutex_);
    if (error_.empty())
        error_ = error;
}

} // namespace vorlen::ladder
