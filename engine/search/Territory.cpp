#include "Territory.h"

namespace vorlen {

Territory territory(const BitBoard& board)
{
    // A free cell keeps its colour until a region takes it, so the links
    // between free cells hold for every round.
    const ColourLinks links = colourLinks(board.planes());
    std::array<BitPlane, 2> held{board.region(0), board.region(1)};
    BitPlane open = boardMasks().cells;
    open.remove(held[0]);
    open.remove(held[1]);
    Territory result;
    std::array<bool, 2> growing{true, true};
    while (growing[0] || growing[1]) {
        std::array<BitPlane, 2> grown;
        for (std::size_t seat = 0; seat < 2; ++seat)
            if (growing[seat])
                grown[seat] = spread(dilated(held[seat]), links, open);
        BitPlane both = grown[0];
        both &= grown[1];
        for (std::size_t seat = 0; seat < 2; ++seat) {
            open.remove(grown[seat]);
            grown[seat].remove(both);
            growing[seat] = !grown[seat].empty();
            held[seat] |= grown[seat];
            result.rounds[seat] += growing[seat] ? 1 : 0;
        }
    }
    result.cells = {held[0].count(), held[1].count()};
    return result;
}

} // namespace vorlen
