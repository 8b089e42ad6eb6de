#pragma once

#include "BotProcess.h"
#include "IVorlenLogic.h"
#include "Trace.h"

#include <string>

namespace vorlen {

// A seat played by an external program, started afresh for every move. The
// board goes to "vorla.in", the answer comes back in "vorla.out", both in the
// exchange directory.
class VorlenLogicTeam01 : public IVorlenLogic {
public:
    // How the last move's exchange went, for callers that report reasons.
    enum class Outcome { None, Answered, FailedToStart, TimedOut, NoMove };

    struct Settings {
        std::string exchangeDir;  // empty: the working directory
        std::string stderrPath;   // where the bot's standard error goes; empty: nowhere
        Trace trace;
        BotGroups* groups = nullptr; // where a runner keeps track of running bots
    };

    explicit VorlenLogicTeam01(std::string program);
    VorlenLogicTeam01(std::string program, Settings settings);

    int makeMove(const Field& board) override;

    Outcome lastOutcome() const { return outcome; }
    const std::string& lastDetail() const { return detail; }

private:
    std::string path(const char* name) const;

    std::string program;
    Settings settings;
    Outcome outcome = Outcome::None;
    std::string detail;
};

const char* outcomeName(VorlenLogicTeam01::Outcome outcome);

} // namespace vorlen
