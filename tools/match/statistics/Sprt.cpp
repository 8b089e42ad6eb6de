#include "Sprt.h"

#include "Elo.h"

#include <cmath>

namespace vorlen::match {
namespace {

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
    return static_cast<double>(samples) * (s1 - s0) * (2 * mean - s0 - s1) / (2 * variance);
}

} // namespace

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
