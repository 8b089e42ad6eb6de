#pragma once

#include "BotGroups.h"
#include "BotLimits.h"
#include "BotLog.h"

#include <chrono>
#include <string>
#include <vector>

namespace vorlen {

// How one run of a bot program ended.
struct BotRunResult {
    enum class Status { Finished, FailedToStart, TimedOut, CpuLimit, FileSizeLimit, RefereeError };
    Status status = Status::FailedToStart;
    std::string message;       // why it failed, or how it ended
    long peakMemoryKiB = 0;    // the largest resident size of the bot
};

// One run of an untrusted program. The program gets a session of its own,
// the null device as its standard input and output (or, for a stream bot,
// a line to the referee each way), its limits, and dies with the referee.
// Whatever happens, ending the run kills its whole process group; what left
// the group and was handed back to the referee is ended too.
class BotProcess {
public:
    struct Options {
        int workDirFd = -1;          // -1: the referee's working directory
        BotLog* log = nullptr;       // its standard error; null: the null device
        std::chrono::milliseconds finishLimit = kMoveTimeLimit;
        BotLimits limits;
        BotGroups* groups = nullptr; // required: told of the bot while it runs
        bool sandboxed = false;      // run through bubblewrap: its exit code carries signals
        bool streams = false;        // standard input and output connected to the referee
    };

    // How one exchange with a stream bot went.
    enum class Exchange { Answered, TimedOut, Closed, TooLong };

    BotProcess() = default;
    ~BotProcess();
    BotProcess(const BotProcess&) = delete;
    BotProcess& operator=(const BotProcess&) = delete;

    // Starts the program, waits for it within the limit and ends it.
    BotRunResult run(const std::vector<std::string>& argv, const Options& options);

    // A stream bot: started once, then given text and answered with lines.
    bool start(const std::vector<std::string>& argv, const Options& options, std::string& error);
    bool running() const { return pid_ >= 0; }
    // Writes `text` to the bot's input and reads one line of its output
    // (without the line end) within `limit`, while its standard error goes
    // to the log. Output left over from an earlier exchange is dropped first.
    Exchange exchange(const std::string& text, std::chrono::milliseconds limit, std::string& line);
    // Closes the bot's input, gives it `grace` to end, then ends everything
    // it started; how it ended, as run() tells it.
    BotRunResult finish(std::chrono::milliseconds grace);

private:
    // Drains the log, ends the group and whatever escaped, and tells how the
    // bot ended.
    BotRunResult end();
    bool waitForExit(std::chrono::milliseconds limit, BotLog* log);
    void drainLog(BotLog* log);
    // Kills whatever is left of the group and reaps the leader.
    void endGroup();

    int pid_ = -1;
    int pidfd_ = -1;
    int errPipe_ = -1;
    int input_ = -1;  // a stream bot's standard input, our end
    int output_ = -1; // its standard output, our end
    Options options_;
    BotGroups* groups_ = nullptr;
    int status_ = 0;
    long peakKiB_ = 0;
    double cpuSeconds_ = 0;
};

} // namespace vorlen
