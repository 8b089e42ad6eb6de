#include "LadderRun.h"

#include "FixedDraws.h"
#include "LadderPaths.h"
#include "LadderStandings.h"
#include "PairLanding.h"
#include "SlurmJobs.h"
#include "VersionIntake.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
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
    for (;;) {
        const std::optional<Task> task = nextTask();
        if (!task) {
            if (idle())
                continue;
            return;
        }
        try {
            if (task->intake)
                takeIn(*task->intake);
            else if (task->pair)
                playPairTask(*task->pair);
            else
                runSlurmBatch(task->batch);
        } catch (const SqlError& error) {
            failed(std::string("the ladder's database: ") + error.what());
        }
    }
    boxes_.endKept(); // they would die with this thread
}

bool LadderRun::idle()
{
    // A run without an end waits for versions to come: a ladder of one bot
    // plays once a second is handed in.
    for (int step = 0; step < 20; ++step) {
        {
            const std::lock_guard lock(mutex_);
            if (settings_.matches >= 0 || groups_.stopping() || !error_.empty())
                return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
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
            return Task{waiting.front(), std::nullopt, {}};
        }
        if (settings_.matches >= 0 && started_ >= settings_.matches)
            return std::nullopt;
        if (settings_.slurm.on) {
            Task task;
            while (static_cast<int>(task.batch.size()) < settings_.slurm.batch
                   && (settings_.matches < 0 || started_ < settings_.matches)) {
                const std::optional<PairRow> pair = nextPair();
                if (!pair)
                    break;
                task.batch.push_back(*pair);
                started_ += 2;
            }
            if (!task.batch.empty())
                return task;
            return std::nullopt;
        }
        if (std::optional<PairRow> pair = nextPair()) {
            started_ += 2;
            return Task{std::nullopt, pair, {}};
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
    // A bot with nothing that plays, whose new version failed every match of
    // its check, is paused: its page says why until a new version comes.
    const std::vector<VersionRow> versions = store_.versionsOf(version.bot);
    const bool anyReady = std::any_of(versions.begin(), versions.end(), [](const VersionRow& v) { return v.state == "ready"; });
    if (!outcome.ready && !anyReady && outcome.checkFailures > 0
        && outcome.checkFailures == static_cast<int>(outcome.checkRecords.size())) {
        const std::string note = versionName(version) + " failed every match of its check";
        store_.pauseBot(version.bot, note);
        events_.say(version.bot + " paused: " + note + "\n");
    }
}

void LadderRun::playPairTask(const PairRow& pair)
{
    VersionRow first, second;
    {
        const std::lock_guard lock(mutex_);
        first = store_.version(pair.first).value();
        second = store_.version(pair.second).value();
    }
    const auto seats = pairSeats(root_, first, second);
    const PairOutcome outcome = playPair(seats[0], seats[1],
                                         {static_cast<std::uint64_t>(pair.seed), root_ + "/" + LadderPaths::pairOf(pair.id)},
                                         settings_.play, groups_, boxes_);
    const std::lock_guard lock(mutex_);
    if (outcome.interrupted || !outcome.error.empty() || outcome.records.size() != 2) {
        if (!outcome.error.empty() && error_.empty())
            error_ = outcome.error;
        return; // left playing: the next run drops it
    }
    for (const std::string& line : landPair(store_, pair, first, second, outcome, settings_.pauseAfter, events_.now()))
        events_.say(line);
    played_ += 2;
    if (settings_.keepPairs > 0 && pair.id > settings_.keepPairs) {
        // Older pairs' files give way; their records stay in the database.
        std::error_code ignored;
        std::filesystem::remove_all(root_ + "/" + LadderPaths::pairOf(pair.id - settings_.keepPairs), ignored);
    }
    refreshStandingsNow(false);
}

void LadderRun::runSlurmBatch(const std::vector<PairRow>& batch)
{
    const std::string folder = root_ + "/storage/slurm";
    const std::string list = folder + "/pairs-" + std::to_string(batch.front().id) + ".txt";
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    {
        std::ofstream ids(list);
        for (const PairRow& pair : batch)
            ids << pair.id << "\n";
        if (!ids.flush()) {
            failed("cannot write '" + list + "'");
            return;
        }
    }
    const std::string line = "exec " + shellWord(settings_.slurm.program) + " --ladder " + shellWord(root_)
                             + " play-pair --list " + shellWord(list) + " --index \"$SLURM_ARRAY_TASK_ID\"";
    const SlurmAnswer job = submitArray(line, static_cast<int>(batch.size()), folder, "vorlen-ladder");
    if (!job.ok) {
        failed("sbatch refused the pairs' job" + (job.out.empty() ? std::string() : ": " + job.out));
        return;
    }
    events_.say("pairs " + std::to_string(batch.front().id) + " to " + std::to_string(batch.back().id) + ": Slurm job "
                + job.out + "\n");
    while (jobListed(job.out)) {
        if (groups_.stopping()) {
            cancelJob(job.out); // its pairs stay under way: the next run drops them
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    const std::lock_guard lock(mutex_);
    int lost = 0;
    for (const PairRow& pair : batch) {
        if (store_.playingPair(pair.id)) {
            // A job that ended without landing it: chosen afresh from here.
            store_.dropPair(pair.id);
            std::error_code ignored;
            std::filesystem::remove_all(root_ + "/" + LadderPaths::pairOf(pair.id), ignored);
            started_ -= 2;
            ++lost;
        } else {
            played_ += 2;
        }
    }
    if (lost == static_cast<int>(batch.size())) {
        // Nothing lands from its nodes: trying again would loop.
        if (error_.empty())
            error_ = "Slurm job " + job.out + " landed none of its pairs (their output: storage/slurm/" + job.out + "_*.out)";
        return;
    }
    events_.say("Slurm job " + job.out + ": " + std::to_string(static_cast<int>(batch.size()) - lost) + " of "
                + std::to_string(batch.size()) + " pairs landed"
                + (lost > 0 ? ", " + std::to_string(lost) + " lost, back to the queue" : std::string()) + "\n");
    refreshStandingsNow(false);
}

void LadderRun::refreshStandingsNow(bool whatever)
{
    const auto now = std::chrono::steady_clock::now();
    const auto wait = std::chrono::duration<double>(20 * standingsCost_);
    if (!whatever && standingsCost_ > 0.05 && now - standingsAt_ < wait)
        return;
    standingsCost_ = refreshStandings(store_, kStandingsTop, events_.now());
    standingsAt_ = now;
}

void LadderRun::failed(const std::string& error)
{
    const std::lock_guard lock(mutex_);
    if (error_.empty())
        error_ = error;
}

} // namespace vorlen::ladder
