#pragma once

#include "FileDescriptor.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <sys/types.h>
#include <vector>

namespace vorlen {

// A stop gives up on processes that have not stopped by then (in the
// kernel's hands, they stop when they come out).
inline constexpr std::chrono::milliseconds kStopLimit{50};

// Stops and continues the processes a box's launcher started, from outside
// the box, by their host process ids. The launcher is the first process of
// the box's own process namespace: every process of the box descends from
// it, however it forked, so its tree is the whole box but itself.
class BoxStopper {
public:
    // `launcher`: the host process id of the box's first process.
    explicit BoxStopper(pid_t launcher);

    // Stops every process of the box but the launcher, and returns once
    // none runs: a process not yet stopped may continue one that is
    // (SIGCONT), so the tree is swept until all are seen stopped twice in a
    // row, when none can wake another. Gives up after `limit` (a process in
    // the kernel's hands stops when it comes out); false then.
    bool stop(std::chrono::milliseconds limit) const;
    // Lets them go on.
    void resume() const;

private:
    // Signals `pid` only if it is still a process of the box: an id read a
    // moment ago may be another process's by now.
    void signalInBox(pid_t pid, int signal) const;

    pid_t launcher_;
    ino_t namespace_ = 0; // the box's process namespace
};

// A box's stop, put off for a moment: a bot whose next board comes that soon
// is never stopped at all, since stopping and going on would cost more than
// the whole move. The stop is made by a thread of the referee's own, which
// no busy process of the box holds back.
class DeferredStop {
public:
    DeferredStop(pid_t launcher, std::chrono::microseconds grace);
    ~DeferredStop();
    DeferredStop(const DeferredStop&) = delete;
    DeferredStop& operator=(const DeferredStop&) = delete;

    // The box stops once `grace` has passed, unless let go on first. Cheap:
    // a timer is set, and nothing wakes unless it runs out.
    void arm();
    // The box goes on: a stop not yet made is called off; one under way is
    // finished first, then undone.
    void letGo();

private:
    enum class State { Idle, Armed, Stopped };
    void serve();

    BoxStopper stopper_;
    std::chrono::microseconds grace_;
    FileDescriptor timer_;
    FileDescriptor quit_;
    std::mutex mutex_;
    State state_ = State::Idle;
    std::thread thread_;
};

// The processes below `root` (not itself), read from /proc/PID/task/TID/children.
std::vector<pid_t> descendantsOf(pid_t root);

} // namespace vorlen
