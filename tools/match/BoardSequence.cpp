#include "BoardSequence.h"

#include "MapText.h"

#include <cstdlib>

namespace vorlen::match {
namespace {

// SplitMix64: tiny, well mixed and defined the same everywhere.
std::uint64_t splitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

Field windowBoard()
{
    Field field = makeField(kBoardRows, kBoardColumns);
    fillRandom(field, [] { return std::rand(); });
    return field;
}

} // namespace

Field seededBoard(std::uint64_t seed, int index)
{
    std::uint64_t state = seed;
    state = splitMix(state) ^ static_cast<std::uint64_t>(index);
    Field field = makeField(kBoardRows, kBoardColumns);
    for (auto& row : field)
        for (auto& cell : row)
            cell = static_cast<std::int32_t>(splitMix(state) % kColourCount) + 1;
    return field;
}

BoardSequence::Board BoardSequence::next()
{
    const int index = index_++;
    switch (config_.boards) {
    case BoardMode::Seeded:
        return {seededBoard(config_.seed, index),
                "seed:" + std::to_string(config_.seed) + ":" + std::to_string(index)};
    case BoardMode::Map: {
        Field field = windowBoard();
        readMapText(config_.mapText, field);
        // A short map is topped up by the draw: the label must tell which.
        const bool whole = config_.mapDigits >= kBoardCells;
        return {field, "map:" + config_.mapPath + (whole ? "" : "+rand:" + std::to_string(index))};
    }
    case BoardMode::Window:
        break;
    }
    return {windowBoard(), "rand:" + std::to_string(index)};
}

} // namespace vorlen::match
