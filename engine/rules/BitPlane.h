#pragma once

#include "Field.h"

#include <array>
#include <bit>
#include <cstdint>

namespace vorlen {

// One bit a cell of the 41 x 45 board, in reading order (cell = row * 45 +
// column), 29 words of 64 bits; the 11 bits past the last cell stay 0.
struct BitPlane {
    static constexpr int kWords = (kBoardCells + 63) / 64;
    std::array<std::uint64_t, kWords> words{};

    bool test(int cell) const { return (words[static_cast<std::size_t>(cell >> 6)] >> (cell & 63)) & 1U; }
    void set(int cell) { words[static_cast<std::size_t>(cell >> 6)] |= std::uint64_t{1} << (cell & 63); }
    int count() const
    {
        int total = 0;
        for (const std::uint64_t word : words)
            total += std::popcount(word);
        return total;
    }
    bool empty() const
    {
        std::uint64_t any = 0;
        for (const std::uint64_t word : words)
            any |= word;
        return any == 0;
    }
    bool operator==(const BitPlane&) const = default;

    BitPlane& operator|=(const BitPlane& other)
    {
        for (int i = 0; i < kWords; ++i)
            words[i] |= other.words[i];
        return *this;
    }
    BitPlane& operator&=(const BitPlane& other)
    {
        for (int i = 0; i < kWords; ++i)
            words[i] &= other.words[i];
        return *this;
    }
    // Keeps what `other` does not hold.
    BitPlane& remove(const BitPlane& other)
    {
        for (int i = 0; i < kWords; ++i)
            words[i] &= ~other.words[i];
        return *this;
    }
};

// The planes that bound a step: the board's cells, and those of its first
// and last column (a step sideways must not wrap into the next row).
struct BoardMasks {
    BitPlane cells;
    BitPlane notFirstColumn;
    BitPlane notLastColumn;
    BoardMasks();
};
const BoardMasks& boardMasks();

// `plane` with every cell that touches one of it (sideways or up and down)
// added: one step of a flood, on the board.
BitPlane dilated(const BitPlane& plane);

// The plane turned by 180 degrees: cell i becomes cell 1844 - i.
BitPlane turned(const BitPlane& plane);

// The cells of `allowed` that `seed`'s cells of `allowed` reach through
// `allowed`: the flood of seed within allowed, by repeated dilation.
BitPlane flooded(BitPlane seed, const BitPlane& allowed);

// Which cells share a colour with the cell to their right, and with the one
// below: bit i of `right` joins cells i and i + 1, of `down` i and i + 45.
struct ColourLinks {
    BitPlane right;
    BitPlane down;
};
ColourLinks colourLinks(const std::array<BitPlane, kColourCount>& planes);

// The cells of `allowed` that `seed`'s cells of `allowed` reach through
// `allowed` by links alone: the whole of every piece of one colour that
// seed touches, for all colours at once.
BitPlane spread(BitPlane seed, const ColourLinks& links, const BitPlane& allowed);

} // namespace vorlen
