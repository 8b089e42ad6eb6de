#include "Elo.h"

#include <cmath>
#include <limits>

namespace vorlen::match {

double eloOf(double score)
{
    if (score <= 0.0)
        return -std::numeric_limits<double>::infinity();
    if (score >= 1.0)
        return std::numeric_limits<double>::infinity();
    return -400.0 * std::log10(1.0 / score - 1.0);
}

template <std::size_t N>
EloEstimate estimateEloFrom(const std::array<int, N>& counts, const std::array<double, N>& scores)
{
    double n = 0;
    double sum = 0;
    for (std::size_t i = 0; i < N; ++i) {
        n += counts[i];
        sum += counts[i] * scores[i];
    }
    if (n == 0)
        return {std::nan(""), std::nan(""), std::nan("")};
    const double mean = sum / n;
    double variance = 0;
    for (std::size_t i = 0; i < N; ++i)
        variance += counts[i] * (scores[i] - mean) * (scores[i] - mean);
    const double spread = std::sqrt(variance / n / n); // of the mean
    const double margin = 1.959964 * spread;
    // Every sample alike: certain only as far as the samples go.
    const double los = spread > 0 ? 0.5 * std::erfc(-(mean - 0.5) / (spread * std::sqrt(2.0)))
                       : mean > 0.5 ? 1.0
                       : mean < 0.5 ? 0.0
                                    : 0.5;
    const double error = (eloOf(mean + margin) - eloOf(mean - margin)) / 2.0;
    return {eloOf(mean), std::isfinite(error) ? error : std::numeric_limits<double>::infinity(), los};
}

template EloEstimate estimateEloFrom<3>(const std::array<int, 3>&, const std::array<double, 3>&);
template EloEstimate estimateEloFrom<5>(const std::array<int, 5>&, const std::array<double, 5>&);

EloEstimate estimateElo(int wins, int draws, int losses)
{
    return estimateEloFrom<3>({losses, draws, wins}, {0.0, 0.5, 1.0});
}

EloEstimate estimateEloOfPairs(const std::array<int, 5>& pairsByPoints)
{
    return estimateEloFrom<5>(pairsByPoints, {0.0, 0.25, 0.5, 0.75, 1.0});
}

} // namespace vorlen::match
