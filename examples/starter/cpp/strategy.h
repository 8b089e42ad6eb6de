// How the starter bot chooses: make this file yours.
#pragma once

#include "board.h"

namespace starter {

// The legal colour that makes the mover's region largest now; the lowest
// colour on a tie.
int choose(const Board& board);

} // namespace starter
