#pragma once

#include <QColor>

// One colour a seat, wherever a seat is marked (its name in the players
// panel, its line in the score chart), whatever colour its region has: the
// match pages use the same two.
inline QColor seatMarkColour(int seat) { return seat == 0 ? QColor(200, 40, 40) : QColor(40, 70, 200); }
