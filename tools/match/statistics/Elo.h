#pragma once

#include <array>
#include <cstddef>

namespace vorlen::match {

// Elo difference of a player over its opponent from its results, with the
// half-width of the 95 % confidence interval and the likelihood of
// superiority (the chance that it is the stronger, 0 to 1). The difference
// is infinite when it won or lost every point, the error bar then too; all
// are not a number when nothing was played.
struct EloEstimate {
    double difference;
    double error;
    double los;
};

// From samples that each score one of `scores` (counts[i] of scores[i]):
// the mean score, the spread of one sample's score, and from these the Elo
// difference and its error bar by the normal approximation.
template <std::size_t N>
EloEstimate estimateEloFrom(const std::array<int, N>& counts, const std::array<double, N>& scores);

// One match a sample: a win 1, a draw 1/2.
EloEstimate estimateElo(int wins, int draws, int losses);
// One board in both seatings a sample, scored 0, 1/4, 1/2, 3/4 or 1 (the
// pair's points over 2): the seats' advantage and the board's own leaning
// cancel within a pair, so the error bar is the true one.
EloEstimate estimateEloOfPairs(const std::array<int, 5>& pairsByPoints);

// The Elo difference of an expected score: +inf at 1, -inf at 0.
double eloOf(double score);

} // namespace vorlen::match
