#pragma once

#include "BitBoard.h"

#include <optional>

namespace vorlen {

// What a search weighs a position by, from one seat's side.
enum class Weighing {
    Regions,   // the regions' sizes alone
    Territory, // what each seat reaches first (Territory.h), the regions breaking ties
};

// A position's worth to `seat`, in eighths of a cell: with Territory, eight
// times the difference of the cells each side reaches first plus the
// difference of the regions; with Regions, eight times that of the regions.
// A decided match (a region holding more than half the board, or no cell
// left free) is worth kDecided and more, or as much less, whatever the
// weighing.
int evaluate(const BitBoard& board, int seat, Weighing weighing);

inline constexpr int kCellWorth = 8;
inline constexpr int kDecided = 1'000'000;

// The cells a region needs to have won: more than half the board.
inline constexpr int kWinningCells = kBoardCells / 2 + 1;

// The position's worth if it is decided: kDecided plus the cells it is won
// by for the winner, as much less for the loser; 0 for a drawn end. None
// while it is open.
std::optional<int> decidedWorth(const BitBoard& board, int seat);

} // namespace vorlen
