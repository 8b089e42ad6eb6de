#include "PairingLikelihood.h"

#include "Elo.h"

#include <numeric>

namespace vorlen::match {

PairingLikelihood pairingLikelihood(const Tally& tally, const Ratings& ratings, const std::string& a, int i,
                                    const std::string& b, int j)
{
    const std::array<Count, 5> pairs = tally.pairsBetween(a, b);
    if (std::accumulate(pairs.begin(), pairs.end(), Count{0}) > 0)
        return {estimateEloOfPairs(pairs).los, false};
    const Tally::Results met = tally.between(a, b);
    if (met.games() > 0)
        return {estimateElo(met.wins, met.draws, met.losses).los, false};
    return {likelihoodOfSuperiority(ratings, i, j), true};
}

} // namespace vorlen::match
