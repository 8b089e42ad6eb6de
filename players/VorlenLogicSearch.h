#pragma once

#include "IVorlenLogic.h"
#include "SearchLevels.h"

namespace vorlen {

// A built-in search player of one level (SearchLevels.h): an alpha-beta
// search over the bit planes. Nothing from one move affects the next, so the
// same position always gets the same move.
class VorlenLogicSearch : public IVorlenLogic {
public:
    explicit VorlenLogicSearch(int level) : depth_(searchDepthOf(level)) {}

    // Shown the board from its own corner: it moves as the first seat.
    int makeMove(const Field& board) override;
    std::optional<int> moveOnBits(const BitBoard& board, int seat) override;

private:
    SearchDepth depth_;
};

} // namespace vorlen
