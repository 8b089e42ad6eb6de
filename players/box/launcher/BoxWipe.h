#pragma once

#include <array>
#include <sched.h>
#include <sys/resource.h>

// Inside a box, between two matches of the same bot: everything the last
// one left is removed, so that the next starts as in a new box.
namespace vorlen::box {

// Empties the box's own file systems (its /tmp, its seat folder in it, and
// /dev/shm), removes the System V IPC objects of its namespace and its POSIX
// message queues. False when something could not be removed: the box is
// then not used again.
bool wipeBox();

// What a bot of the box could change of the launcher, whose bots inherit it:
// its nice value, its limits, the cores it may run on and its scheduling.
// An unprivileged process cannot undo most of it (raise a lowered hard
// limit, lower its nice value): a box whose launcher was changed is not
// used again.
struct LauncherState {
    int nice = 0;
    std::array<rlimit, RLIM_NLIMITS> limits{};
    cpu_set_t cores{};
    int policy = 0;
    int ioPriority = 0;
};
LauncherState launcherState();
bool sameState(const LauncherState& a, const LauncherState& b);

} // namespace vorlen::box
