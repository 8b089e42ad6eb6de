#include "BotProcess.h"

#include "Exchange.h"
#include "FileDescriptor.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <optional>
#include <unistd.h>

namespace vorlen {
namespace {

struct ChildSetup {
    char* const* argv;
    int workDirFd;
    int inFd;
    int outFd;
    int errFd;
    rlimit limits[4];
    sigset_t parentMask;
    volatile int* failure;
};

constexpr int kLimitResources[4] = {RLIMIT_DATA, RLIMIT_CPU, RLIMIT_FSIZE, RLIMIT_NOFILE};

// Runs in the child of vfork(): only system calls, nothing that allocates or
// touches the parent's state beyond `failure`.
[[noreturn]] void execChild(const ChildSetup& setup)
{
    // Nothing of the referee's signal set-up carries over, ignored signals
    // included: a bot starts as from a fresh shell.
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction action {};
        if (sig == SIGKILL || sig == SIGSTOP || ::sigaction(sig, nullptr, &action) != 0
            || action.sa_handler == SIG_DFL)
            continue;
        action.sa_handler = SIG_DFL;
        action.sa_flags = 0;
        ::sigaction(sig, &action, nullptr);
    }
    ::sigprocmask(SIG_SETMASK, &setup.parentMask, nullptr);
    // A session of its own: whatever the bot starts can never join the
    // referee's session again, which is how escapees are told apart.
    ::setsid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (int i = 0; i < 4; ++i)
        ::setrlimit(kLimitResources[i], &setup.limits[i]);

    if ((setup.workDirFd >= 0 && ::fchdir(setup.workDirFd) != 0) || ::dup2(setup.inFd, 0) < 0
        || ::dup2(setup.outFd, 1) < 0 || ::dup2(setup.errFd, 2) < 0) {
        *setup.failure = errno;
        ::_exit(127);
    }
    ::execvp(setup.argv[0], setup.argv);
    *setup.failure = errno;
    ::_exit(127);
}

// The child never returns from here: it execs or exits.
__attribute__((noinline)) pid_t spawnChild(const ChildSetup& setup)
{
    const pid_t pid = ::vfork();
    if (pid == 0)
        execChild(setup);
    return pid;
}

rlimit limitOf(std::uint64_t value) { return {static_cast<rlim_t>(value), static_cast<rlim_t>(value)}; }

// No memory limit at all: what a bot built with a sanitizer needs, whose
// shadow memory counts as data.
rlimit memoryLimit(std::uint64_t mib) { return mib == 0 ? rlimit{RLIM_INFINITY, RLIM_INFINITY} : limitOf(mib << 20); }

// The most recently created process id of the system: when it has not moved
// since the bot started, the bot started nothing, and nothing can have
// escaped it.
long lastCreatedPid()
{
    const FileDescriptor file(::open("/proc/loadavg", O_RDONLY | O_CLOEXEC));
    const std::string text = file.valid() ? readUpTo(file.get(), 128) : std::string();
    const std::size_t last = text.rfind(' ');
    return last == std::string::npos ? -1 : std::atol(text.c_str() + last + 1);
}

using Status = BotRunResult::Status;

// The limit that ended a bot, from the signal that ended it: SIGXCPU or
// SIGXFSZ, or the SIGKILL that follows at the CPU hard limit.
// A stream bot lives for a whole match: its CPU limit covers a hundred
// moves, a backstop behind the time limit of every move.
std::uint64_t cpuLimitSeconds(const BotProcess::Options& options)
{
    return options.limits.cpuSeconds * (options.streams ? kStreamCpuMoves : 1);
}

std::optional<Status> limitBehind(int signal, double cpuSeconds, std::uint64_t cpuLimit)
{
    if (signal == SIGXFSZ)
        return Status::FileSizeLimit;
    if (signal == SIGXCPU || (signal == SIGKILL && cpuSeconds >= static_cast<double>(cpuLimit)))
        return Status::CpuLimit;
    return std::nullopt;
}

} // namespace

BotProcess::~BotProcess() { endGroup(); }

bool BotProcess::start(const std::vector<std::string>& argv, const Options& options,
                       std::string& error)
{
    if (argv.empty() || argv.front().empty()) {
        error = "empty command line";
        return false;
    }
    const FileDescriptor nullFd(::open("/dev/null", O_RDWR | O_CLOEXEC));
    int pipeFds[2] = {-1, -1};
    if (options.log && ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    FileDescriptor readEnd(pipeFds[0]);
    const FileDescriptor writeEnd(pipeFds[1]);
    if (!nullFd.valid()) {
        error = std::strerror(errno);
        return false;
    }
    // A stream bot's input is a socket, so that writing to a bot that has
    // gone fails instead of raising SIGPIPE; its output a pipe.
    int inFds[2] = {-1, -1};
    int outFds[2] = {-1, -1};
    if (options.streams
        && (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, inFds) != 0 || ::pipe2(outFds, O_CLOEXEC) != 0)) {
        error = std::strerror(errno);
        return false;
    }
    FileDescriptor inOurs(inFds[0]);
    const FileDescriptor inTheirs(inFds[1]);
    FileDescriptor outOurs(outFds[0]);
    const FileDescriptor outTheirs(outFds[1]);

    // Everything the child needs is prepared here: it must not allocate.
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const BotLimits& limits = options.limits;
    // The CPU hard limit a second later: SIGXCPU first, then SIGKILL.
    const std::uint64_t cpuSeconds = cpuLimitSeconds(options);
    const rlimit cpu{static_cast<rlim_t>(cpuSeconds), static_cast<rlim_t>(cpuSeconds + 1)};
    volatile int failure = 0;
    ChildSetup setup{args.data(),
                     options.workDirFd,
                     inTheirs.valid() ? inTheirs.get() : nullFd.get(),
                     outTheirs.valid() ? outTheirs.get() : nullFd.get(),
                     writeEnd.valid() ? writeEnd.get() : nullFd.get(),
                     {memoryLimit(limits.memoryMiB), cpu, limitOf(limits.fileSizeMiB << 20),
                      limitOf(limits.openFiles)},
                     {},
                     &failure};

    sigset_t all;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &setup.parentMask);
    auto guard = options.groups->startGuard();
    const pid_t pid = spawnChild(setup);
    const int forkErrno = errno;
    ::pthread_sigmask(SIG_SETMASK, &setup.parentMask, nullptr);

    if (pid < 0) {
        error = std::strerror(forkErrno);
        return false;
    }
    pid_ = pid;
    if (failure != 0 || !options.groups->add(pid)) {
        error = failure != 0 ? std::strerror(failure) : "too many bots at once";
        guard.unlock();
        endGroup();
        return false;
    }
    groups_ = options.groups;
    options_ = options;
    guard.unlock();
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    errPipe_ = readEnd.release();
    input_ = inOurs.release();
    output_ = outOurs.release();
    for (const int fd : {errPipe_, input_, output_})
        if (fd >= 0)
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
    return true;
}

void BotProcess::drainLog(BotLog* log)
{
    if (errPipe_ < 0)
        return;
    char buffer[65536];
    // A bounded helping: a bot that writes without end must not keep the
    // referee here past its deadline.
    for (int pieces = 0; pieces < 16; ++pieces) {
        const ssize_t got = ::read(errPipe_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // End of file: every writer is gone; nothing more will come.
            if (got == 0) {
                ::close(errPipe_);
                errPipe_ = -1;
            }
            return;
        }
        if (log)
            log->append({buffer, static_cast<std::size_t>(got)});
    }
}

bool BotProcess::waitForExit(std::chrono::milliseconds limit, BotLog* log)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        pollfd fds[2];
        nfds_t count = 0;
        if (pidfd_ >= 0)
            fds[count++] = {pidfd_, POLLIN, 0};
        if (errPipe_ >= 0)
            fds[count++] = {errPipe_, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        // Without a pidfd (old kernels) the child's state is polled.
        const long long wait = std::max<long long>(left.count(), 0);
        const int ready = ::poll(fds, count, static_cast<int>(pidfd_ >= 0 ? wait : std::min(wait, 1LL)));
        if (ready < 0 && errno != EINTR)
            return false;
        drainLog(log);
        if (pidfd_ >= 0 && ready > 0 && (fds[0].revents & POLLIN))
            return true;
        if (pidfd_ < 0) {
            siginfo_t info{};
            if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0
                && info.si_pid == pid_)
                return true;
        }
        if (left.count() <= 0)
            return false;
    }
}

void BotProcess::endGroup()
{
    if (pid_ < 0)
        return;
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
    for (int* fd : {&pidfd_, &errPipe_, &input_, &output_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    pid_ = -1;
}

BotRunResult BotProcess::run(const std::vector<std::string>& argv, const Options& options)
{
    std::string error;
    if (!start(argv, options, error))
        return {Status::FailedToStart, error, 0};
    const bool finished = waitForExit(options.finishLimit, options.log);
    BotRunResult result = end();
    if (!finished && result.status != Status::RefereeError) {
        result.status = Status::TimedOut;
        result.message = "still running after the time limit";
    }
    return result;
}

BotRunResult BotProcess::end()
{
    const pid_t leader = pid_;
    // What is already in the pipe belongs to this run; a lingering writer
    // gets nothing more in.
    drainLog(options_.log);
    endGroup();
    if (!options_.sandboxed && isChildSubreaper() && lastCreatedPid() != leader)
        options_.groups->endOrphans();
    if (options_.log && !options_.log->error().empty())
        return {Status::RefereeError, options_.log->error(), peakKiB_};

    BotRunResult result{Status::Finished, {}, peakKiB_};
    int signal = WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
    // bubblewrap ends with 128 + the signal that ended the bot.
    if (options_.sandboxed && WIFEXITED(status_) && WEXITSTATUS(status_) > 128)
        signal = WEXITSTATUS(status_) - 128;
    if (WIFEXITED(status_))
        result.message = "exit code " + std::to_string(WEXITSTATUS(status_));
    if (signal != 0)
        result.message = std::string("killed by signal ") + ::strsignal(signal);
    if (const auto limit = limitBehind(signal, cpuSeconds_, cpuLimitSeconds(options_)))
        result.status = *limit;
    return result;
}

BotProcess::Exchange BotProcess::exchange(const std::string& text, std::chrono::milliseconds limit,
                                          std::string& line)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    line.clear();
    // Whatever it wrote beyond its last answer is not an answer to this
    // board; a bot that goes on writing is not waited for.
    char buffer[4096];
    for (std::size_t dropped = 0;;) {
        const ssize_t got = ::read(output_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        if (got == 0)
            return Exchange::Closed;
        dropped += static_cast<std::size_t>(got);
        if (dropped > kAnswerCapBytes)
            return Exchange::TooLong;
    }
    std::size_t sent = 0;
    for (;;) {
        while (sent < text.size()) {
            const ssize_t wrote = ::send(input_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote < 0 && errno != EAGAIN)
                return Exchange::Closed;
            if (wrote < 0)
                break;
            sent += static_cast<std::size_t>(wrote);
        }
        const std::size_t end = line.find('\n');
        if (end != std::string::npos) {
            line.resize(end);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return Exchange::Answered;
        }
        if (line.size() > kAnswerCapBytes)
            return Exchange::TooLong;

        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = {output_, POLLIN, 0};
        if (errPipe_ >= 0)
            fds[count++] = {errPipe_, POLLIN, 0};
        if (sent < text.size())
            fds[count++] = {input_, POLLOUT, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Exchange::TimedOut;
        if (::poll(fds, count, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return Exchange::Closed;
        drainLog(options_.log);
        const ssize_t got = ::read(output_, buffer, sizeof buffer);
        if (got == 0)
            return Exchange::Closed;
        if (got > 0)
            line.append(buffer, static_cast<std::size_t>(got));
    }
}

BotRunResult BotProcess::finish(std::chrono::milliseconds grace)
{
    if (pid_ < 0)
        return {Status::Finished, "ended", peakKiB_};
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    waitForExit(grace, options_.log);
    return end();
}

} // namespace vorlen
