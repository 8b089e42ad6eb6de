#include "BitPlane.h"

namespace vorlen {
namespace {

constexpr int kWords = BitPlane::kWords;

// Bit i of the result is bit i - n of `plane` (toward later cells), 0 < n < 64.
BitPlane shiftedUp(const BitPlane& plane, int n)
{
    BitPlane out;
    out.words[0] = plane.words[0] << n;
    for (int i = 1; i < kWords; ++i)
        out.words[i] = (plane.words[i] << n) | (plane.words[i - 1] >> (64 - n));
    return out;
}

// Bit i of the result is bit i + n of `plane`, 0 < n < 64.
BitPlane shiftedDown(const BitPlane& plane, int n)
{
    BitPlane out;
    for (int i = 0; i + 1 < kWords; ++i)
        out.words[i] = (plane.words[i] >> n) | (plane.words[i + 1] << (64 - n));
    out.words[kWords - 1] = plane.words[kWords - 1] >> n;
    return out;
}

std::uint64_t reversedBits(std::uint64_t word)
{
    word = ((word >> 1) & 0x5555555555555555ULL) | ((word & 0x5555555555555555ULL) << 1);
    word = ((word >> 2) & 0x3333333333333333ULL) | ((word & 0x3333333333333333ULL) << 2);
    word = ((word >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((word & 0x0F0F0F0F0F0F0F0FULL) << 4);
    return __builtin_bswap64(word);
}

} // namespace

BitPlane turned(const BitPlane& plane)
{
    // All 29 words reversed put cell i at 1855 - i; the 11 bits past the
    // board then lead, and a shift takes them off.
    BitPlane reversed;
    for (int i = 0; i < kWords; ++i)
        reversed.words[static_cast<std::size_t>(kWords - 1 - i)] = reversedBits(plane.words[static_cast<std::size_t>(i)]);
    return shiftedDown(reversed, kWords * 64 - kBoardCells);
}

BoardMasks::BoardMasks()
{
    for (int cell = 0; cell < kBoardCells; ++cell) {
        cells.set(cell);
        if (cell % kBoardColumns != 0)
            notFirstColumn.set(cell);
        if (cell % kBoardColumns != kBoardColumns - 1)
            notLastColumn.set(cell);
    }
}

const BoardMasks& boardMasks()
{
    static const BoardMasks masks; // constants, made once
    return masks;
}

BitPlane dilated(const BitPlane& plane)
{
    const BoardMasks& masks = boardMasks();
    BitPlane fromLeft = shiftedUp(plane, 1);
    fromLeft &= masks.notFirstColumn;
    BitPlane fromRight = shiftedDown(plane, 1);
    fromRight &= masks.notLastColumn;
    BitPlane out = plane;
    out |= fromLeft;
    out |= fromRight;
    out |= shiftedUp(plane, kBoardColumns);
    out |= shiftedDown(plane, kBoardColumns);
    out &= masks.cells;
    return out;
}

BitPlane flooded(BitPlane seed, const BitPlane& allowed)
{
    seed &= allowed;
    for (;;) {
        BitPlane next = dilated(seed);
        next &= allowed;
        if (next == seed)
            return seed;
        seed = next;
    }
}

} // namespace vorlen
