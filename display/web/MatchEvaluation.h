#pragma once

#include "Replay.h"

#include <string>
#include <vector>

namespace vorlen {

// What the search player of `level` makes of every position of a replay,
// from the start to after its last turn: the seat to move, its move, its
// lead in cells (to a tenth) and whether it is decided, the first seat's
// part of the bar and the words, as one JSON array of [seat, colour, lead,
// decided, share, words] a position. An empty text when the replay does not
// play through.
std::string matchEvaluationJson(const Replay& replay, int level);

} // namespace vorlen
