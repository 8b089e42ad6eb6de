#include "Greedy.h"

#include "Rules.h"

#include <array>
#include <cassert>

namespace vorlen {

int GreedyChooser::choose(const Field& board)
{
    if (board.empty() || board.front().empty())
        return 0;
    grid.load(board);

    edge.clear();
    grid.flood(grid.index(0, 0), PaddedGrid::Region, [this](int cell) {
        if (!(grid.marks(cell) & PaddedGrid::Border))
            edge.push_back(cell);
    });

    // The gain of a colour is the total size of its pieces that touch the
    // region. Visited marks are shared, so a piece touching at many cells
    // counts once, and the order of the edge cells does not matter.
    std::array<int, kColourCount> gain{};
    for (const int cell : edge) {
        if (grid.marks(cell) & PaddedGrid::Visited)
            continue;
        assert(isColour(grid.colour(cell)));
        gain[grid.colour(cell) - 1] += grid.flood(cell, PaddedGrid::Visited);
    }

    int best = 0;
    for (const int colour : legalColours(board))
        if (best == 0 || gain[colour - 1] > gain[best - 1])
            best = colour;
    return best;
}

std::array<int, kColourCount> colourGains(const BitBoard& board, int seat)
{
    BitPlane border = dilated(board.region(seat));
    border.remove(board.region(seat));
    std::array<int, kColourCount> gains{};
    for (int colour = 1; colour <= kColourCount; ++colour) {
        int& gain = gains[static_cast<std::size_t>(colour - 1)];
        if (!board.legal(seat, colour)) {
            gain = -1;
            continue;
        }
        BitPlane touching = border;
        touching &= board.plane(colour);
        gain = touching.empty() ? 0 : flooded(touching, board.plane(colour)).count();
    }
    return gains;
}

int greedyColour(const BitBoard& board, int seat)
{
    const std::array<int, kColourCount> gains = colourGains(board, seat);
    int best = 0;
    int bestGain = -1;
    for (int colour = 1; colour <= kColourCount; ++colour)
        if (gains[static_cast<std::size_t>(colour - 1)] > bestGain) {
            best = colour;
            bestGain = gains[static_cast<std::size_t>(colour - 1)];
        }
    return best;
}

} // namespace vorlen
