#pragma once

#include "BotFolder.h"
#include "BotGroups.h"
#include "BotLimits.h"
#include "BoxCgroup.h"
#include "BoxProtocol.h"
#include "BoxStopper.h"
#include "FileDescriptor.h"
#include "Sandbox.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vorlen {

// The limit a box ran into during a bot's run, if any.
enum class BoxLimit { None, Tasks, Memory, Disk };

// How a bot's run in a box ended.
struct BoxRunEnd {
    int status = 0;     // its wait status
    int error = 0;      // why it could not start
    double cpuSeconds = 0;
    long peakKiB = 0;
    BoxLimit limit = BoxLimit::None;
    long refusedCall = -1; // the first system call of the run its box refused
};

// One seat's box for one match: a process namespace whose first process is
// our launcher, a view of the system read-only, a seat folder, /tmp and
// /dev/shm of its own on small file systems, no network, an unprivileged
// user, and a control group that holds its tasks and memory where one can
// be made. Started at the seat's first move, ended with the match; it dies
// with the thread that started it.
class Box {
public:
    Box() = default;
    ~Box() { end(); }
    Box(const Box&) = delete;
    Box& operator=(const Box&) = delete;

    // What `view` names is shown read-only. Bubblewrap and the launcher
    // start with a bot's fixed environment, never with what a bot is given:
    // nothing of a bot's runs before its box holds it.
    bool start(const SandboxPlan& plan, const BoxView& view, const BotLimits& limits, BotGroups& groups,
               std::string& error);
    bool running() const { return pid_ > 0; }
    // The seat folder, where the exchange files go.
    int seatDir() const { return seat_.get(); }
    // What governs it: "cgroup v1", "cgroup v2", or "rlimits" where no
    // control group could be made.
    const char* governance() const { return cgroup_ ? cgroup_->version() : "rlimits"; }

    // Starts a bot with these standard streams, limits and environment
    // ("NAME=VALUE"; empty: the fixed one), which the launcher gives the bot
    // alone.
    bool run(const std::vector<std::string>& argv, const std::vector<std::string>& environment, int in, int out,
             int err, const BotLimits& limits, bool stream, std::string& error);
    // Readable when the launcher has news.
    int socket() const { return socket_.get(); }
    // Takes the launcher's news; true once the run has ended: its first
    // process ended, and everything it started with it.
    bool takeNews() { return awaitEnd(std::chrono::milliseconds(0)); }
    // Ends the run if it goes on, and tells how it went.
    BoxRunEnd endRun();
    // No process of the box runs until thawed.
    void freeze() { setFrozen(true); }
    void thaw() { setFrozen(false); }
    // Between two matches: ends every process in it and empties its own
    // folders, so that it serves the next match as a new box would. False
    // when it could not: it is then ended.
    bool wipe();
    // Ends the box and everything in it.
    void end();
    // Whether its seat folder or its /dev/shm has no room left.
    bool diskFull() const;

private:
    // The launcher answers at once; one that does not is not waited for longer.
    static constexpr std::chrono::seconds kLauncherAnswerLimit{5};

    // A bot is stopped this long after its answer unless its next board
    // comes first: an opponent as quick as that leaves it no time to think,
    // and stopping and going on would cost more than the move.
    static constexpr std::chrono::microseconds kStopGrace{200};

    BoxLimit limitHit();
    void setFrozen(bool frozen);
    // The launcher's host process id: bubblewrap's one child.
    pid_t launcherPid() const;
    // Reads the launcher's news for up to `limit`, until the run has ended.
    bool awaitEnd(std::chrono::milliseconds limit);
    void takeEnd(const box::Message& message);
    // The launcher is gone: the run has ended, and the box with it.
    void lost();

    pid_t pid_ = -1; // bubblewrap, outside
    BotGroups* groups_ = nullptr;
    FileDescriptor socket_;
    FileDescriptor seat_;
    FileDescriptor shm_;
    FileDescriptor errors_; // bubblewrap's own complaints
    std::unique_ptr<BoxCgroup> cgroup_;
    BoxCgroup::Counters counted_; // the limits' counts when the last run ended
    bool ended_ = false;
    BoxRunEnd runEnd_;
    bool frozen_ = false;
    std::unique_ptr<DeferredStop> stopper_;
    std::int64_t fileLimit_ = 0; // files each of its file systems may hold
};

// Where a bot's HOME and TMPDIR are in its box.
inline constexpr const char* kBoxHome = "/tmp";

// The bubblewrap command line of a box: the launcher, told its socket is fd
// 3. What the view names is shown read-only where it is.
std::vector<std::string> boxCommand(const SandboxPlan& plan, const BoxView& view, std::uint64_t diskMiB);

// The real paths of what a command line names that exists here: what a box
// shows its bot besides the system.
std::vector<std::string> namedPaths(const std::vector<std::string>& argv);

} // namespace vorlen
