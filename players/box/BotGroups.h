#pragma once

#include <array>
#include <atomic>
#include <shared_mutex>
#include <sys/types.h>

namespace vorlen {

// The bots running right now, each the leader of a session of its own, so
// that a referee told to stop can end them all at once, even from a signal
// handler. Shared by threads.
class BotGroups {
public:
    static constexpr std::size_t kCapacity = 4096;

    // Held while a bot starts: a sweep must never take a bot that is not yet
    // registered for an orphan. Bots start side by side; a sweep waits.
    std::shared_lock<std::shared_mutex> startGuard() { return std::shared_lock(startMutex_); }

    // False when every slot is taken. The group is killed at once when the
    // groups are stopping.
    bool add(pid_t group);
    void remove(pid_t group);

    // Kills every group running now, and every one that starts from now on.
    // Safe in a signal handler.
    void killAll();
    bool stopping() const { return stopping_.load(); }

    // Ends every child of this process that is outside its session and
    // neither a registered bot nor in a registered bot's session: what
    // escaped a bot's session and was handed to this process, a child
    // subreaper. Their own children come next, until none is left.
    void endOrphans();

private:
    bool registered(pid_t pid) const;

    std::array<std::atomic<pid_t>, kCapacity> slots_{};
    std::atomic<bool> stopping_{false};
    std::shared_mutex startMutex_;
};

// Makes this process the reaper of every orphan among its descendants, so
// that a bot's escaped processes come back to it. False where not supported.
bool becomeChildSubreaper();
bool isChildSubreaper();

} // namespace vorlen
