#pragma once

#include "CommandOutcome.h"
#include "LadderPaths.h"
#include "LadderStore.h"

#include <climits>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::ladder {

// A subcommand's words after its name, the ladder it works on, and what it
// says.
struct CommandCall {
    std::vector<std::string> args;
    LadderPaths ladder;
    std::string now;
    CommandOutcome outcome;
    // A long command's lines as they come; none: kept in `outcome.out`.
    std::function<void(const std::string&)> say;
    // Set by a signal that stops a long command; none: it is never stopped.
    const volatile std::sig_atomic_t* interrupted = nullptr;

    CommandOutcome refuse(const std::string& why)
    {
        outcome.code = 2;
        outcome.err += "vorlen-ladder: " + why + "\n";
        return outcome;
    }
    CommandOutcome fail(const std::string& why)
    {
        outcome.code = 1;
        outcome.err += "vorlen-ladder: " + why + "\n";
        return outcome;
    }
};

// Takes `NAME VALUE` out of the words, leaving `value` as it was when the
// option is absent; false when its value is missing.
bool takeOption(std::vector<std::string>& words, const std::string& name, std::string& value);

// A whole number from `least` to `most` as an option's value; none when it is not.
std::optional<long long> countOf(const std::string& text, long long least, long long most = LLONG_MAX);

// A match as the lists show it: "ID  WHEN  FIRST SCORE - SCORE SECOND".
std::string matchLine(const MatchRow& row);

CommandOutcome initLadder(CommandCall& call);
CommandOutcome addVersion(CommandCall& call, LadderStore& store);
CommandOutcome showBot(CommandCall& call, LadderStore& store);
CommandOutcome retireBot(CommandCall& call, LadderStore& store);
CommandOutcome showStandings(CommandCall& call, LadderStore& store);
CommandOutcome listMatches(CommandCall& call, LadderStore& store);
CommandOutcome runLadder(CommandCall& call, LadderStore& store);
CommandOutcome playPairCommand(CommandCall& call, LadderStore& store);
CommandOutcome serveLadder(CommandCall& call, LadderStore& store);
CommandOutcome adminCommand(CommandCall& call, LadderStore& store);

} // namespace vorlen::ladder
