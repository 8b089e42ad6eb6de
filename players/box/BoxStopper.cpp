#include "BoxStopper.h"

#include "FileDescriptor.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace vorlen {
namespace {

std::string readSmall(const std::string& path)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return file.valid() ? readUpTo(file.get(), 4096) : std::string();
}

// The threads of a process, by their ids; empty once it is gone.
std::vector<std::string> threadsOf(pid_t pid)
{
    std::vector<std::string> threads;
    DIR* tasks = ::opendir(("/proc/" + std::to_string(pid) + "/task").c_str());
    if (!tasks)
        return threads;
    while (const dirent* task = ::readdir(tasks))
        if (task->d_name[0] >= '0' && task->d_name[0] <= '9')
            threads.emplace_back(task->d_name);
    ::closedir(tasks);
    return threads;
}

// Whether every thread of the process is stopped, or it has ended. The
// state is the letter after the name, whose closing parenthesis is the last
// in the line (a name may hold one).
bool stoppedOrGone(pid_t pid)
{
    for (const std::string& thread : threadsOf(pid)) {
        const std::string stat = readSmall("/proc/" + std::to_string(pid) + "/task/" + thread + "/stat");
        const std::size_t close = stat.rfind(')');
        if (stat.empty() || close == std::string::npos || close + 2 >= stat.size())
            continue; // gone meanwhile
        const char state = stat[close + 2];
        if (state != 'T' && state != 't' && state != 'Z' && state != 'X')
            return false;
    }
    return true;
}

// The process namespace a process is in; 0 when it is gone.
ino_t namespaceOf(pid_t pid)
{
    struct stat info {};
    return ::stat(("/proc/" + std::to_string(pid) + "/ns/pid").c_str(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

BoxStopper::BoxStopper(pid_t launcher) : launcher_(launcher), namespace_(namespaceOf(launcher)) {}

void BoxStopper::signalInBox(pid_t pid, int signal) const
{
    // Opened first, then checked: the signal goes to the process checked, or
    // to none when that one has gone; never to one that took its id since.
    const FileDescriptor process(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (process.valid() && namespace_ != 0 && namespaceOf(pid) == namespace_)
        ::syscall(SYS_pidfd_send_signal, process.get(), signal, nullptr, 0);
}

std::vector<pid_t> descendantsOf(pid_t root)
{
    std::vector<pid_t> found;
    std::vector<pid_t> next{root};
    // Bounded: a tree that changes while it is read cannot hold us here.
    for (std::size_t at = 0; at < next.size() && next.size() < 65536; ++at) {
        for (const std::string& thread : threadsOf(next[at])) {
            const std::string children =
                readSmall("/proc/" + std::to_string(next[at]) + "/task/" + thread + "/children");
            for (const char* word = children.c_str(); *word;) {
                char* end = nullptr;
                const long pid = std::strtol(word, &end, 10);
                if (end == word)
                    break;
                next.push_back(static_cast<pid_t>(pid));
                found.push_back(static_cast<pid_t>(pid));
                word = end;
            }
        }
    }
    return found;
}

bool BoxStopper::stop(std::chrono::milliseconds limit) const
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        bool allStopped = true;
        for (const pid_t pid : descendantsOf(launcher_)) {
            if (stoppedOrGone(pid))
                continue;
            allStopped = false;
            signalInBox(pid, SIGSTOP);
        }
        if (allStopped)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        // A stop takes effect when the process next runs.
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

void BoxStopper::resume() const
{
    for (const pid_t pid : descendantsOf(launcher_))
        signalInBox(pid, SIGCONT);
}

} // namespace vorlen
