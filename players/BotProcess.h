#pragma once

#include "BotGroups.h"

#include <chrono>
#include <string>
#include <vector>

namespace vorlen {

// How one run of a bot program ended.
struct BotRunResult {
    enum class Status { Finished, FailedToStart, TimedOut };
    Status status = Status::FailedToStart;
    std::string message; // why it failed to start, or how it ended
};

// One run of an untrusted program. The program gets a process group of its
// own, the null device as its standard input and output (nothing it prints
// is held in memory), and dies with the referee. Whatever happens, ending the
// run kills the whole group, so no child of the bot outlives its move.
class BotProcess {
public:
    struct Options {
        std::string workDir;     // empty: the referee's working directory
        std::string stderrPath;  // appended to; empty: the null device
        std::chrono::milliseconds finishLimit{3000};
        BotGroups* groups = nullptr; // told of the bot's group while it runs
    };

    BotProcess() = default;
    ~BotProcess();
    BotProcess(const BotProcess&) = delete;
    BotProcess& operator=(const BotProcess&) = delete;

    // Starts the program, waits for it within the limit and ends its group.
    BotRunResult run(const std::vector<std::string>& argv, const Options& options);

private:
    bool start(const std::vector<std::string>& argv, const Options& options, std::string& error);
    bool waitForExit(std::chrono::milliseconds limit);
    std::string reap();
    // Kills whatever is left of the group and reaps the leader: how it ended.
    std::string endGroup();

    int pid_ = -1;
    int pidfd_ = -1;
    BotGroups* groups_ = nullptr;
};

} // namespace vorlen
