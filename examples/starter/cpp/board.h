// The game's rules, as a bot needs them: the board as vorla.in holds it, the
// colours the mover may play, and what a move gains.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace starter {

constexpr int kRows = 41;
constexpr int kColumns = 45;

// Seen from the mover's side: its home is the top-left cell, its
// opponent's the bottom-right one.
struct Board {
    std::vector<int> cells; // row by row, colours 1 to 6

    int at(int row, int column) const { return cells[row * kColumns + column]; }
    int own() const { return cells.front(); }
    int opponent() const { return cells.back(); }
};

// Reads 41 lines of 45 digits; false at the end of the input or on a bad board.
bool readBoard(std::istream& in, Board& board);

// Every colour but the mover's and its opponent's.
std::vector<int> legalColours(const Board& board);

// The cells of the region around `start` (an index into cells).
std::vector<int> regionOf(const Board& board, int start);

// The board after the mover recolours its region to `colour`.
Board play(const Board& board, int colour);

} // namespace starter
