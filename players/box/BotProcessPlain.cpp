// A bot run plainly: a session of its own, its limits on each process, and
// the referee as the one to end it.
#include "BotProcess.h"

#include "BotEnvironment.h"
#include "ChildSpawn.h"
#include "CommandLine.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlen {
namespace {

rlimit limitOf(std::uint64_t value) { return {static_cast<rlim_t>(value), static_cast<rlim_t>(value)}; }

// No memory limit at all: what a bot built with a sanitizer needs, whose
// shadow memory counts as data.
rlimit memoryLimit(std::uint64_t mib) { return mib == 0 ? rlimit{RLIM_INFINITY, RLIM_INFINITY} : limitOf(mib << 20); }

} // namespace

bool BotProcess::startPlain(const std::vector<std::string>& argv, int in, int out, int err, std::string& error)
{
    // Everything the child needs is prepared here: it must not allocate.
    // A bare name means what it means in the bot's own PATH.
    std::string program = argv.front();
    const std::vector<std::string>& environment = options_.environment;
    if (!environment.empty() && program.find('/') == std::string::npos) {
        std::string why;
        program = findExecutableIn(program, "/", environmentValue(environment, "PATH").value_or(""), why);
        if (program.empty()) {
            error = "'" + argv.front() + "' " + why;
            return false;
        }
    }
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    const BotLimits& limits = options_.limits;
    // The CPU hard limit a second later: SIGXCPU first, then SIGKILL.
    const std::uint64_t cpuSeconds = cpuLimitSeconds(options_.limits, options_.streams);
    const rlimit rlimits[4] = {memoryLimit(limits.memoryMiB),
                               {static_cast<rlim_t>(cpuSeconds), static_cast<rlim_t>(cpuSeconds + 1)},
                               limitOf(limits.fileSizeMiB << 20), limitOf(limits.openFiles)};
    ChildSetup setup;
    setup.argv = args.data();
    setup.file = program.c_str();
    setup.envp = environment.empty() ? nullptr : envp.data();
    setup.workDirFd = options_.workDirFd;
    setup.inFd = in;
    setup.outFd = out;
    setup.errFd = err;
    setup.limits = rlimits;

    auto guard = options_.groups->startGuard();
    int failure = 0;
    const pid_t pid = spawnChild(setup, failure);
    if (pid < 0) {
        error = std::strerror(failure);
        return false;
    }
    pid_ = pid;
    if (failure != 0 || !options_.groups->add(pid)) {
        error = failure != 0 ? std::strerror(failure) : "too many bots at once";
        guard.unlock();
        endGroup();
        return false;
    }
    groups_ = options_.groups;
    guard.unlock();
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    return true;
}

void BotProcess::endPlain()
{
    // The leader is not reaped yet, so its id still names this group only.
    ::kill(-pid_, SIGKILL);
    // Forgotten before the leader is reaped: after that its id may be reused.
    if (groups_)
        groups_->remove(pid_);
    groups_ = nullptr;
    rusage usage{};
    while (::wait4(pid_, &status_, 0, &usage) < 0 && errno == EINTR) {
    }
    peakKiB_ = usage.ru_maxrss;
    cpuSeconds_ = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                  + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    pid_ = -1;
}

} // namespace vorlen
