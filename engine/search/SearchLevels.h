#pragma once

#include "AlphaBeta.h"
#include "SeatPlayer.h"

namespace vorlen {

// How far the built-in search player of `level` looks, and by what it
// weighs: level 1 ("search:1") the weakest, kSearchSeatLevels the strongest.
// Each level beats the one below it, and level 1 the greedy player, by well
// over 100 Elo (the levels' table in the bot guide). A level outside the
// range is taken as the nearest.
SearchDepth searchDepthOf(int level);

} // namespace vorlen
