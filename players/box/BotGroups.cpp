#include "BotGroups.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace vorlen {
namespace {

// The session of a process; -1 when it is gone.
pid_t sessionOf(pid_t pid) { return ::getsid(pid); }

// This process's children, from each of its threads' "children" lists: no
// scan of every process of the system.
std::vector<pid_t> ownChildren()
{
    std::vector<pid_t> found;
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return found;
    while (const dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        const std::string path = std::string("/proc/self/task/") + entry->d_name + "/children";
        const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        const std::string text = file.valid() ? readUpTo(file.get(), 1 << 20) : std::string();
        for (const char* at = text.c_str(); *at;) {
            char* end = nullptr;
            const long pid = std::strtol(at, &end, 10);
            if (end == at)
                break;
            found.push_back(static_cast<pid_t>(pid));
            at = end;
        }
    }
    ::closedir(tasks);
    return found;
}

} // namespace

bool BotGroups::add(pid_t group)
{
    for (auto& slot : slots_) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, group)) {
            if (stopping_)
                ::kill(-group, SIGKILL);
            return true;
        }
    }
    return false;
}

void BotGroups::remove(pid_t group)
{
    for (auto& slot : slots_) {
        pid_t expected = group;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

void BotGroups::killAll()
{
    stopping_ = true;
    // A group stays registered until its leader is reaped, so its id is ours.
    for (const auto& slot : slots_) {
        const pid_t group = slot.load();
        if (group > 0)
            ::kill(-group, SIGKILL);
    }
}

bool BotGroups::registered(pid_t pid) const
{
    for (const auto& slot : slots_)
        if (slot.load() == pid)
            return true;
    return false;
}

void BotGroups::endOrphans()
{
    const std::lock_guard lock(startMutex_);
    const pid_t session = ::getsid(0);
    // Each round's victims hand their children to this process: repeat. A
    // bound keeps a fork bomb from holding the referee here for ever.
    for (int round = 0; round < 64; ++round) {
        std::vector<pid_t> orphans;
        // A process of a running bot's session is still that bot's: a stream
        // bot's helper, say, that outlived its parent. It goes with the bot.
        for (const pid_t pid : ownChildren()) {
            const pid_t theirs = sessionOf(pid);
            if (theirs != session && !registered(pid) && !registered(theirs))
                orphans.push_back(pid);
        }
        if (orphans.empty())
            return;
        // Children of this process: until reaped below, their ids cannot be reused.
        for (const pid_t pid : orphans)
            ::kill(pid, SIGKILL);
        for (const pid_t pid : orphans)
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
    }
}

bool becomeChildSubreaper() { return ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0; }

bool isChildSubreaper()
{
    int value = 0;
    return ::prctl(PR_GET_CHILD_SUBREAPER, &value) == 0 && value != 0;
}

} // namespace vorlen
