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

struct ProcessInfo {
    pid_t ppid = 0;
    pid_t session = 0;
};

// Parent and session from /proc/PID/stat; false when the process is gone.
bool readProcessInfo(const char* pid, ProcessInfo& info)
{
    const FileDescriptor file(::open(("/proc/" + std::string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC));
    const std::string text = file.valid() ? readUpTo(file.get(), 1024) : std::string();
    // The name may hold anything, parentheses too: fields follow the last ')'.
    const char* rest = std::strrchr(text.c_str(), ')');
    char state = 0;
    int ppid = 0, group = 0, session = 0;
    if (!rest || std::sscanf(rest + 1, " %c %d %d %d", &state, &ppid, &group, &session) != 4)
        return false;
    info = {ppid, session};
    return true;
}

std::vector<pid_t> childrenOutsideSession(pid_t self, pid_t session)
{
    std::vector<pid_t> found;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        ProcessInfo info;
        if (readProcessInfo(entry->d_name, info) && info.ppid == self && info.session != session)
            found.push_back(static_cast<pid_t>(std::atoi(entry->d_name)));
    }
    ::closedir(proc);
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
    const pid_t self = ::getpid();
    const pid_t session = ::getsid(0);
    // Each round's victims hand their children to this process: repeat. A
    // bound keeps a fork bomb from holding the referee here for ever.
    for (int round = 0; round < 64; ++round) {
        std::vector<pid_t> orphans;
        // A process of a running bot's session is still that bot's: a stream
        // bot's helper, say, that outlived its parent. It goes with the bot.
        for (const pid_t pid : childrenOutsideSession(self, session))
            if (!registered(pid) && !registered(::getsid(pid)))
                orphans.push_back(pid);
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
