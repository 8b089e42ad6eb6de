#pragma once

#include "BotGroups.h"
#include "BotLimits.h"
#include "BotLog.h"
#include "ExchangeFiles.h"
#include "IVorlenLogic.h"
#include "Sandbox.h"
#include "Trace.h"

#include <memory>
#include <optional>
#include <string>

namespace vorlen {

// A seat played by an external program, started afresh for every move. The
// board goes to "vorla.in", the answer comes back in "vorla.out", both in the
// exchange directory.
class VorlenLogicTeam01 : public IVorlenLogic {
public:
    // How the last move's exchange went, for callers that report reasons.
    enum class Outcome {
        None,
        Answered,
        FailedToStart,
        TimedOut,
        NoMove,
        ExchangeFailed, // the exchange files could not be cleared or written
        MemoryLimit,
        CpuLimit,
        FileSizeLimit,
        RefereeError,   // the referee's own failure, not the bot's: its log
    };

    struct Settings {
        std::string exchangeDir;  // empty: the working directory
        std::string stderrPath;   // where the bot's standard error goes; empty: nowhere
        Trace trace;
        BotGroups* groups = nullptr; // where a runner keeps track of running bots
        BotLimits limits;
        // Run every move in a sandbox; its `writableDir` is set to the
        // exchange directory.
        std::optional<SandboxPlan> sandbox;
    };

    explicit VorlenLogicTeam01(std::string program);
    VorlenLogicTeam01(std::string program, Settings settings);

    int makeMove(const Field& board) override;

    Outcome lastOutcome() const { return outcome; }
    const std::string& lastDetail() const { return detail; }

private:
    int fail(Outcome why, std::string what);
    bool prepareExchange(const Field& board);

    std::string program;
    Settings settings;
    Outcome outcome = Outcome::None;
    std::string detail;
    std::unique_ptr<BotGroups> ownGroups;
    ExchangeFiles files;
    BotLog log;
    int moves = 0;
};

const char* outcomeName(VorlenLogicTeam01::Outcome outcome);

} // namespace vorlen
