#pragma once

#include "PairChoice.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vorlen::ladder {

// Results between two versions, from the first's side, with the boards
// they played in both seatings by the first's points (0, 1/2, 1, 3/2, 2).
struct VersionResults {
    std::int64_t first = 0;
    std::int64_t second = 0;
    long long wins = 0;
    long long draws = 0;
    long long losses = 0;
    std::array<long long, 5> pairs{};
};

// The versions that play as the scheduler weighs them: matches from every
// result, ratings (Bradley-Terry, the field's mean at 0) and their spreads
// from the results between these versions alone.
std::vector<Entrant> entrantsOf(const std::vector<std::int64_t>& versions, const std::vector<VersionResults>& results);

} // namespace vorlen::ladder
