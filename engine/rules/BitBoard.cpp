#include "BitBoard.h"

namespace vorlen {

bool BitBoard::fits(const Field& field)
{
    if (rowCount(field) != kBoardRows)
        return false;
    for (const auto& row : field)
        if (static_cast<int>(row.size()) != kBoardColumns)
            return false;
    return true;
}

BitBoard::BitBoard(const Field& field)
{
    for (int row = 0; row < kBoardRows; ++row)
        for (int column = 0; column < kBoardColumns; ++column) {
            const int colour = field[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            if (isColour(colour))
                planeOf(colour).set(row * kBoardColumns + column);
        }
    regions_[0].set(corner(0));
    regions_[1].set(corner(1));
    refreshRegion(0);
    refreshRegion(1);
}

Field BitBoard::field() const
{
    Field board = makeField(kBoardRows, kBoardColumns);
    for (int cell = 0; cell < kBoardCells; ++cell)
        board[static_cast<std::size_t>(cell / kBoardColumns)][static_cast<std::size_t>(cell % kBoardColumns)] =
            colourAt(cell);
    return board;
}

int BitBoard::colourAt(int cell) const
{
    for (int colour = 1; colour <= kColourCount; ++colour)
        if (plane(colour).test(cell))
            return colour;
    return 0;
}

bool BitBoard::legal(int seat, int colour) const
{
    return isColour(colour) && colour != colourAt(corner(seat)) && colour != colourAt(corner(1 - seat));
}

void BitBoard::play(int seat, int colour)
{
    const int own = colourAt(corner(seat));
    if (!isColour(colour) || !isColour(own) || colour == own)
        return;
    BitPlane& region = regions_[static_cast<std::size_t>(seat)];
    planeOf(own).remove(region);
    planeOf(colour) |= region;
    region = flooded(region, plane(colour));
    refreshRegion(1 - seat);
}

void BitBoard::refreshRegion(int seat)
{
    BitPlane& region = regions_[static_cast<std::size_t>(seat)];
    const int colour = colourAt(corner(seat));
    if (!isColour(colour)) {
        region = BitPlane{};
        return;
    }
    BitPlane changed = region;
    changed.remove(plane(colour));
    if (!changed.empty() || !region.test(corner(seat))) {
        region = BitPlane{};
        region.set(corner(seat));
    }
    region = flooded(region, plane(colour));
}

BitBoard BitBoard::turned() const
{
    BitBoard other;
    for (std::size_t colour = 0; colour < planes_.size(); ++colour)
        other.planes_[colour] = vorlen::turned(planes_[colour]);
    other.regions_[0] = vorlen::turned(regions_[1]);
    other.regions_[1] = vorlen::turned(regions_[0]);
    return other;
}

ScorePair BitBoard::scores() const
{
    const int first = regions_[0].count();
    return {first, regions_[0].test(corner(1)) ? 0 : regions_[1].count()};
}

} // namespace vorlen
