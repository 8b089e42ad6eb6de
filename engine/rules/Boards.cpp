#include "Boards.h"

#include "MapText.h"

#include <cassert>

namespace vorlen {
namespace {

// SplitMix64: tiny, well mixed and defined the same everywhere.
std::uint64_t splitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
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

DrawnBoards::DrawnBoards()
{
    // rand() without srand() is seeded with 1, in a state of this size.
    initstate_r(1, state_, sizeof state_, &data_);
}

Field DrawnBoards::next()
{
    ++next_;
    Field field = makeField(kBoardRows, kBoardColumns);
    fillRandom(field, [this] {
        std::int32_t value = 0;
        random_r(&data_, &value);
        return static_cast<int>(value);
    });
    return field;
}

Field DrawnBoards::at(int index)
{
    assert(index >= next_);
    for (; next_ < index; ++next_) {
        for (int cell = 0; cell < kBoardCells; ++cell) {
            std::int32_t dropped = 0;
            random_r(&data_, &dropped);
        }
    }
    return next();
}

std::string seedLabel(std::uint64_t seed, int index)
{
    return "seed:" + std::to_string(seed) + ":" + std::to_string(index);
}

std::string drawLabel(int index) { return "rand:" + std::to_string(index); }

} // namespace vorlen
