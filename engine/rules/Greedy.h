#pragma once

#include "BitBoard.h"
#include "Field.h"
#include "PaddedGrid.h"

#include <array>
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

// What each colour would add to `seat`'s region this very turn, colour 1
// first: the flood, within its plane, of its cells that touch the region;
// -1 for a colour the seat may not play.
std::array<int, kColourCount> colourGains(const BitBoard& board, int seat);

// The greedy choice for `seat` of a board held as bit planes: the legal
// colour of the largest gain, the lowest among equals; 0 for none.
int greedyColour(const BitBoard& board, int seat);

} // namespace vorlen
