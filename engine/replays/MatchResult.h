#pragma once

#include "Replay.h"

#include <array>
#include <string>

namespace vorlen {

// How a finished match ended, in one line, with the players as `names`
// calls them: the winner and both scores, and how it ended: each seat's
// failure with its reason ("Both failed: ..." when both did), else the
// game's own end ("stall: no change in 8 turns", "full board"). Empty for an
// unfinished match.
std::string matchResultText(const Replay& replay, const std::array<std::string, 2>& names);

} // namespace vorlen
