#pragma once

#include <array>
#include <cstddef>
#include <utility>

namespace vorlen::match {

// A count of games or pairs: a long run's sums outgrow 32 bits.
using Count = long long;

// The normal quantile of a two-sided 95 % interval.
inline constexpr double kZ95 = 1.959964;

// Elo difference of a player over its opponent from its results, its 95 %
// interval and the likelihood of superiority (the chance that it is the
// stronger, 0 to 1).
//
// The interval is Wilson's for the mean score, taken over the samples'
// effective number of win-or-lose games (see effectiveGames), then turned
// into Elo: it stays inside the possible scores, so a bound is infinite only
// when every point went one way, and it keeps a width however evenly the
// samples split. The likelihood of superiority is the sign-flip test's
// mid-p (see Superiority.h): for matches the sign test on wins and losses,
// for board pairs the same on the pairs' points, draws and even pairs saying
// nothing either way. The normalised Elo is the difference in units of one sample's spread
// (see docs); not a number without spread. All are not a number when
// nothing was played.
struct EloEstimate {
    double difference;
    double low;
    double high;
    double los;
    double nElo;
    double nEloLow;
    double nEloHigh;
    Count samples;
    bool noSpread; // every sample scored the same
};

// From samples that each score one of `scores` (counts[i] of scores[i]);
// `gamesPerSample` is 1 for matches and 2 for board pairs, for nElo.
template <std::size_t N>
EloEstimate estimateEloFrom(const std::array<Count, N>& counts, const std::array<double, N>& scores, int gamesPerSample);

// One match a sample: a win 1, a draw 1/2.
EloEstimate estimateElo(Count wins, Count draws, Count losses);
// One board in both seatings a sample, scored 0, 1/4, 1/2, 3/4 or 1 (the
// pair's points over 2): the seats' advantage and the board's own leaning
// cancel within a pair, so the interval is the true one.
EloEstimate estimateEloOfPairs(const std::array<Count, 5>& pairsByPoints);

// How many win-or-lose games the samples are worth: n q(1 - q) / v, with q
// and v their mean and variance after half a sample is added at each end of
// the scale (a weak prior). Exactly n for wins and losses alone; more when
// draws or even pairs narrow the spread; finite when there is none.
template <std::size_t N>
double effectiveGames(const std::array<Count, N>& counts, const std::array<double, N>& scores);

// The mean score and one sample's variance.
struct ScoreMoments {
    double mean;
    double variance;
    Count samples;
};
template <std::size_t N>
ScoreMoments momentsOf(const std::array<Count, N>& counts, const std::array<double, N>& scores);
inline constexpr std::array<double, 3> kMatchScores = {0.0, 0.5, 1.0};
inline constexpr std::array<double, 5> kPairScores = {0.0, 0.25, 0.5, 0.75, 1.0};

// Wilson's 95 % interval of a win-or-lose score over `games` games.
std::pair<double, double> wilsonInterval(double score, double games);
// The same in Elo.
std::pair<double, double> eloInterval(double score, double games);

// The Elo difference of an expected score: +inf at 1, -inf at 0.
double eloOf(double score);
// The expected score of an Elo difference.
double scoreOf(double elo);
// The standard normal distribution function.
double normalCdf(double x);

} // namespace vorlen::match
