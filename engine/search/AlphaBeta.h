#pragma once

#include "BitBoard.h"
#include "Evaluation.h"

#include <cstdint>

namespace vorlen {

// How far a search looks: `depth` moves of both seats in all (1: the
// mover's own alone), each position at the end weighed as `weighing` says.
// With a budget, the depths of the same parity are searched one after
// another from the shallowest, and a depth whose search would look at more
// positions than `budget` in all is given up for the deepest one done:
// counted, not timed, so the answer stays the same on any machine.
struct SearchDepth {
    int depth = 1;
    Weighing weighing = Weighing::Territory;
    std::int64_t budget = 0; // 0: none
};

struct SearchAnswer {
    int colour = 0;          // the move; 0 when the seat has none
    int worth = 0;           // what the move is worth to the mover, as evaluate() counts
    std::int64_t nodes = 0;  // positions looked at
    int depth = 0;           // the depth the answer comes from
};

// The best move of `seat` by a negamax search with alpha-beta cuts: moves
// tried in the order of what they take at once, most first, then the lowest
// colour; of equal worths the first tried. The same board and depth always
// give the same answer.
SearchAnswer searchMove(const BitBoard& board, int seat, SearchDepth limit);

} // namespace vorlen
