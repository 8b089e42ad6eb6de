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

// A finished match; or nothing, when the run was stopped before its end or
// the referee itself failed (`error` then says how).
struct MatchResult {
    std::optional<MatchRecord> record;
    std::string error;
};

// Plays one match to its end. When a program plays, each seat has a
// temporary exchange directory of its own, so neither seat can reach the
// other's files.
MatchResult playMatch(const MatchJob& job, const MatchConfig& config, BotGroups& groups);

} // namespace vorlen::match
