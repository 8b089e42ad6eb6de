#include "strategy.h"

namespace starter {

int choose(const Board& board)
{
    int best = 0;
    std::size_t bestSize = 0;
    for (const int colour : legalColours(board)) {
        const std::size_t size = regionOf(play(board, colour), 0).size();
        if (best == 0 || size > bestSize) {
            best = colour;
            bestSize = size;
        }
    }
    return best;
}

} // namespace starter
