#include "SearchLevels.h"

#include <array>

namespace vorlen {

SearchDepth searchDepthOf(int level)
{
    // Measured against each other (the bot guide): the regions alone three
    // and five moves deep, then what each seat reaches first, one, three
    // and seven moves deep. Odd depths end on the mover's own move, which
    // weighs its choices evenly; even ones gain little over the odd below.
    // The deepest has a budget of positions, a tenth of the move time here
    // at most: a move never comes near the limit.
    static constexpr std::array<SearchDepth, kSearchSeatLevels> levels{{
        {3, Weighing::Regions, 0},
        {5, Weighing::Regions, 0},
        {1, Weighing::Territory, 0},
        {3, Weighing::Territory, 0},
        {7, Weighing::Territory, 8'000},
    }};
    const int index = level < 1 ? 0 : (level > kSearchSeatLevels ? kSearchSeatLevels - 1 : level - 1);
    return levels[static_cast<std::size_t>(index)];
}

} // namespace vorlen
