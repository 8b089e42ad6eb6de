#pragma once

#include "BitBoard.h"

#include <string>

namespace vorlen {

// A position as a search player of one level sees it, for people: its move
// for the seat to move, and how that seat stands.
struct Assessment {
    int colour = 0;    // the move it would play; 0 when there is none
    double lead = 0;   // the cells the mover is ahead by, as the level weighs it (its own region and what it reaches first)
    int decided = 0;   // +1: the mover wins however the other plays, as far as the level looks; -1: it loses; 0: open
    long long nodes = 0;
};

// The assessment of `seat`'s move on `board` by the search player of
// `level` (1 to kSearchSeatLevels).
Assessment assess(const BitBoard& board, int seat, int level);

// The assessment in words, from the mover's side: "plays 3; ahead by 41.5 cells",
// "plays 5; wins", "plays 2; loses".
std::string assessmentText(const Assessment& assessment);

// The first seat's part of a bar that shows how the seats stand, from 0
// to 1, when `seat` was the mover: a half each for a level match, all of it
// for a decided one; a lead of a quarter of the board fills it.
double firstSeatShare(const Assessment& assessment, int seat);

} // namespace vorlen
