// How the starter bot chooses: make this file yours.
#pragma once

#include "board.h"

namespace starter {

// The legal colour that leaves the most within reach: the mover's region
// after the move, plus what each colour it may play next would add to it.
// The lowest colour on a tie.
int choose(const Board& board);

} // namespace starter
