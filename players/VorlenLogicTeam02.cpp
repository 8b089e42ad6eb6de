#include "VorlenLogicTeam02.h"

#include <typeinfo>

namespace vorlen {

int VorlenLogicTeam02::makeMove(const Field& board) { return chooser.choose(board); }

std::optional<int> VorlenLogicTeam02::moveOnBits(const BitBoard& board, int seat)
{
    if (typeid(*this) != typeid(VorlenLogicTeam02))
        return std::nullopt;
    return greedyColour(board, seat);
}

} // namespace vorlen
