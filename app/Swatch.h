#pragma once

#include "Palette.h"

#include <QColor>
#include <QPixmap>

inline QColor qColour(const vorlen::Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// A small square of a board colour, edged so that yellow shows on white;
// a colour outside 1 to 6 gives an empty square.
QPixmap swatch(const vorlen::Palette& palette, int colour, int size = 14);
