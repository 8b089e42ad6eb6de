#pragma once

#include "BotGroups.h"
#include "BotLimits.h"
#include "BotLog.h"
#include "Box.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vorlen {

// How one run of a bot program ended.
struct BotRunResult {
    enum class Status { Finished, FailedToStart, TimedOut, CpuLimit, FileSizeLimit, MemoryLimit, RefereeError };
    Status status = Status::FailedToStart;
    std::string message;       // why it failed, or how it ended
    long peakMemoryKiB = 0;    // the largest resident size of the bot
    BoxLimit boxLimit = BoxLimit::None; // a limit of its box it ran into, whatever it did then
    int exitCode = -1;         // when it ended by itself
    int signal = 0;            // the signal that ended it, if one did
    std::string refusedCall = {}; // a system call its box refused it, by name; empty: none
};

// One run of an untrusted program, plain or in its seat's box. A plain one
// gets a session of its own, the null device as its standard input and
// output (or, for a stream bot, a line to the referee each way), its limits,
// and dies with the referee; ending the run kills its whole process group,
// and what left the group and was handed back to the referee is ended too.
// In a box, the box's launcher starts it and ends everything it started.
class BotProcess {
public:
    struct Options {
        int workDirFd = -1;          // -1: the referee's working directory (plain only)
        BotLog* log = nullptr;       // its standard error; null: the null device
        std::chrono::milliseconds finishLimit{3000}; // the player sets its move's time
        BotLimits limits;
        BotGroups* groups = nullptr; // required: told of the bot while it runs
        Box* box = nullptr;          // where it runs; null: plain
        bool streams = false;        // standard input and output connected to the referee
        // A stream bot's line that the player takes as its answer; any other
        // is chatter. None: every line answers.
        std::function<bool(const std::string&)> isAnswer;
        // The longest line a stream bot may write, line end left out.
        std::size_t lineCap = 4096;
        // Its whole environment, "NAME=VALUE"; empty: the referee's. A bare
        // program name is looked up in its PATH. (A boxed bot's is its box's.)
        std::vector<std::string> environment;
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
    bool running() const { return pid_ >= 0 || boxed_; }
    // Writes `text` to the bot's input and reads its answer: the first whole
    // line it writes after `text` is written that holds a move and nothing
    // else (without the line end), within `limit`, while its
    // standard error goes to the log. What it wrote before is not an answer
    // to this text and is dropped; lines without a move are chatter, counted
    // and passed over.
    Exchange exchange(const std::string& text, std::chrono::milliseconds limit, std::string& line);
    // The chatter of the last exchange: how many lines, and the last one.
    int chatterLines() const { return chatterLines_; }
    const std::string& lastChatter() const { return lastChatter_; }
    // A boxed bot gets no processor time between its moves.
    void pause();
    void resume();
    // Closes the bot's input, gives it `grace` to end, then ends everything
    // it started; how it ended, as run() tells it.
    BotRunResult finish(std::chrono::milliseconds grace);

private:
    bool startPlain(const std::vector<std::string>& argv, int in, int out, int err, std::string& error);
    // Drains the log, ends the group and whatever escaped, and tells how the
    // bot ended.
    BotRunResult end();
    bool waitForExit(std::chrono::milliseconds limit, BotLog* log);
    void drainLog(BotLog* log);
    // Drops what the bot wrote before its board; false when its output closed.
    bool dropPending();
    // Kills whatever is left of the bot and reaps it.
    void endGroup();
    void endInBox();
    void endPlain();

    int pid_ = -1;
    bool boxed_ = false;
    int pidfd_ = -1;
    int errPipe_ = -1;
    int input_ = -1;  // a stream bot's standard input, our end
    int output_ = -1; // its standard output, our end
    Options options_;
    BotGroups* groups_ = nullptr;
    int status_ = 0;
    int startError_ = 0; // a boxed bot that could not start: why
    long peakKiB_ = 0;
    double cpuSeconds_ = 0;
    BoxLimit boxLimit_ = BoxLimit::None;
    long refusedCall_ = -1;
    int chatterLines_ = 0;
    std::string lastChatter_;
};

} // namespace vorlen
