#pragma once

#include "Ratings.h"
#include "Tally.h"

#include <string>

namespace vorlen::match {

// The likelihood that `a` is the stronger of two players in a tournament,
// by the one formula a two-player run prints: the sign-flip test's mid-p on
// their own results (board pairs where they have some, else matches).
// Players that never met are compared through the ratings (the normal
// chance of their difference), and `fromRatings` says so.
struct PairingLikelihood {
    double value;
    bool fromRatings;
};
PairingLikelihood pairingLikelihood(const Tally& tally, const Ratings& ratings, const std::string& a, int i,
                                    const std::string& b, int j);

} // namespace vorlen::match
