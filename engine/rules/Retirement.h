#pragma once

#include "MoveResult.h"

#include <string>
#include <string_view>

namespace vorlen {

// Why the referee took a seat out of the match.
enum class RetireReason {
    None,
    ColourOutOfRange, // the move was not a colour 1 to 6
    IllegalColour,    // the mover's own or the opponent's colour
    FullBoard,        // the two regions covered the board after this seat's turn
    Stall,            // eight turns in a row left both scores as they were
};

struct Retirement {
    RetireReason reason = RetireReason::None;
    int turn = -1; // the turn number passed to makeTurn
    int move = 0;  // the value the player answered, for the two move reasons
};

const char* reasonName(RetireReason reason);

// Why a seat was retired, in a bot writer's words: the referee's reason, made
// precise by how the seat's last move went when it named no colour (a time
// limit, a crash...). Empty when the seat was never retired.
std::string retirementText(const Retirement& retirement, const MoveResult& lastMove);

// Whether a reason, as records and replays write it, is the game's own end
// of a seat's match (the board full, play stalled) rather than a failure.
bool isGameEnd(std::string_view reason);

// Whether `text` is a reason the referee writes for a seat retired for
// `reason`: the game's ends and a refused colour have one wording each; a move
// that named no colour may carry any failure the referee reports instead.
bool reasonFits(RetireReason reason, std::string_view text);

} // namespace vorlen
