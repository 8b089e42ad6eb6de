#pragma once

#include "BitBoard.h"
#include "Field.h"
#include "MoveResult.h"

#include <optional>

namespace vorlen {

// A player: shown the board from its own corner (its home at (0, 0), the
// opponent's at the last cell), it names the colour it plays. Any value
// outside 1 to 6 is a failed move. Only the referee writes `active`.
class IVorlenLogic {
public:
    bool active = true;

    virtual int makeMove(const Field& field) = 0;
    virtual ~IVorlenLogic() = default;

    // The move of the referee's turn `turn`, with how it went. A player that
    // can fail in ways of its own (a program) says why; for the others a
    // colour is all there is.
    virtual MoveResult play(const Field& field, [[maybe_unused]] int turn)
    {
        const int colour = makeMove(field);
        return {colour, isColour(colour) ? Outcome::Answered : Outcome::None, {}, {}, {}, {}};
    }
    // A player that can choose on the board's bit planes, as `seat`, says
    // what it plays; it is then not shown the board as cells (for the second
    // seat, turned), which costs more than its choice. None: show it.
    virtual std::optional<int> moveOnBits([[maybe_unused]] const BitBoard& board, [[maybe_unused]] int seat)
    {
        return std::nullopt;
    }
    // The match is over: a player that keeps something up for it ends it.
    virtual void endMatch() {}
};

} // namespace vorlen
