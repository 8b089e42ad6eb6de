// A box's runs: a bot started in it, stopped and continued, and how it
// ended, with the limit it ran into.
#include "Box.h"

#include "BotEnvironment.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <utility>

namespace vorlen {
namespace {

// A file system of the box with less room than this, or more files than
// `files` (0: any number), is full.
bool isFull(int dir, std::int64_t files)
{
    struct statvfs room {};
    return dir >= 0 && ::fstatvfs(dir, &room) == 0
           && (room.f_bavail * room.f_bsize < 64 * 1024 || (room.f_files > 0 && room.f_favail == 0)
               || (files > 0 && static_cast<std::int64_t>(room.f_files - room.f_ffree) > files));
}

using Clock = std::chrono::steady_clock;

rlimit both(rlim_t value) { return {value, value}; }

} // namespace

bool Box::run(const std::vector<std::string>& argv, const std::vector<std::string>& environment, int in, int out,
              int err, const BotLimits& limits, bool stream, std::string& error)
{
    std::string words;
    for (const std::string& arg : argv)
        words += arg + '\0';
    for (const std::string& entry : environment.empty() ? botEnvironment({}, kBoxHome, nullptr) : environment)
        words += entry + '\0';
    box::Message message;
    message.kind = box::Kind::Run;
    message.argc = static_cast<std::int32_t>(argv.size());
    // Where a control group counts memory, it is the one limit: a bot over
    // it is ended as a whole, whatever it holds the memory in.
    const std::uint64_t cpu = cpuLimitSeconds(limits, stream);
    message.limits.data = cgroup_ || limits.memoryMiB == 0 ? both(RLIM_INFINITY) : both(limits.memoryMiB << 20);
    message.limits.cpu = {static_cast<rlim_t>(cpu), static_cast<rlim_t>(cpu + 1)};
    message.limits.fileSize = both(limits.fileSizeMiB << 20);
    message.limits.openFiles = both(limits.openFiles);
    // Without a control group, the user's process count in the box's own
    // user namespace stands in for the task limit.
    message.limits.tasks = cgroup_ || limits.tasks == 0 ? both(RLIM_INFINITY) : both(limits.tasks + 1);
    fileLimit_ = static_cast<std::int64_t>(limits.diskMiB) * box::kFilesPerMiB;
    message.fileLimit = fileLimit_;
    if (words.size() > box::kMaxPayload) {
        error = "command line too long";
        return false;
    }
    ended_ = false;
    runEnd_ = {};
    if (!box::send(socket_.get(), message, words, {in, out, err})) {
        error = "the sandbox has ended";
        return false;
    }
    return true;
}

bool Box::awaitEnd(std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!ended_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{socket_.get(), POLLIN, 0};
        int ready = 0;
        do
            ready = ::poll(&fd, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            break;
        box::Message message;
        std::string payload;
        std::vector<int> fds;
        if (!box::receive(socket_.get(), message, payload, fds)) {
            lost();
            break;
        }
        for (const int received : fds)
            ::close(received);
        if (message.kind == box::Kind::Ended)
            takeEnd(message);
    }
    return ended_;
}

void Box::takeEnd(const box::Message& message)
{
    ended_ = true;
    runEnd_.status = message.status;
    runEnd_.error = message.error;
    runEnd_.cpuSeconds = static_cast<double>(message.cpuMicros) / 1e6;
    runEnd_.peakKiB = static_cast<long>(message.peakKiB);
    runEnd_.refusedCall = message.refusedCall;
}

void Box::lost()
{
    // The launcher is gone (a box over its memory may lose it): the box
    // ends here, and its seat with it.
    ended_ = true;
    runEnd_.status = W_EXITCODE(0, SIGKILL);
    runEnd_.limit = limitHit();
    end();
}

BoxRunEnd Box::endRun()
{
    // A frozen process cannot die.
    thaw();
    box::Message message;
    message.kind = box::Kind::End;
    if (!ended_ && !box::send(socket_.get(), message))
        lost();
    if (!awaitEnd(kLauncherAnswerLimit))
        lost();
    if (running())
        runEnd_.limit = limitHit();
    return runEnd_;
}

BoxLimit Box::limitHit()
{
    // Counted since the last run ended: nothing of a file bot runs between
    // moves, and what a stream bot does there belongs to its next move.
    if (cgroup_) {
        const BoxCgroup::Counters now = cgroup_->counters();
        const BoxCgroup::Counters before = std::exchange(counted_, now);
        if (now.memory > before.memory)
            return BoxLimit::Memory;
        if (now.tasks > before.tasks)
            return BoxLimit::Tasks;
    }
    return diskFull() ? BoxLimit::Disk : BoxLimit::None;
}

pid_t Box::launcherPid() const
{
    const std::vector<pid_t> children = descendantsOf(pid_);
    return children.empty() ? -1 : children.front();
}

bool Box::diskFull() const { return isFull(seat_.get(), fileLimit_) || isFull(shm_.get(), fileLimit_); }

void Box::setFrozen(bool frozen)
{
    if (frozen == frozen_ || !running())
        return;
    frozen_ = frozen;
    // Stop signals, not a control group's freezer: a frozen process outlives
    // a killed referee, a stopped one is ended with its box. Sent from here:
    // a launcher woken to stop its box would first wait its turn behind the
    // box's busy processes.
    if (frozen)
        stopper_->arm();
    else
        stopper_->letGo();
}

} // namespace vorlen
