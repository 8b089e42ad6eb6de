#pragma once

#include "Field.h"
#include "PaddedGrid.h"
#include "VisitedGrid.h"

#include <vector>

namespace vorlen {

// Recolours the region of (row, column) to `colour`. With oldColour -1 the
// region's colour is taken from the start cell; otherwise nothing happens
// unless the start cell has oldColour. Painting a region the colour it
// already has changes nothing. A start outside the board changes nothing.
void floodFill(Field& field, int colour, int oldColour, int row, int column);

// Counts and marks the unmarked cells of the region of (row, column). With a
// colour other than -1, a start cell of another colour counts 0 and is not
// marked. A start outside the board counts 0.
int regionSize(const Field& field, VisitedGrid& visited, int row, int column, int colour);

// Sizes of the regions of the top-left and of the bottom-right cell. When
// both corners lie in one region its cells count for the first player only.
ScorePair computeScore(const Field& field);
// The same, reusing the buffers of `scratch` (it is called every turn).
ScorePair computeScore(const Field& field, PaddedGrid& scratch);

// Whether the mover (top-left) may play `colour`: one of the six, neither
// its own nor its opponent's (bottom-right).
bool isLegalColour(const Field& field, int colour);
// The colours the mover may play, lowest first.
std::vector<int> legalColours(const Field& field);

// A seat's move on the board as cells: where `colour` is legal, the region
// of the seat's corner (0: top-left, 1: bottom-right) recoloured to it.
// Whether it was legal.
bool playColour(Field& field, int seat, int colour);

// Turns the board by 180 degrees in place; its own inverse.
void rotateField(Field& field);

} // namespace vorlen
