#pragma once

#include <mutex>
#include <set>
#include <sys/types.h>

namespace vorlen {

// The process groups of the bots running right now, so that a runner that is
// told to stop can end them all at once. Shared by threads.
class BotGroups {
public:
    void add(pid_t group);
    void remove(pid_t group);
    // Kills every group running now, and every one that starts from now on.
    void killAll();
    bool stopping() const;

private:
    mutable std::mutex mutex_;
    std::set<pid_t> groups_;
    bool stopping_ = false;
};

} // namespace vorlen
