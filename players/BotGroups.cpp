#include "BotGroups.h"

#include <csignal>

namespace vorlen {

void BotGroups::add(pid_t group)
{
    const std::lock_guard lock(mutex_);
    groups_.insert(group);
    if (stopping_)
        ::kill(-group, SIGKILL);
}

void BotGroups::remove(pid_t group)
{
    const std::lock_guard lock(mutex_);
    groups_.erase(group);
}

void BotGroups::killAll()
{
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    // A group stays registered until its leader is reaped, so its id is ours.
    for (const pid_t group : groups_)
        ::kill(-group, SIGKILL);
}

bool BotGroups::stopping() const
{
    const std::lock_guard lock(mutex_);
    return stopping_;
}

} // namespace vorlen
