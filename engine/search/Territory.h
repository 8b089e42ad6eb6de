#pragma once

#include "BitBoard.h"

#include <array>

namespace vorlen {

// What each seat would reach first if both kept taking every colour at
// once: a round's growth is the whole of every piece of one colour that
// touches what a seat holds. Both grow a round at a time; a cell both reach
// in the same round is nobody's and stops both. The regions count as
// reached.
struct Territory {
    std::array<int, 2> cells{};  // seat 0 first
    std::array<int, 2> rounds{}; // the rounds in which each seat still grew
};
Territory territory(const BitBoard& board);

} // namespace vorlen
