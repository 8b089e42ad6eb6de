#include "BitPlane.h"

namespace vorlen {
namespace {

constexpr int kWords = BitPlane::kWords;

// Bit i of the result is bit i - n of `plane` (toward later cells), 0 < n < 64.
[[gnu::always_inline]] inline BitPlane shiftedUp(const BitPlane& plane, int n)
{
    BitPlane out;
    out.words[0] = plane.words[0] << n;
    for (int i = 1; i < kWords; ++i)
        out.words[i] = (plane.words[i] << n) | (plane.words[i - 1] >> (64 - n));
    return out;
}

// Bit i of the result is bit i + n of `plane`, 0 < n < 64.
[[gnu::always_inline]] inline BitPlane shiftedDown(const BitPlane& plane, int n)
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

// Made for AVX2 as well as for any x86-64, the one chosen at run time:
// whole planes in four-word steps where the processor has them.
#ifndef __has_feature
#define __has_feature(feature) 0
#endif
#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
#define VORLEN_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VORLEN_VECTOR_CLONES
#endif

namespace {

// Inlined into each clone, so that each is made for its processor.
[[gnu::always_inline]] inline BitPlane grown(const BitPlane& plane, const BoardMasks& masks)
{
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

} // namespace

VORLEN_VECTOR_CLONES BitPlane dilated(const BitPlane& plane) { return grown(plane, boardMasks()); }

VORLEN_VECTOR_CLONES BitPlane flooded(BitPlane seed, const BitPlane& allowed)
{
    const BoardMasks& masks = boardMasks();
    seed &= allowed;
    for (;;) {
        BitPlane next = grown(seed, masks);
        next &= allowed;
        if (next == seed)
            return seed;
        seed = next;
    }
}

ColourLinks colourLinks(const std::array<BitPlane, kColourCount>& planes)
{
    const BoardMasks& masks = boardMasks();
    ColourLinks links;
    for (const BitPlane& plane : planes) {
        BitPlane right = shiftedDown(plane, 1);
        right &= plane;
        links.right |= right;
        BitPlane down = shiftedDown(plane, kBoardColumns);
        down &= plane;
        links.down |= down;
    }
    links.right &= masks.notLastColumn;
    links.down &= masks.cells;
    return links;
}

VORLEN_VECTOR_CLONES BitPlane spread(BitPlane seed, const ColourLinks& links, const BitPlane& allowed)
{
    seed &= allowed;
    for (;;) {
        BitPlane next = seed;
        BitPlane step = seed;
        step &= links.right;
        next |= shiftedUp(step, 1);
        step = shiftedDown(seed, 1);
        step &= links.right;
        next |= step;
        step = seed;
        step &= links.down;
        next |= shiftedUp(step, kBoardColumns);
        step = shiftedDown(seed, kBoardColumns);
        step &= links.down;
        next |= step;
        next &= allowed;
        if (next == seed)
            return seed;
        seed = next;
    }
}

} // namespace vorlen
