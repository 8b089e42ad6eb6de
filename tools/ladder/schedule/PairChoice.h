#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace vorlen::ladder {

// A version that plays, as the scheduler weighs it.
struct Entrant {
    std::int64_t version = 0;
    long long matches = 0; // it has played
    double rating = 0;     // Elo; 0 until it can be rated
    double spread = 0;     // its 95 % interval's width; infinite until it can be rated
};

// Below this many matches a version is new: it plays before anyone else.
inline constexpr long long kSettlingMatches = 20;

using PairCounts = std::map<std::pair<std::int64_t, std::int64_t>, int>; // smaller id first

// The next pair to play, where it tells most: a new version first (the one
// with fewest matches), else the one whose rating is least certain; its
// opponent the one nearest its rating, less so the more often they have
// met already. The focus sits first; both seatings are played anyway.
// None with fewer than two entrants. Ties go to the older version.
std::optional<std::pair<std::int64_t, std::int64_t>> choosePair(const std::vector<Entrant>& entrants,
                                                                 const PairCounts& met);

} // namespace vorlen::ladder
