#include "MatchRunner.h"

#include "BoardSequence.h"
#include "MatchPlay.h"
#include "MatchPage.h"
#include "ReplayFile.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vorlen::match {
namespace {

// Hands out the run's matches in the schedule's order, passing over those
// already done, and none once the run is to stop.
class Dispatcher {
public:
    Dispatcher(const MatchConfig& config, const std::set<int>& done)
        : config_(config), done_(done), boards_(config), pairings_(static_cast<int>(config.pairings().size()))
    {
    }

    std::optional<MatchJob> next(const BotGroups& groups, const std::function<bool()>& decided)
    {
        const std::lock_guard lock(mutex_);
        while (next_ < config_.matchCount() && (done_.count(next_) || !config_.inShard(next_)))
            ++next_;
        if (groups.stopping() || decided() || next_ >= config_.matchCount())
            return std::nullopt;
        const int game = next_++;
        const Slot slot = slotOf(game, pairings_, config_.swap, config_.alternate);
        const BoardSequence::Board board = boards_.at(slot.board);
        return MatchJob{game, board.field, board.label, slot.swapped, config_.seatsFor(slot), board.start};
    }

private:
    std::mutex mutex_;
    const MatchConfig& config_;
    const std::set<int>& done_;
    BoardSequence boards_;
    int pairings_;
    int next_ = 0;
};

} // namespace

MatchRunner::MatchRunner(const MatchConfig& config, RecordWriter* records, const std::vector<MatchRecord>& earlier)
    : config_(config), records_(records),
      tally_(config.players().front().name, config.swap)
{
    if (config.sprt)
        sprt_.emplace(*config.sprt, config.players().front().name, config.swap);
    for (const MatchRecord& record : earlier) {
        if (!config.inShard(record.game) || !done_.insert(record.game).second)
            continue;
        tally_.add(record);
        if (sprt_)
            sprt_->add(record);
    }
}

bool MatchRunner::run(const volatile std::sig_atomic_t& interrupted, const std::function<void(const Progress&)>& progress)
{
    if (isChildSubreaper())
        groups_.endOrphans(); // leftovers of bots of an earlier run in this process
    std::mutex mutex;
    std::condition_variable changed;
    int finished = tally_.matches();
    const auto decided = [&] {
        const std::lock_guard lock(mutex);
        return sprt_ && sprt_->decided();
    };
    Dispatcher dispatcher(config_, done_);
    // Boxes go from match to match of a worker; a worker ends its own as it leaves.
    BoxPool boxes(2);
    const int left = config_.shardMatchCount() - static_cast<int>(done_.size());
    int workersLeft = std::min(config_.concurrency, left);

    // The referee's own failure stops the run: the first one is reported.
    auto stopWith = [&](const std::string& why) {
        const std::lock_guard lock(mutex);
        if (error_.empty())
            error_ = why;
        groups_.killAll();
    };
    auto work = [&] {
        while (const std::optional<MatchJob> job = dispatcher.next(groups_, decided)) {
            const MatchResult result = playMatch(*job, config_, groups_, &boxes);
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
                && !writeReplayFile(config_.replayDir + "/" + replayFileName(*job, config_), result.replay,
                                    replayError)) {
                stopWith(replayError);
                break;
            }
            if (report_
                && !report_->addPage(job->game, pageNameFor(replayFileName(*job, config_)), result.replay,
                                     {job->seats[0].name, job->seats[1].name}, replayError)) {
                stopWith("--report: " + replayError);
                break;
            }
            const std::optional<MatchRecord>& record = result.record;
            const std::lock_guard lock(mutex);
            tally_.add(*record);
            if (sprt_)
                sprt_->add(*record);
            if (record->governance != "none")
                governance_ = record->governance;
            fresh_.push_back(*record);
            ++finished;
            changed.notify_all();
        }
        boxes.endKept();
        const std::lock_guard lock(mutex);
        --workersLeft;
        changed.notify_all();
    };

    std::vector<std::thread> workers;
    for (int i = workersLeft; i > 0; --i)
        workers.emplace_back(work);

    // What the run stands at, taken under the lock and reported outside it.
    const auto standing = [&] {
        Progress now{finished, std::move(fresh_), tally_, sprt_};
        fresh_.clear();
        return now;
    };
    std::unique_lock lock(mutex);
    while (workersLeft > 0) {
        changed.wait_for(lock, std::chrono::milliseconds(100));
        if (interrupted && !groups_.stopping())
            groups_.killAll();
        const Progress now = standing();
        lock.unlock();
        progress(now);
        lock.lock();
    }
    lock.unlock();
    for (auto& worker : workers)
        worker.join();
    progress(standing());
    return finished == config_.shardMatchCount() || (sprt_ && sprt_->decided() && error_.empty() && !interrupted);
}

} // namespace vorlen::match
