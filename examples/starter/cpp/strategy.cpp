#include "strategy.h"

namespace starter {
namespace {

// The region after `board`'s move, and the cells each next move could add.
std::size_t withinReach(const Board& board)
{
    const std::size_t region = regionOf(board, 0).size();
    std::size_t reach = region;
    for (const int next : legalColours(board))
        reach += regionOf(play(board, next), 0).size() - region;
    return reach;
}

} // namespace

int choose(const Board& board)
{
    int best = 0;
    std::size_t bestReach = 0;
    for (const int colour : legalColours(board)) {
        const std::size_t reach = withinReach(play(board, colour));
        if (best == 0 || reach > bestReach) {
            best = colour;
            bestReach = reach;
        }
    }
    return best;
}

} // namespace starter
