#pragma once

#include <chrono>
#include <sys/types.h>
#include <vector>

namespace vorlen {

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
    // (SIGCONT), so the tree is swept until all are stopped at once, when
    // none can wake another. Gives up after `limit` (a process in the
    // kernel's hands stops when it comes out); false then.
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

// The processes below `root` (not itself), read from /proc/PID/task/TID/children.
std::vector<pid_t> descendantsOf(pid_t root);

} // namespace vorlen
