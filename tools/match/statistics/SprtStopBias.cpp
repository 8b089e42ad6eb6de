#include "SprtStopBias.h"

#include "FixedDraws.h"
#include "Sprt.h"

#include <cmath>
#include <numbers>

namespace vorlen::match {
namespace {

// Standard normal draws (Box-Muller) from fixed uniform ones.
class NormalDraws {
public:
    double next()
    {
        if (spare_) {
            spare_ = false;
            return second_;
        }
        const double u = uniform_.uniform() + 0x1.0p-54; // in (0, 1)
        const double v = uniform_.uniform();
        const double radius = std::sqrt(-2.0 * std::log(u));
        const double angle = 2.0 * std::numbers::pi * v;
        second_ = radius * std::sin(angle);
        spare_ = true;
        return radius * std::cos(angle);
    }

private:
    FixedDraws uniform_{20261209};
    double second_ = 0;
    bool spare_ = false;
};

struct Walk {
    double s0;       // expected score under H0
    double s1;       // under H1
    double variance; // per sample
    double lower;    // the LLR's bounds
    double upper;
    int maxSamples;
};

// The mean score one simulated test stops at, its draws turned by `sign`.
double stoppedMean(double truth, const Walk& walk, NormalDraws& draws, double sign)
{
    const double spread = std::sqrt(walk.variance);
    const double slope = (walk.s1 - walk.s0) / walk.variance;
    const double middle = (walk.s0 + walk.s1) / 2;
    double lean = 0; // S - n middle
    int n = 0;
    while (n < walk.maxSamples) {
        lean += truth - middle + sign * spread * draws.next();
        ++n;
        const double llr = slope * lean;
        if (llr >= walk.upper || llr <= walk.lower)
            break;
    }
    return middle + lean / n;
}

// The mean, over simulated tests with true mean score `truth`, of the mean
// score each test stops at. The ratio is that of the run, taken with a known
// spread: (s1 - s0) (S - n (s0 + s1) / 2) / v after n samples summing to S.
// Tests come in mirrored pairs (the same draws, negated), so that the draws'
// own noise cancels where the test cannot stop early.
double expectedStoppedMean(double truth, const Walk& walk)
{
    NormalDraws draws;
    double total = 0;
    for (int run = 0; run < kStopBiasRuns; run += 2) {
        NormalDraws mirrored = draws;
        total += stoppedMean(truth, walk, draws, 1.0);
        total += stoppedMean(truth, walk, mirrored, -1.0);
    }
    return total / kStopBiasRuns;
}

} // namespace

double biasAdjustedScore(const StopBiasInput& input, const SprtSettings& settings)
{
    if (!(input.variance > 0) || input.samples <= 0 || input.maxSamples <= 0 || !(input.mean > 0 && input.mean < 1))
        return input.mean;
    Walk walk{boundScore(settings.elo0, settings.normalised, input.variance, input.gamesPerSample),
              boundScore(settings.elo1, settings.normalised, input.variance, input.gamesPerSample),
              input.variance,
              settings.lowerBound(),
              settings.upperBound(),
              input.maxSamples};
    // Secant steps on E_t - m: with the same draws for every t it is smooth,
    // and its slope near 1 (the bias changes slowly with the truth).
    const auto bounded = [](double t) { return std::fmin(std::fmax(t, 1e-6), 1 - 1e-6); };
    const auto miss = [&](double t) { return expectedStoppedMean(t, walk) - input.mean; };
    double before = input.mean;
    double missBefore = miss(before);
    double truth = bounded(before - missBefore);
    for (int step = 0; step < 20; ++step) {
        const double missed = miss(truth);
        if (std::fabs(missed) < 1e-7)
            break;
        double slope = (missed - missBefore) / (truth - before);
        if (!std::isfinite(slope) || slope < 0.1)
            slope = 1;
        before = truth;
        missBefore = missed;
        truth = bounded(truth - missed / slope);
        if (std::fabs(truth - before) < 1e-7)
            break;
    }
    return truth;
}

} // namespace vorlen::match
