#include "ChildSpawn.h"

#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vorlen {
namespace {

constexpr int kLimitResources[4] = {RLIMIT_DATA, RLIMIT_CPU, RLIMIT_FSIZE, RLIMIT_NOFILE};
constexpr unsigned kNobody = kUnprivilegedUser;

// Runs in the child of vfork(): only system calls, nothing that allocates or
// touches the parent's state beyond `failure`. Credentials change through
// the raw calls: the C library's would act on all of the parent's threads.
[[noreturn]] void execChild(const ChildSetup& setup, const sigset_t& parentMask, pid_t parent, volatile int* failure)
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
    ::sigprocmask(SIG_SETMASK, &parentMask, nullptr);
    // A session of its own: whatever the bot starts can never join the
    // referee's session again, which is how escapees are told apart.
    ::setsid();
    for (int i = 0; i < setup.joinCount; ++i)
        if (::write(setup.joinFds[i], "0", 1) != 1)
            goto failed;
    if (setup.dropToNobody
        && (::syscall(SYS_setgroups, 0, nullptr) != 0 || ::syscall(SYS_setresgid, kNobody, kNobody, kNobody) != 0
            || ::syscall(SYS_setresuid, kNobody, kNobody, kNobody) != 0))
        goto failed;
    // After the change of user, which clears it. A parent that died before
    // this would never send it: the child then goes at once, as it would have.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    if (setup.limits)
        for (int i = 0; i < 4; ++i)
            ::setrlimit(kLimitResources[i], &setup.limits[i]);
    if ((setup.workDirFd >= 0 && ::fchdir(setup.workDirFd) != 0) || ::dup2(setup.inFd, 0) < 0
        || ::dup2(setup.outFd, 1) < 0 || ::dup2(setup.errFd, 2) < 0)
        goto failed;
    if (setup.passFd >= 0
        && (setup.passFd == 3 ? ::fcntl(3, F_SETFD, 0) : ::dup2(setup.passFd, 3)) < 0)
        goto failed;
    // Nothing else of the referee's goes through: descriptors opened without
    // close-on-exec (a test's output file, a build tool's jobserver) stay here.
    if (::syscall(SYS_close_range, setup.passFd >= 0 ? 4U : 3U, ~0U, 0U) != 0 && errno != ENOSYS)
        goto failed;
    // As a shell would: a file without a #! line is run by /bin/sh.
    ::execvpe(setup.file ? setup.file : setup.argv[0], setup.argv, setup.envp ? setup.envp : environ);
failed:
    *failure = errno;
    ::_exit(127);
}

// The child never returns from here: it execs or exits.
__attribute__((noinline)) pid_t forkChild(const ChildSetup& setup, const sigset_t& parentMask, volatile int* failure)
{
    const pid_t parent = ::getpid();
    const pid_t pid = ::vfork();
    if (pid == 0)
        execChild(setup, parentMask, parent, failure);
    return pid;
}

} // namespace

pid_t spawnChild(const ChildSetup& setup, int& error)
{
    volatile int failure = 0;
    sigset_t all;
    sigset_t parentMask;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &parentMask);
    const pid_t pid = forkChild(setup, parentMask, &failure);
    error = pid < 0 ? errno : failure;
    ::pthread_sigmask(SIG_SETMASK, &parentMask, nullptr);
    return pid;
}

} // namespace vorlen
