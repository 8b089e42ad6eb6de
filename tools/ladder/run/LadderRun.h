#pragma once

#include "BotGroups.h"
#include "BoxPool.h"
#include "LadderStore.h"
#include "PairChoice.h"
#include "PairPlay.h"
#include "VersionBuild.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::ladder {

// Pairs played on a Slurm cluster: array jobs of this program's play-pair,
// on the nodes, against the storage and database they share.
struct SlurmSettings {
    bool on = false;
    int batch = 10;      // pairs a job
    std::string program; // this program, as the nodes start it
};

struct RunSettings {
    int concurrency = 1;       // builds and pairs at once
    long long matches = -1;    // matches to play; -1: until stopped
    int pauseAfter = 10;       // failed matches in a row that pause a bot
    long long keepPairs = 0;   // the latest pairs whose logs and replays are kept; 0: all
    std::uint64_t seed = 0;    // the ladder's boards: a pair's board comes from it and the pair's number
    BuildSettings build;
    PlaySettings play;
    SlurmSettings slurm; // --concurrency then counts jobs under way
};

// What a run tells as it goes, and its clock.
struct RunEvents {
    std::function<void(const std::string&)> say;
    std::function<std::string()> now;
};

// Keeps a ladder playing: waiting versions built and checked first, then
// pairs chosen where they tell most, `concurrency` at a time, each landing
// whole in the store. A stop (`interrupted`) ends what is under way; what
// it cut short is dropped, and the next run takes it up again.
class LadderRun {
public:
    LadderRun(const std::string& root, LadderStore& store, const RunSettings& settings, const RunEvents& events);

    // Plays until stopped, or until the matches are played; the referee's
    // own failure, empty when none.
    std::string run(const volatile std::sig_atomic_t& interrupted);
    long long matchesPlayed() const { return played_; }

private:
    struct Task {
        std::optional<VersionRow> intake;
        std::optional<PairRow> pair;
        std::vector<PairRow> batch; // for a Slurm job
    };

    // Lies on the store's lock: what to do next, none when the run is over.
    // Nothing to do now: true, after a second, when the run goes on.
    bool idle();
    std::optional<Task> nextTask();
    std::optional<PairRow> nextPair();
    void work();
    void takeIn(const VersionRow& version);
    void playPairTask(const PairRow& pair);
    void runSlurmBatch(const std::vector<PairRow>& batch);
    void failed(const std::string& error);
    // Keeps the standings current for their readers, at a cost held to a
    // twentieth of the run's time: each time at a small size, less often
    // where a computation takes long.
    void refreshStandingsNow(bool whatever);

    std::string root_;
    LadderStore& store_;
    RunSettings settings_;
    RunEvents events_;
    BotGroups groups_;    // killed, all of them, by a stop
    BoxPool boxes_{8};    // a worker's boxes, kept for its next pairs
    std::mutex mutex_; // the store, the counts and the error
    long long started_ = 0; // matches begun (two a pair)
    long long played_ = 0;
    std::string error_;
    double standingsCost_ = 0; // seconds, the last computation's
    std::chrono::steady_clock::time_point standingsAt_{};
};

} // namespace vorlen::ladder
