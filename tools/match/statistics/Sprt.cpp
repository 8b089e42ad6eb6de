#include "Sprt.h"

#include "Elo.h"

#include <cmath>

namespace vorlen::match {
namespace {

// The most likely distribution over the scores with mean `target`, given
// the observed shares `shares`: p_i = shares_i / (1 + l (x_i - target)),
// the l that makes them sum to 1 found by bisection (the sum falls as l
// grows, within the l that keep every p_i positive). Gives log(p_i /
// shares_i) for each score.
template <std::size_t N>
std::array<double, N> constrainedLogRatios(const std::array<double, N>& shares, const std::array<double, N>& scores,
                                           double target)
{
    double low = -1 / (scores.back() - target);
    double high = 1 / (target - scores.front());
    const auto excess = [&](double l) {
        double sum = 0;
        for (std::size_t i = 0; i < N; ++i)
            sum += shares[i] * (scores[i] - target) / (1 + l * (scores[i] - target));
        return sum;
    };
    for (int step = 0; step < 200 && high - low > 1e-14 * (1 + std::fabs(high)); ++step) {
        const double middle = low + (high - low) / 2;
        (excess(middle) > 0 ? low : high) = middle;
    }
    const double l = low + (high - low) / 2;
    std::array<double, N> ratios{};
    for (std::size_t i = 0; i < N; ++i)
        ratios[i] = -std::log1p(l * (scores[i] - target));
    return ratios;
}

template <std::size_t N>
double llrOf(const std::array<Count, N>& counts, const std::array<double, N>& scores, double elo0, double elo1,
             bool normalised, int gamesPerSample)
{
    // Half a sample in every cell (Jeffreys' prior): a few matches, or a run
    // of wins with no spread at all, never decide by themselves.
    constexpr double kPrior = 0.5;
    double total = 0;
    for (const Count count : counts)
        total += static_cast<double>(count) + kPrior;
    double mean = 0;
    for (std::size_t i = 0; i < N; ++i)
        mean += (counts[i] + kPrior) * scores[i];
    mean /= total;
    double variance = 0;
    for (std::size_t i = 0; i < N; ++i)
        variance += (counts[i] + kPrior) * (scores[i] - mean) * (scores[i] - mean);
    variance /= total;
    Count samples = 0;
    for (const Count count : counts)
        samples += count;
    if (samples == 0 || variance <= 0)
        return 0;
    const double s0 = boundScore(elo0, normalised, variance, gamesPerSample);
    const double s1 = boundScore(elo1, normalised, variance, gamesPerSample);
    if (!(s0 > scores.front() && s0 < scores.back() && s1 > scores.front() && s1 < scores.back()))
        return normalLlr(samples, mean, variance, s0, s1);
    // The likelihood of the counts under the most likely distribution with
    // each bound's mean score, over the observed shares with the prior.
    std::array<double, N> shares{};
    for (std::size_t i = 0; i < N; ++i)
        shares[i] = (counts[i] + kPrior) / total;
    const std::array<double, N> at0 = constrainedLogRatios(shares, scores, s0);
    const std::array<double, N> at1 = constrainedLogRatios(shares, scores, s1);
    double llr = 0;
    for (std::size_t i = 0; i < N; ++i)
        llr += static_cast<double>(counts[i]) * (at1[i] - at0[i]);
    return llr;
}

} // namespace

double normalLlr(Count samples, double mean, double variance, double s0, double s1)
{
    return static_cast<double>(samples) * (s1 - s0) * (2 * mean - s0 - s1) / (2 * variance);
}

double boundScore(double elo, bool normalised, double variance, int gamesPerSample)
{
    return normalised ? 0.5 + elo * std::sqrt(gamesPerSample * variance) * std::log(10.0) / 800.0 : scoreOf(elo);
}

double trinomialLlr(const std::array<Count, 3>& lossesDrawsWins, double elo0, double elo1, bool normalised)
{
    return llrOf<3>(lossesDrawsWins, {0.0, 0.5, 1.0}, elo0, elo1, normalised, 1);
}

double pentanomialLlr(const std::array<Count, 5>& pairsByPoints, double elo0, double elo1, bool normalised)
{
    return llrOf<5>(pairsByPoints, {0.0, 0.25, 0.5, 0.75, 1.0}, elo0, elo1, normalised, 2);
}

SprtVerdict verdictOf(double llr, const SprtSettings& settings)
{
    if (llr >= settings.upperBound())
        return SprtVerdict::H1;
    if (llr <= settings.lowerBound())
        return SprtVerdict::H0;
    return SprtVerdict::Open;
}

} // namespace vorlen::match
