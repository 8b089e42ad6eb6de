#include "BotProcess.h"

#include "ChildSpawn.h"
#include "BoxFilter.h"
#include "FileDescriptor.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlen {
namespace {

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
// SIGXFSZ, or the SIGKILL that follows at the CPU hard limit or that ends a
// box over its memory.
std::optional<Status> limitBehind(int signal, double cpuSeconds, std::uint64_t cpuLimit, BoxLimit boxLimit)
{
    if (signal == SIGXFSZ)
        return Status::FileSizeLimit;
    if (signal == SIGXCPU || (signal == SIGKILL && cpuSeconds >= static_cast<double>(cpuLimit)))
        return Status::CpuLimit;
    if (signal == SIGKILL && boxLimit == BoxLimit::Memory)
        return Status::MemoryLimit;
    return std::nullopt;
}

} // namespace

BotProcess::~BotProcess() { endGroup(); }

bool BotProcess::start(const std::vector<std::string>& argv, const Options& options, std::string& error)
{
    if (argv.empty() || argv.front().empty()) {
        error = "empty command line";
        return false;
    }
    const FileDescriptor nullFd(::open("/dev/null", O_RDWR | O_CLOEXEC));
    int pipeFds[2] = {-1, -1};
    if (!nullFd.valid() || (options.log && ::pipe2(pipeFds, O_CLOEXEC) != 0)) {
        error = std::strerror(errno);
        return false;
    }
    FileDescriptor readEnd(pipeFds[0]);
    const FileDescriptor writeEnd(pipeFds[1]);
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

    options_ = options;
    const int in = inTheirs.valid() ? inTheirs.get() : nullFd.get();
    const int out = outTheirs.valid() ? outTheirs.get() : nullFd.get();
    const int err = writeEnd.valid() ? writeEnd.get() : nullFd.get();
    if (options.box) {
        if (!options.box->run(argv, options.environment, in, out, err, options.limits, options.streams, error))
            return false;
        boxed_ = true;
    } else if (!startPlain(argv, in, out, err, error)) {
        return false;
    }
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
    // The bot's end shows on its pidfd, or on its box's socket.
    const int ended = boxed_ ? options_.box->socket() : pidfd_;
    for (;;) {
        pollfd fds[2];
        nfds_t count = 0;
        if (ended >= 0)
            fds[count++] = {ended, POLLIN, 0};
        if (errPipe_ >= 0)
            fds[count++] = {errPipe_, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        // Without a pidfd (old kernels) the child's state is polled.
        const long long wait = std::max<long long>(left.count(), 0);
        const int ready = ::poll(fds, count, static_cast<int>(ended >= 0 ? wait : std::min(wait, 1LL)));
        if (ready < 0 && errno != EINTR)
            return false;
        drainLog(log);
        if (boxed_ && options_.box->takeNews())
            return true;
        if (!boxed_ && pidfd_ >= 0 && ready > 0 && (fds[0].revents & POLLIN))
            return true;
        if (!boxed_ && pidfd_ < 0) {
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
    if (boxed_)
        endInBox();
    if (pid_ >= 0)
        endPlain();
    for (int* fd : {&pidfd_, &errPipe_, &input_, &output_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void BotProcess::endInBox()
{
    const BoxRunEnd ended = options_.box->endRun();
    status_ = ended.status;
    startError_ = ended.error;
    cpuSeconds_ = ended.cpuSeconds;
    peakKiB_ = ended.peakKiB;
    boxLimit_ = ended.limit;
    refusedCall_ = ended.refusedCall;
    boxed_ = false;
}

BotRunResult BotProcess::run(const std::vector<std::string>& argv, const Options& options)
{
    std::string error;
    if (!start(argv, options, error))
        return {Status::FailedToStart, error, 0};
    const bool finished = waitForExit(options.finishLimit, options.log);
    BotRunResult result = end();
    if (!finished && result.status != Status::RefereeError && result.status != Status::FailedToStart) {
        result.status = Status::TimedOut;
        result.message = "still running after the time limit";
    }
    return result;
}

BotRunResult BotProcess::end()
{
    const pid_t leader = pid_;
    const bool boxed = boxed_;
    // What is already in the pipe belongs to this run; a lingering writer
    // gets nothing more in.
    drainLog(options_.log);
    endGroup();
    if (!boxed && isChildSubreaper() && lastCreatedPid() != leader)
        options_.groups->endOrphans();
    if (options_.log && !options_.log->error().empty())
        return {Status::RefereeError, options_.log->error(), peakKiB_};
    if (boxed && startError_ != 0)
        return {Status::FailedToStart, std::strerror(startError_), 0, boxLimit_};

    BotRunResult result{Status::Finished, {}, peakKiB_, boxLimit_};
    if (refusedCall_ >= 0)
        result.refusedCall = box::refusedCallName(refusedCall_);
    const int signal = WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
    if (WIFEXITED(status_)) {
        result.exitCode = WEXITSTATUS(status_);
        result.message = "exit code " + std::to_string(result.exitCode);
    }
    if (signal != 0)
        result.message = std::string("killed by signal ") + ::strsignal(signal);
    result.signal = signal;
    if (const auto limit = limitBehind(signal, cpuSeconds_, cpuLimitSeconds(options_.limits, options_.streams), boxLimit_))
        result.status = *limit;
    return result;
}

void BotProcess::pause()
{
    if (options_.box)
        options_.box->freeze();
}

void BotProcess::resume()
{
    if (options_.box)
        options_.box->thaw();
}

BotRunResult BotProcess::finish(std::chrono::milliseconds grace)
{
    if (!running())
        return {Status::Finished, "ended", peakKiB_};
    resume();
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    waitForExit(grace, options_.log);
    return end();
}

} // namespace vorlen
