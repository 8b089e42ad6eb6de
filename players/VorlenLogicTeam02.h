#pragma once

#include "IVorlenLogic.h"
#include "Greedy.h"

namespace vorlen {

// The built-in greedy player: plays the allowed colour that adds the most
// cells to its region this very turn; among equal gains the lowest colour.
// Nothing from one move affects the next; the grid's buffers are only reused
// to spare allocations.
class VorlenLogicTeam02 : public IVorlenLogic {
public:
    int makeMove(const Field& board) override;
    // The same choice, made on the bit planes; not for a player derived
    // from this one, whose makeMove may choose otherwise.
    std::optional<int> moveOnBits(const BitBoard& board, int seat) override;

private:
    GreedyChooser chooser;
};

} // namespace vorlen
