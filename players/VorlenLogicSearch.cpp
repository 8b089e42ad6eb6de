#include "VorlenLogicSearch.h"

namespace vorlen {

int VorlenLogicSearch::makeMove(const Field& board)
{
    if (!BitBoard::fits(board))
        return 0; // the search knows the standard board alone: no colour
    return searchMove(BitBoard(board), 0, depth_).colour;
}

std::optional<int> VorlenLogicSearch::moveOnBits(const BitBoard& board, int seat)
{
    return searchMove(board, seat, depth_).colour;
}

} // namespace vorlen
