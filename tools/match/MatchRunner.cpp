#include "MatchRunner.h"

#include "BoardSequence.h"
#include "MatchPlay.h"
#include "ReplayFile.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vorlen::match {
namespace {

// Hands out the run's matches in order; with --swap the two seatings of a
// board follow each other.
class Dispatcher {
public:
    explicit Dispatcher(const MatchConfig& config) : config_(config), boards_(config) {}

    std::optional<MatchJob> next(const BotGroups& groups)
    {
        const std::lock_guard lock(mutex_);
        if (groups.stopping() || next_ >= config_.matchCount())
            return std::nullopt;
        const int game = next_++;
        const bool swapped = config_.swap && game % 2 == 1;
        if (!swapped)
            board_ = boards_.next();
        return MatchJob{game, board_.field, board_.label, swapped};
    }

private:
    std::mutex mutex_;
    const MatchConfig& config_;
    BoardSequence boards_;
    BoardSequence::Board board_;
    int next_ = 0;
};

} // namespace

bool MatchRunner::run(const volatile std::sig_atomic_t& interrupted,
                      const std::function<void(int)>& progress)
{
    if (isChildSubreaper())
        groups_.endOrphans(); // leftovers of bots of an earlier run in this process
    Dispatcher dispatcher(config_);
    std::mutex mutex;
    std::condition_variable changed;
    int finished = 0;
    int workersLeft = std::min(config_.concurrency, config_.matchCount());

    // The referee's own failure stops the run: the first one is reported.
    auto stopWith = [&](const std::string& why) {
        const std::lock_guard lock(mutex);
        if (error_.empty())
            error_ = why;
        groups_.killAll();
    };
    auto work = [&] {
        while (const std::optional<MatchJob> job = dispatcher.next(groups_)) {
            const MatchResult result = playMatch(*job, config_, groups_);
            if (!result.error.empty())
                stopWith(result.error);
            if (!result.record)
                break;
            if (records_ && !records_->write(*result.record)) {
                stopWith(records_->error());
                break;
            }
            std::string replayError;
            if (!config_.replayDir.empty()
                && !writeReplayFile(config_.replayDir + "/" + replayFileName(*job, config_.swap), result.replay,
                                    replayError)) {
                stopWith(replayError);
                break;
            }
            const std::optional<MatchRecord>& record = result.record;
            const std::lock_guard lock(mutex);
            tally_.add(*record);
            ++finished;
            changed.notify_all();
        }
        const std::lock_guard lock(mutex);
        --workersLeft;
        changed.notify_all();
    };

    std::vector<std::thread> workers;
    for (int i = workersLeft; i > 0; --i)
        workers.emplace_back(work);

    std::unique_lock lock(mutex);
    while (workersLeft > 0) {
        changed.wait_for(lock, std::chrono::milliseconds(100));
        if (interrupted && !groups_.stopping())
            groups_.killAll();
        const int done = finished;
        lock.unlock();
        progress(done);
        lock.lock();
    }
    lock.unlock();
    for (auto& worker : workers)
        worker.join();
    progress(finished);
    return finished == config_.matchCount();
}

} // namespace vorlen::match
