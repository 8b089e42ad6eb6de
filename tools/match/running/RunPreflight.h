#pragma once

#include "BotGroups.h"
#include "MatchConfig.h"

#include <optional>
#include <string>

namespace vorlen::match {

// Why a run cannot start: a program player that does not answer a first
// board when started once as the run will start it (in its box beside its
// first opponent, with the run's limits), said with the player's name and
// the bot's own last words. None when every program answers.
std::optional<std::string> preflightRun(const MatchConfig& config, BotGroups& groups);

} // namespace vorlen::match
