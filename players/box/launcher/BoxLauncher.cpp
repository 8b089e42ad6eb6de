// vorlen-box: the first process of a seat's box. It starts the seat's bot
// when the referee asks and, when the referee says the move is over, ends
// and reaps everything the bot started. As the first process of its own
// process namespace nothing in the box can signal it, and with it the
// whole box ends.
#include "BoxFilter.h"
#include "BoxProtocol.h"
#include "BoxWipe.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <utility>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <linux/keyctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vorlen::box::Kind;
using vorlen::box::Message;

class Launcher {
public:
    Launcher(int socket, const vorlen::box::FilterListener& filter)
        : socket_(socket), filter_(filter), state_(vorlen::box::launcherState())
    {
    }

    int serve(int childSignals)
    {
        for (;;) {
            pollfd fds[3] = {{socket_, POLLIN, 0}, {childSignals, POLLIN, 0}, {filter_.fd, POLLIN, 0}};
            const int wait = running_ && fileLimit_ > 0 ? kFileCountEveryMs : -1;
            const int ready = ::poll(fds, filter_.fd >= 0 ? 3 : 2, wait);
            if (ready < 0 && errno != EINTR)
                return 1;
            // Files cost the kernel memory that limits alone do not count:
            // a bot that makes too many is ended, and its box is full.
            if (running_ && fileLimit_ > 0 && (filesIn("/tmp") > fileLimit_ || filesIn("/dev/shm") > fileLimit_))
                finish();
            // A refused call waits for its answer: given first.
            if (filter_.fd >= 0 && (fds[2].revents & POLLIN)) {
                const long call = vorlen::box::refuseNotified(filter_);
                if (call >= 0 && running_ && refused_ < 0)
                    refused_ = static_cast<std::int32_t>(call);
            }
            if (fds[1].revents & POLLIN) {
                signalfd_siginfo info;
                while (::read(childSignals, &info, sizeof info) > 0) {
                }
                reap(false);
            }
            if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
                Message message;
                std::string payload;
                std::vector<int> received;
                // The referee is gone: the kernel ends the box with its first process.
                if (!vorlen::box::receive(socket_, message, payload, received))
                    return 0;
                handle(message, payload, received);
                for (const int fd : received)
                    ::close(fd);
            }
        }
    }

private:
    void handle(const Message& message, const std::string& payload, const std::vector<int>& fds)
    {
        switch (message.kind) {
        case Kind::Run:
            if (!running_ && fds.size() == 3) {
                fileLimit_ = message.fileLimit;
                start(payload, message.argc, fds, message.limits);
            }
            return;
        case Kind::End:
            finish();
            return;
        case Kind::Wipe:
            wipe();
            return;
        default:
            return;
        }
    }

    void start(const std::string& payload, std::int32_t argc, const std::vector<int>& fds,
               const vorlen::box::Rlimits& limits)
    {
        std::vector<char*> words;
        std::string text = payload;
        for (std::size_t at = 0; at < text.size(); at = text.find('\0', at) + 1) {
            words.push_back(text.data() + at);
            if (text.find('\0', at) == std::string::npos)
                return; // not NUL-terminated: not from the referee
        }
        if (argc <= 0 || static_cast<std::size_t>(argc) > words.size())
            return;
        std::vector<char*> argv(words.begin(), words.begin() + argc);
        std::vector<char*> envp(words.begin() + argc, words.end());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        volatile int failure = 0;
        running_ = true;
        // The bot's environment is the bot's alone: its PATH finds its
        // program, and what it loads (LD_PRELOAD) loads into it, never here.
        char** const own = environ;
        environ = envp.data();
        const pid_t pid = ::vfork();
        if (pid == 0)
            exec(argv.data(), fds, limits, &failure);
        environ = own;
        bot_ = pid;
        error_ = pid < 0 ? errno : failure;
        if (error_ != 0)
            finish();
    }

    // Ends whatever runs and clears what the last match left; tells how it went.
    void wipe()
    {
        finish();
        ::kill(-1, SIGKILL);
        reap(true);
        Message wiped;
        wiped.kind = Kind::Wiped;
        // A launcher a bot changed would hand the change on to the next bot.
        const bool emptied = vorlen::box::wipeBox();
        wiped.status = emptied && vorlen::box::sameState(state_, vorlen::box::launcherState()) ? 0 : 1;
        vorlen::box::send(socket_, wiped);
    }

    // In the child of vfork(): system calls only.
    [[noreturn]] static void exec(char* const* argv, const std::vector<int>& fds, const vorlen::box::Rlimits& limits,
                                  volatile int* failure)
    {
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (::dup2(fds[0], 0) < 0 || ::dup2(fds[1], 1) < 0 || ::dup2(fds[2], 2) < 0) {
            *failure = errno;
            ::_exit(127);
        }
        ::syscall(SYS_close_range, 3U, ~0U, 0U);
        ::setrlimit(RLIMIT_DATA, &limits.data);
        ::setrlimit(RLIMIT_CPU, &limits.cpu);
        ::setrlimit(RLIMIT_FSIZE, &limits.fileSize);
        ::setrlimit(RLIMIT_NOFILE, &limits.openFiles);
        ::setrlimit(RLIMIT_NPROC, &limits.tasks);
        ::execvp(argv[0], argv);
        *failure = errno;
        ::_exit(127);
    }

    // Reaps what has ended, or with `block` everything. When the bot's
    // first process has ended, so has its run.
    void reap(bool block)
    {
        for (;;) {
            int status = 0;
            rusage usage{};
            const pid_t pid = ::wait4(-1, &status, block ? 0 : WNOHANG, &usage);
            if (pid < 0 && errno == EINTR)
                continue;
            if (pid <= 0)
                return;
            if (pid == bot_) {
                bot_ = -1;
                status_ = status;
                usage_ = usage;
                if (!block)
                    finish();
            }
            // Whatever forked meanwhile is ended before the next wait.
            if (block)
                ::kill(-1, SIGKILL);
        }
    }

    // Ends everything the run started and tells the referee how it went:
    // once a run, when its first process ends or when the referee says so.
    void finish()
    {
        if (!running_)
            return;
        running_ = false;
        ::kill(-1, SIGKILL);
        reap(true);
        Message ended;
        ended.kind = Kind::Ended;
        ended.status = status_;
        ended.error = error_;
        ended.cpuMicros = (usage_.ru_utime.tv_sec + usage_.ru_stime.tv_sec) * 1000000LL + usage_.ru_utime.tv_usec
                          + usage_.ru_stime.tv_usec;
        ended.peakKiB = usage_.ru_maxrss;
        ended.refusedCall = refused_;
        vorlen::box::send(socket_, ended);
        refused_ = -1;
        error_ = 0;
        status_ = 0;
        usage_ = {};
    }

    // How often the files of a running bot's box are counted.
    static constexpr int kFileCountEveryMs = 20;

    static std::int64_t filesIn(const char* dir)
    {
        struct statvfs room {};
        return ::statvfs(dir, &room) == 0 ? static_cast<std::int64_t>(room.f_files - room.f_ffree) : 0;
    }

    int socket_;
    std::int64_t fileLimit_ = 0;
    vorlen::box::FilterListener filter_;
    std::int32_t refused_ = -1; // the first call of the run the filter refused
    pid_t bot_ = -1;
    bool running_ = false;
    int error_ = 0;
    int status_ = 0;
    rusage usage_{};
    vorlen::box::LauncherState state_; // as the box was made
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const int socket = std::atoi(argv[1]);
    // Nothing in the box may trace it or read its memory.
    ::prctl(PR_SET_DUMPABLE, 0);
    ::fcntl(socket, F_SETFD, FD_CLOEXEC);
    sigset_t childSignal;
    ::sigemptyset(&childSignal);
    ::sigaddset(&childSignal, SIGCHLD);
    ::sigprocmask(SIG_BLOCK, &childSignal, nullptr);
    const int childSignals = ::signalfd(-1, &childSignal, SFD_CLOEXEC | SFD_NONBLOCK);
    const int seat = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int shm = ::open("/dev/shm", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (childSignals < 0 || seat < 0 || shm < 0)
        return 1;
    Message ready;
    ready.kind = Kind::Ready;
    if (!vorlen::box::send(socket, ready, {}, {seat, shm}))
        return 1;
    ::close(seat);
    ::close(shm);
    // A session keyring of the box's own, empty: not the organiser's. The
    // filter then keeps the bot from the keyrings altogether.
    ::syscall(SYS_keyctl, KEYCTL_JOIN_SESSION_KEYRING, nullptr);
    const vorlen::box::FilterListener filter = vorlen::box::installFilter();
    if (!filter.installed)
        return 1;
    return Launcher(socket, filter).serve(childSignals);
}
