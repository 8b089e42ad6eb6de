#pragma once

#include "CommandOutcome.h"
#include "LadderPaths.h"
#include "LadderStore.h"

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

CommandOutcome initLadder(CommandCall& call);
CommandOutcome addVersion(CommandCall& call, LadderStore& store);
CommandOutcome showBot(CommandCall& call, LadderStore& store);
CommandOutcome retireBot(CommandCall& call, LadderStore& store);
CommandOutcome showStandings(CommandCall& call, LadderStore& store);
CommandOutcome listMatches(CommandCall& call, LadderStore& store);

// "NAME.vN": how the ladder names a version as a player.
std::string versionName(const VersionRow& version);

} // namespace vorlen::ladder
