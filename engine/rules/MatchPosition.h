#pragma once

#include "Field.h"
#include "Retirement.h"

#include <array>
#include <deque>

namespace vorlen {

// Where a match stands between two turns: everything the referee needs to
// go on from there, and nothing of who plays.
struct MatchPosition {
    Field board;
    int lastSeat = 1;                   // the seat that played last: the first player opens
    std::deque<ScorePair> history;      // the scores of the last turns, for the stall rule
    ScorePair score{0, 0};
    std::array<Retirement, 2> retirements{};
    bool over = false;

    // Whether the seat is still in the match.
    bool active(int seat) const { return retirements.at(static_cast<std::size_t>(seat)).reason == RetireReason::None; }
};

} // namespace vorlen
