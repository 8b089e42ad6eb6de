#include "BotProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlen {
namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Runs in the child of vfork(): only system calls, nothing that allocates or
// touches the parent's state beyond `failure`.
[[noreturn]] void execChild(char* const* argv, const char* workDir, int nullFd, int errFd,
                            const sigset_t& parentMask, volatile int* failure)
{
    // Handlers of the referee must not run in the child: back to defaults.
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction action {};
        if (sig == SIGKILL || sig == SIGSTOP || ::sigaction(sig, nullptr, &action) != 0)
            continue;
        if (action.sa_handler != SIG_IGN && action.sa_handler != SIG_DFL) {
            action.sa_handler = SIG_DFL;
            action.sa_flags = 0;
            ::sigaction(sig, &action, nullptr);
        }
    }
    ::sigprocmask(SIG_SETMASK, &parentMask, nullptr);
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);

    if ((workDir[0] != '\0' && ::chdir(workDir) != 0) || ::dup2(nullFd, 0) < 0
        || ::dup2(nullFd, 1) < 0 || ::dup2(errFd, 2) < 0) {
        *failure = errno;
        ::_exit(127);
    }
    ::execvp(argv[0], argv);
    *failure = errno;
    ::_exit(127);
}

// The child never returns from here: it execs or exits.
__attribute__((noinline)) pid_t spawnChild(char* const* argv, const char* workDir, int nullFd,
                                           int errFd, const sigset_t& parentMask,
                                           volatile int* failure)
{
    const pid_t pid = ::vfork();
    if (pid == 0)
        execChild(argv, workDir, nullFd, errFd, parentMask, failure);
    return pid;
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
    const Fd nullFd(::open("/dev/null", O_RDWR | O_CLOEXEC));
    const Fd logFd(options.stderrPath.empty()
                       ? -1
                       : ::open(options.stderrPath.c_str(),
                                O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (nullFd.get() < 0 || (!options.stderrPath.empty() && logFd.get() < 0)) {
        error = std::strerror(errno);
        return false;
    }

    // Everything the child needs is prepared here: it must not allocate.
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int errFd = logFd.get() >= 0 ? logFd.get() : nullFd.get();

    sigset_t all, previous;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    volatile int failure = 0;
    const pid_t pid =
        spawnChild(args.data(), options.workDir.c_str(), nullFd.get(), errFd, previous, &failure);
    const int forkErrno = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    if (pid < 0) {
        error = std::strerror(forkErrno);
        return false;
    }
    pid_ = pid;
    if (failure != 0) {
        error = std::strerror(failure);
        reap();
        return false;
    }
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    groups_ = options.groups;
    if (groups_)
        groups_->add(pid_);
    return true;
}

bool BotProcess::waitForExit(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    if (pidfd_ < 0) {
        // Kernels without pidfd: poll the child's state.
        siginfo_t info{};
        while (std::chrono::steady_clock::now() < deadline) {
            info.si_pid = 0;
            if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0
                && info.si_pid == pid_)
                return true;
            ::usleep(1000);
        }
        return false;
    }
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{pidfd_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready > 0)
            return true;
        if (ready == 0)
            return false;
        if (errno != EINTR)
            return false;
    }
}

std::string BotProcess::reap()
{
    // Forgotten before the leader is reaped: after that its id may be reused.
    if (groups_)
        groups_->remove(pid_);
    groups_ = nullptr;
    std::string how;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        how = "exit code " + std::to_string(WEXITSTATUS(status));
    else if (WIFSIGNALED(status))
        how = std::string("killed by signal ") + ::strsignal(WTERMSIG(status));
    if (pidfd_ >= 0)
        ::close(pidfd_);
    pid_ = -1;
    pidfd_ = -1;
    return how;
}

std::string BotProcess::endGroup()
{
    if (pid_ < 0)
        return {};
    // The leader is not reaped yet, so its id still names this group only.
    ::kill(-pid_, SIGKILL);
    return reap();
}

BotRunResult BotProcess::run(const std::vector<std::string>& argv, const Options& options)
{
    std::string error;
    if (!start(argv, options, error))
        return {BotRunResult::Status::FailedToStart, error};
    const bool finished = waitForExit(options.finishLimit);
    const std::string how = endGroup();
    if (!finished)
        return {BotRunResult::Status::TimedOut, "still running after the time limit"};
    return {BotRunResult::Status::Finished, how};
}

} // namespace vorlen
