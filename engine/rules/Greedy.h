#pragma once

#include "BitBoard.h"
#include "Field.h"
#include "PaddedGrid.h"

#include <vector>

namespace vorlen {

// The built-in player's choice: the legal colour that adds the most cells
// to the mover's (top-left) region this very turn; among equal gains the
// lowest colour; 0 on an empty board. Its buffers are only reused to spare
// allocations: nothing from one choice affects the next.
class GreedyChooser {
public:
    int choose(const Field& board);

private:
    PaddedGrid grid;
    std::vector<int> edge; // cells of other colours that touch the region
};

// The same choice for `seat` of a board held as bit planes: the gain of a
// colour is the flood, within its plane, of its cells that touch the region.
int greedyColour(const BitBoard& board, int seat);

} // namespace vorlen
