#include "ExactLlr.h"

#include <cmath>

namespace vorlen::match {

double normalLlr(Count samples, double mean, double variance, double s0, double s1)
{
    return static_cast<double>(samples) * (s1 - s0) * (2 * mean - s0 - s1) / (2 * variance);
}

double boundScore(double elo, bool normalised, double variance, int gamesPerSample)
{
    return normalised ? 0.5 + elo * std::sqrt(gamesPerSample * variance) * std::log(10.0) / 800.0 : scoreOf(elo);
}

} // namespace vorlen::match
