#pragma once

#include "BitPlane.h"
#include "Field.h"

#include <array>

namespace vorlen {

// The 41 x 45 board as bit planes: one a colour, and each seat's region
// (the cells of its corner's colour joined to its corner) kept as moves are
// made. Seat 0's corner is the top-left cell, seat 1's the bottom-right.
class BitBoard {
public:
    // Whether a board is the size this holds.
    static bool fits(const Field& field);
    // A board that fits, its cells coloured 1 to 6.
    explicit BitBoard(const Field& field);

    Field field() const;
    int colourAt(int cell) const;
    static constexpr int corner(int seat) { return seat == 0 ? 0 : kBoardCells - 1; }

    // Whether `seat` may play `colour`: one of the six, neither its corner's
    // nor the other corner's.
    bool legal(int seat, int colour) const;
    // Recolours the seat's region to `colour`, which then takes in the cells
    // of that colour it touches; its own colour changes nothing.
    void play(int seat, int colour);
    // The board turned by 180 degrees: the seats' corners, and regions,
    // swapped.
    BitBoard turned() const;
    bool operator==(const BitBoard& other) const { return planes_ == other.planes_; }
    // Region sizes, seat 0 first; where both corners lie in one region its
    // cells count for seat 0 alone.
    ScorePair scores() const;
    const BitPlane& region(int seat) const { return regions_[static_cast<std::size_t>(seat)]; }
    const BitPlane& plane(int colour) const { return planes_[static_cast<std::size_t>(colour - 1)]; }
    const std::array<BitPlane, kColourCount>& planes() const { return planes_; }

private:
    BitBoard() = default;
    BitPlane& planeOf(int colour) { return planes_[static_cast<std::size_t>(colour - 1)]; }
    // The seat's region after a move: grown from the last where none of it
    // changed colour, else flooded afresh from the corner.
    void refreshRegion(int seat);

    std::array<BitPlane, kColourCount> planes_{};
    std::array<BitPlane, 2> regions_{};
};

} // namespace vorlen
