#include "Box.h"

#include "BotEnvironment.h"
#include "ChildSpawn.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlen {
namespace {

// What the box holds besides the bot's own tasks: bubblewrap outside and
// the launcher inside.
constexpr std::uint64_t kBoxOverheadTasks = 2;
// Bubblewrap makes a box well within this, even on a loaded machine.
constexpr std::chrono::seconds kBoxStartLimit{20};

// Waits for a message from the launcher; false when it is gone or silent.
bool awaitMessage(int socket, std::chrono::milliseconds limit, box::Message& message, std::string& payload,
                  std::vector<int>& fds)
{
    pollfd fd{socket, POLLIN, 0};
    int ready = 0;
    do
        ready = ::poll(&fd, 1, static_cast<int>(limit.count()));
    while (ready < 0 && errno == EINTR);
    return ready > 0 && box::receive(socket, message, payload, fds);
}

} // namespace

bool Box::start(const SandboxPlan& plan, const BoxView& view, const BotLimits& limits, BotGroups& groups,
                std::string& error)
{
    std::string why;
    if (plan.controlGroups)
        cgroup_ = BoxCgroup::create({limits.tasks == 0 ? 0 : limits.tasks + kBoxOverheadTasks, limits.memoryMiB,
                                     limits.cpus},
                                    why);
    int pair[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    socket_.reset(pair[0]);
    FileDescriptor theirs(pair[1]);
    errors_.reset(errPipe[0]);
    FileDescriptor errWrite(errPipe[1]);
    const FileDescriptor nullFd(::open("/dev/null", O_RDWR | O_CLOEXEC));

    const std::vector<std::string> command = boxCommand(plan, view, limits.diskMiB);
    std::vector<char*> args;
    for (const std::string& arg : command)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    // Bubblewrap hands its environment on to the launcher: a library a bot
    // names (LD_PRELOAD) would load into both before any namespace holds it.
    const std::vector<std::string> botEnv = botEnvironment({}, kBoxHome, nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : botEnv)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    ChildSetup setup;
    setup.argv = args.data();
    setup.envp = envp.data();
    setup.inFd = nullFd.get();
    setup.outFd = nullFd.get();
    setup.errFd = errWrite.get();
    setup.passFd = theirs.get();
    if (cgroup_) {
        setup.joinFds = cgroup_->joinFds().data();
        setup.joinCount = static_cast<int>(cgroup_->joinFds().size());
    }
    setup.dropToNobody = ::geteuid() == 0;

    auto guard = groups.startGuard();
    int failure = 0;
    const pid_t pid = spawnChild(setup, failure);
    if (pid < 0) {
        error = std::strerror(failure);
        return false;
    }
    // Only the box holds these ends now: its end shows as the end of both.
    theirs.reset();
    errWrite.reset();
    pid_ = pid;
    groups_ = &groups;
    if (failure != 0 || !groups.add(pid)) {
        error = failure != 0 ? std::string("cannot start the sandbox: ") + std::strerror(failure) : "too many bots at once";
        guard.unlock();
        end();
        return false;
    }
    guard.unlock();

    box::Message ready;
    std::string payload;
    std::vector<int> fds;
    if (!awaitMessage(socket_.get(), kBoxStartLimit, ready, payload, fds) || ready.kind != box::Kind::Ready
        || fds.size() != 2) {
        for (const int fd : fds)
            ::close(fd);
        ::fcntl(errors_.get(), F_SETFL, O_NONBLOCK);
        std::string complaint = readUpTo(errors_.get(), 512);
        while (!complaint.empty() && complaint.back() == '\n')
            complaint.pop_back();
        error = "the sandbox did not start" + (complaint.empty() ? std::string() : ": " + complaint);
        if (setup.dropToNobody)
            error += " (the bot runs as nobody: its files, and the folders they are in, must be readable by all)";
        end();
        return false;
    }
    seat_.reset(fds[0]);
    shm_.reset(fds[1]);
    // Ready before the first stop is due: a thread started then would be late for it.
    stopper_ = std::make_unique<DeferredStop>(launcherPid(), kStopGrace);
    return true;
}

bool Box::wipe()
{
    if (!running())
        return false;
    box::Message message;
    message.kind = box::Kind::Wipe;
    // Its processes are killed, stopped or not.
    thaw();
    box::Message wiped;
    std::string payload;
    std::vector<int> fds;
    bool done = box::send(socket_.get(), message);
    // An Ended of a run the wipe cut short may come first.
    while (done) {
        done = awaitMessage(socket_.get(), kLauncherAnswerLimit, wiped, payload, fds);
        for (const int fd : fds)
            ::close(fd);
        fds.clear();
        if (done && wiped.kind == box::Kind::Wiped)
            break;
    }
    if (!done || wiped.status != 0 || diskFull()) {
        end();
        return false;
    }
    ended_ = false;
    runEnd_ = {};
    limitHit(); // the counters start from here for the next match
    return true;
}

void Box::end()
{
    if (pid_ > 0) {
        thaw();
        // Closing the socket ends the launcher, and with it the box and
        // bubblewrap; one that does not go is killed with bubblewrap's
        // session. Either way everything of the box is reaped where it was
        // started, not handed to this process.
        socket_.reset();
        const FileDescriptor exited(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
        pollfd fd{exited.get(), POLLIN, 0};
        if (!exited.valid() || ::poll(&fd, 1, static_cast<int>(kLauncherAnswerLimit.count() * 1000)) <= 0)
            ::kill(-pid_, SIGKILL);
        if (groups_)
            groups_->remove(pid_);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        if (groups_ && isChildSubreaper())
            groups_->endOrphans();
    }
    groups_ = nullptr;
    stopper_.reset();
    frozen_ = false;
    seat_.reset();
    shm_.reset();
    socket_.reset();
    errors_.reset();
    cgroup_.reset();
}

} // namespace vorlen
