#include "Elo.h"

#include "Superiority.h"

#include <cmath>
#include <limits>

namespace vorlen::match {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
// Normalised Elo per unit of the score's t-value: 800 / ln 10, so that
// without draws it matches the Elo difference near an even score.
const double kNEloPerUnit = 800.0 / std::log(10.0);

// The normalised Elo t = (m - 1/2) / s (s a sample's spread) with its 95 %
// interval by the delta method, the spread's own uncertainty included:
// Var(t) = (1 - t mu3 / s^3 + t^2 (mu4 / s^4 - 1) / 4) / N, mu3 and mu4 the
// third and fourth central moments, taken (as t there) with half a sample at
// each end of the scale. In nElo units: times 800 / ln 10 / sqrt(games a
// sample). bench/nelo_coverage.cpp measures its coverage.
template <std::size_t N>
std::array<double, 3> nEloWithInterval(const std::array<Count, N>& counts, const std::array<double, N>& scores,
                                       double mean, double variance, Count n, int gamesPerSample)
{
    if (!(variance > 0))
        return {kNaN, kNaN, kNaN};
    const double t = (mean - 0.5) / std::sqrt(variance);
    // The interval's width from moments with half a sample added at each end
    // of the scale, as the Elo interval's: a few samples bunched at one end
    // would otherwise promise a precision they do not have.
    const double total = n + 1.0;
    double priorMean = 0.5 / total;
    for (std::size_t i = 0; i < N; ++i)
        priorMean += counts[i] * scores[i] / total;
    double second = 0;
    double third = 0;
    double fourth = 0;
    const auto add = [&](double weight, double score) {
        const double off = score - priorMean;
        second += weight * off * off / total;
        third += weight * off * off * off / total;
        fourth += weight * off * off * off * off / total;
    };
    add(0.5, 0.0);
    add(0.5, 1.0);
    for (std::size_t i = 0; i < N; ++i)
        add(static_cast<double>(counts[i]), scores[i]);
    const double spread = std::sqrt(second);
    const double tPrior = (priorMean - 0.5) / spread;
    const double varianceOfT =
        std::max(0.0, 1 - tPrior * third / (second * spread) + tPrior * tPrior * (fourth / (second * second) - 1) / 4) / n;
    const double scale = kNEloPerUnit / std::sqrt(static_cast<double>(gamesPerSample));
    const double half = kZ95 * std::sqrt(varianceOfT);
    return {t * scale, (t - half) * scale, (t + half) * scale};
}

} // namespace

double eloOf(double score)
{
    if (score <= 0.0)
        return -std::numeric_limits<double>::infinity();
    if (score >= 1.0)
        return std::numeric_limits<double>::infinity();
    return -400.0 * std::log10(1.0 / score - 1.0);
}

double scoreOf(double elo) { return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0)); }

double normalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

std::pair<double, double> wilsonInterval(double score, double games)
{
    if (!(games > 0))
        return {0.0, 1.0};
    const double z2 = kZ95 * kZ95;
    const double centre = (score + z2 / (2 * games)) / (1 + z2 / games);
    const double half = kZ95 / (1 + z2 / games) * std::sqrt(score * (1 - score) / games + z2 / (4 * games * games));
    // At a score of 0 or 1 the bound on that side is the score itself, not a hair off it.
    return {score <= 0 ? 0.0 : std::max(0.0, centre - half), score >= 1 ? 1.0 : std::min(1.0, centre + half)};
}

std::pair<double, double> eloInterval(double score, double games)
{
    const auto [low, high] = wilsonInterval(score, games);
    return {eloOf(low), eloOf(high)};
}

template <std::size_t N>
ScoreMoments momentsOf(const std::array<Count, N>& counts, const std::array<double, N>& scores)
{
    Count n = 0;
    double sum = 0;
    for (std::size_t i = 0; i < N; ++i) {
        n += counts[i];
        sum += counts[i] * scores[i];
    }
    if (n == 0)
        return {kNaN, kNaN, 0};
    const double mean = sum / n;
    double variance = 0;
    for (std::size_t i = 0; i < N; ++i)
        variance += counts[i] * (scores[i] - mean) * (scores[i] - mean);
    return {mean, variance / n, n};
}

template <std::size_t N>
double effectiveGames(const std::array<Count, N>& counts, const std::array<double, N>& scores)
{
    double n = 0;
    double sum = 0;
    double squares = 0;
    for (std::size_t i = 0; i < N; ++i) {
        n += counts[i];
        sum += counts[i] * scores[i];
        squares += counts[i] * scores[i] * scores[i];
    }
    // Half a sample at 0 and half at 1.
    const double total = n + 1;
    const double mean = (sum + 0.5) / total;
    const double variance = (squares + 0.5) / total - mean * mean;
    return n * mean * (1 - mean) / variance;
}

template <std::size_t N>
EloEstimate estimateEloFrom(const std::array<Count, N>& counts, const std::array<double, N>& scores, int gamesPerSample)
{
    const auto [mean, variance, n] = momentsOf(counts, scores);
    if (n == 0)
        return {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, 0, false};
    // Each score leans off an even one by whole steps: -1, 0, +1 for matches, -2 .. +2 for pairs.
    Count lean = 0;
    std::array<Count, 3> byStep{}; // samples leaning 0, 1 and 2 steps either way
    for (std::size_t i = 0; i < N; ++i) {
        const Count step = static_cast<Count>(i) - static_cast<Count>(N - 1) / 2;
        lean += counts[i] * step;
        byStep[static_cast<std::size_t>(step < 0 ? -step : step)] += counts[i];
    }
    const auto [low, high] = wilsonInterval(mean, effectiveGames(counts, scores));
    const double los = likelihoodOfSuperiority(byStep[1], byStep[2], lean);
    const auto [nElo, nEloLow, nEloHigh] = nEloWithInterval(counts, scores, mean, variance, n, gamesPerSample);
    return {eloOf(mean), eloOf(low), eloOf(high), los, nElo, nEloLow, nEloHigh, n, variance == 0};
}

template ScoreMoments momentsOf<3>(const std::array<Count, 3>&, const std::array<double, 3>&);
template ScoreMoments momentsOf<5>(const std::array<Count, 5>&, const std::array<double, 5>&);
template double effectiveGames<3>(const std::array<Count, 3>&, const std::array<double, 3>&);
template double effectiveGames<5>(const std::array<Count, 5>&, const std::array<double, 5>&);
template EloEstimate estimateEloFrom<3>(const std::array<Count, 3>&, const std::array<double, 3>&, int);
template EloEstimate estimateEloFrom<5>(const std::array<Count, 5>&, const std::array<double, 5>&, int);

EloEstimate estimateElo(Count wins, Count draws, Count losses)
{
    return estimateEloFrom<3>({losses, draws, wins}, kMatchScores, 1);
}

EloEstimate estimateEloOfPairs(const std::array<Count, 5>& pairsByPoints)
{
    return estimateEloFrom<5>(pairsByPoints, kPairScores, 2);
}

} // namespace vorlen::match
