#pragma once

#include "BotGroups.h"
#include "Field.h"
#include "MatchConfig.h"
#include "MatchRecord.h"
#include "Retirement.h"
#include "VorlenLogicTeam01.h"

#include <optional>
#include <string>

namespace vorlen::match {

struct MatchJob {
    int game = 0;
    Field board;
    std::string boardLabel;
    bool swapped = false; // player B in the first seat
};

// Why a seat was retired, in a bot writer's words: the referee's reason, made
// precise by what the external player saw when its move failed.
std::string retirementText(const Retirement& retirement, const VorlenLogicTeam01* external);

// Plays one match to its end, in a temporary directory of its own when a
// program plays. Nothing when the run was stopped before the match ended.
std::optional<MatchRecord> playMatch(const MatchJob& job, const MatchConfig& config,
                                     BotGroups& groups);

} // namespace vorlen::match
