#pragma once

#include "Field.h"
#include "SeatFiles.h"

#include <optional>
#include <string>

namespace vorlen {

// A board to ask one move on, as its seat sees it (the second seat's
// turned, as the referee turns it), and what a replay says of that move.
struct MovePosition {
    Field seen;
    int seat = 0;
    int turn = 0;                 // the referee's turn; 0 for a board given alone
    std::optional<int> recorded;  // the answer the replay kept, when it kept one
    std::string label;            // "turn 89 of game-3.json, seat 2"
    std::string player;           // a replay's: the seat's player as it ran
    std::optional<SeatFiles> seatFiles; // a replay's: the seat folder as that move found it
};

// Reads a position: "REPLAY@K", the move of turn K (numbered from 0) by the
// seat whose turn it was; "seed:S:K", board K of seed S; "map:FILE", a whole
// map; "input:FILE", a board as "vorla.in" holds it (already as its seat
// sees it). `seat` (0 or 1) chooses the seat where the position does not;
// for a replay it must be the seat to move. None, with why, otherwise.
struct ReplayPosition;
struct Replay;
// The same for a replay at hand: the move of turn `at.turns` (from 0), by
// the seat whose turn it was, labelled with `at.path`.
std::optional<MovePosition> movePositionIn(const Replay& replay, const ReplayPosition& at, std::optional<int> seat,
                                           std::string& error);

std::optional<MovePosition> readMovePosition(const std::string& text, std::optional<int> seat, std::string& error);

} // namespace vorlen
