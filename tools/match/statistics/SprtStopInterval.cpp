#include "SprtStopInterval.h"

#include "ExactLlr.h"
#include "FixedDraws.h"
#include "Sprt.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <tuple>
#include <vector>

namespace vorlen::match {
namespace {

// How far the tilt goes: e^40 puts all but a trace on one end of the scale.
constexpr double kEdge = 40;

// A test's outcome in the stagewise order, compared as a tuple: the tier
// (H0 0, the limit 1, H1 2), the stop within it (later H0 and earlier H1
// rank higher) and the sum of the sample's score steps.
using Outcome = std::tuple<int, long long, long long>;

Outcome outcomeOf(SprtVerdict verdict, long long samples, long long steps)
{
    switch (verdict) {
    case SprtVerdict::H1:
        return {2, -samples, steps};
    case SprtVerdict::H0:
        return {0, samples, steps};
    case SprtVerdict::Open:
        break;
    }
    return {1, 0, steps};
}

// The run's shares tilted: p_i = q_i e^(theta x_i) / Z(theta).
template <std::size_t N>
class Tilt {
public:
    Tilt(const std::array<double, N>& shares, const std::array<double, N>& scores) : shares_(shares), scores_(scores) {}

    double logNorm(double theta) const
    {
        double sum = 0;
        for (std::size_t i = 0; i < N; ++i)
            sum += shares_[i] * std::exp(theta * (scores_[i] - 0.5));
        return std::log(sum) + theta * 0.5;
    }
    std::array<double, N> shares(double theta) const
    {
        std::array<double, N> p{};
        const double norm = logNorm(theta);
        for (std::size_t i = 0; i < N; ++i)
            p[i] = shares_[i] * std::exp(theta * scores_[i] - norm);
        return p;
    }
    double mean(double theta) const
    {
        const std::array<double, N> p = shares(theta);
        double sum = 0;
        for (std::size_t i = 0; i < N; ++i)
            sum += p[i] * scores_[i];
        return sum;
    }
    double thetaOf(double target) const
    {
        double low = -kEdge, high = kEdge;
        for (int step = 0; step < 100; ++step) {
            const double middle = (low + high) / 2;
            (mean(middle) < target ? low : high) = middle;
        }
        return (low + high) / 2;
    }

private:
    std::array<double, N> shares_;
    std::array<double, N> scores_;
};

// How many more samples cannot reach a bound: the ratio moves by about one
// score's term a sample (its distributions shift by little once there are
// a few dozen samples), so a third of the distance over the largest term is
// safe. Looking at the ratio only then makes a long simulated run cheap.
long long samplesBeforeABound(double ratio, double largestStep, long long samples, const SprtSettings& settings)
{
    if (samples < 30 || !(largestStep > 0) || !std::isfinite(largestStep))
        return 1;
    const double room = std::fmin(ratio - settings.lowerBound(), settings.upperBound() - ratio);
    return std::max(1LL, static_cast<long long>(room / (3 * largestStep)));
}

template <std::size_t N>
struct Setting {
    const Tilt<N>& tilt;
    const std::array<double, N>& scores;
    int games;
    SprtSettings sprt;
    long long limit;
    std::uint64_t seed; // of the first simulated run
};

// The simulations' seed, from the records and the test: the same records
// give the same figures, and the simulations' own error is not the same for
// every run's figures (a fixed seed would err alike for all of them, and a
// thousand draws' error in a 2.5 % tail is a fifth of it).
template <std::size_t N>
std::uint64_t seedOf(const std::array<Count, N>& counts, const SprtSettings& settings)
{
    FixedDraws mixer(0x5eed0000ULL);
    std::uint64_t seed = mixer.bits();
    const auto mix = [&](std::uint64_t value) { seed = FixedDraws(seed ^ value).bits(); };
    for (const Count count : counts)
        mix(static_cast<std::uint64_t>(count));
    for (const double value : {settings.elo0, settings.elo1, settings.alpha, settings.beta})
        mix(std::bit_cast<std::uint64_t>(value));
    mix(settings.normalised ? 1 : 0);
    return seed;
}

// The run's test on samples drawn at `theta`, `kStopIntervalRuns` times,
// each run from its own seed (the same draws at every theta, so that the
// chances move smoothly with it).
template <std::size_t N>
std::vector<Outcome> simulate(const Setting<N>& setting, double theta)
{
    std::array<double, N> below{};
    const std::array<double, N> p = setting.tilt.shares(theta);
    double sum = 0;
    for (std::size_t i = 0; i < N; ++i)
        below[i] = sum += p[i];
    std::vector<Outcome> runs;
    runs.reserve(kStopIntervalRuns);
    for (int run = 0; run < kStopIntervalRuns; ++run) {
        FixedDraws draws(setting.seed + static_cast<std::uint64_t>(run) * 0x100000001b3ULL);
        ExactLlr<N> llr(setting.scores, setting.sprt.elo0, setting.sprt.elo1, setting.sprt.normalised, setting.games);
        std::array<Count, N> counts{};
        long long steps = 0, samples = 0;
        SprtVerdict verdict = SprtVerdict::Open;
        long long nextLook = 0;
        while (samples < setting.limit && verdict == SprtVerdict::Open) {
            const double u = draws.uniform();
            std::size_t i = 0;
            while (i + 1 < N && below[i] <= u)
                ++i;
            ++counts[i];
            steps += static_cast<long long>(i);
            ++samples;
            if (samples >= nextLook) {
                const double ratio = llr(counts);
                verdict = verdictOf(ratio, setting.sprt);
                nextLook = samples + samplesBeforeABound(ratio, llr.largestStep(), samples, setting.sprt);
            }
        }
        runs.push_back(outcomeOf(verdict, samples, steps));
    }
    return runs;
}

// Among runs simulated at `theta`, the chances of an outcome above
// `observed` and of one equal to it.
struct Chances {
    double above;
    double equal;

    // Ties counted whole (1), not at all (0), or half (the mid-p).
    double with(double ties) const { return above + ties * equal; }
};

template <std::size_t N>
Chances chancesAt(const Setting<N>& setting, double theta, const Outcome& observed)
{
    double above = 0, equal = 0;
    const std::vector<Outcome> outcomes = simulate(setting, theta);
    for (const Outcome& outcome : outcomes) {
        above += outcome > observed ? 1 : 0;
        equal += outcome == observed ? 1 : 0;
    }
    const auto runs = static_cast<double>(outcomes.size());
    return {above / runs, equal / runs};
}

// The theta where the chance above is `target`, from `near` (where it
// lies on one side) and `guess`: the bracket widened until it holds the
// target, then narrowed by false position (Illinois' variant). The same
// draws at every theta keep the chance rising with it, in steps.
template <std::size_t N>
double thetaWhere(double target, double ties, const Setting<N>& setting, const Outcome& observed, double near,
                  double nearChance, double guess)
{
    const auto chanceAbove = [&](double theta) { return chancesAt(setting, theta, observed).with(ties); };
    double a = near, fa = nearChance - target;
    double b = guess, fb = chanceAbove(b) - target;
    for (int widen = 0; fa * fb > 0 && widen < 8; ++widen) {
        // Both on one side: from the nearer, twice as far again the way the
        // chance says (it rises with theta).
        const bool up = fb < 0;
        if ((b < a) == up) {
            std::swap(a, b);
            std::swap(fa, fb);
        }
        const double further = std::clamp(b + (up ? 2 : -2) * std::fmax(std::fabs(b - a), 0.05), -kEdge, kEdge);
        if (further == b)
            return b;
        a = b;
        fa = fb;
        b = further;
        fb = chanceAbove(b) - target;
    }
    if (fa * fb > 0)
        return b;
    int side = 0;
    for (int step = 0; step < 10; ++step) {
        if (fa == fb || std::fabs(setting.tilt.mean(a) - setting.tilt.mean(b)) < 1e-4)
            break;
        const double c = b - fb * (b - a) / (fb - fa);
        const double fc = chanceAbove(c) - target;
        if (std::fabs(fc) < 0.002)
            return c;
        if (fc * fb < 0) {
            a = b;
            fa = fb;
            side = 0;
        } else if (++side >= 2) {
            fa /= 2; // Illinois: the end that stays is pulled in
        }
        b = c;
        fb = fc;
    }
    return fb == fa ? (a + b) / 2 : b - fb * (b - a) / (fb - fa);
}

} // namespace

template <std::size_t N>
StopAwareEstimate stopAwareEstimate(const std::array<Count, N>& counts, const std::array<double, N>& scores,
                                    int gamesPerSample, const StoppedTest& test)
{
    long long samples = 0, steps = 0;
    double total = 0;
    for (std::size_t i = 0; i < N; ++i) {
        samples += counts[i];
        steps += counts[i] * static_cast<long long>(i);
        total += static_cast<double>(counts[i]) + 0.5;
    }
    if (samples == 0)
        return {NAN, NAN, NAN};
    std::array<double, N> shares{};
    for (std::size_t i = 0; i < N; ++i)
        shares[i] = (static_cast<double>(counts[i]) + 0.5) / total;
    const Tilt<N> tilt(shares, scores);
    ExactLlr<N> llr(scores, test.settings.elo0, test.settings.elo1, test.settings.normalised, gamesPerSample);
    const SprtVerdict verdict = verdictOf(llr(counts), test.settings);
    // An undecided run is ranked as if its limit were where it ended.
    const long long limit = verdict == SprtVerdict::Open ? samples : std::max<long long>(samples, test.maxSamples);
    const Setting<N> setting{tilt, scores, gamesPerSample, test.settings, limit, seedOf(counts, test.settings)};
    const Outcome observed = outcomeOf(verdict, samples, steps);

    const auto scoreAt = [&](double theta) {
        return theta <= -kEdge + 1e-6 ? 0.0 : theta >= kEdge - 1e-6 ? 1.0 : tilt.mean(theta);
    };
    // Where to look first: the plain interval's ends.
    double mean = 0, variance = 0;
    for (std::size_t i = 0; i < N; ++i)
        mean += shares[i] * scores[i];
    for (std::size_t i = 0; i < N; ++i)
        variance += shares[i] * (scores[i] - mean) * (scores[i] - mean);
    const double spread = kZ95 * std::sqrt(variance / static_cast<double>(samples));
    const double scaleEnd = scores.back() - 1e-9;
    const double half = tilt.thetaOf(0.5);
    // The interval's ends count ties against themselves, so that the many
    // runs stopping where this one did cannot narrow it; the LOS is a mid-p.
    const Chances atHalf = chancesAt(setting, half, observed);
    const double low = thetaWhere(0.025, 1.0, setting, observed, half, atHalf.with(1.0),
                                  tilt.thetaOf(std::fmax(mean - spread, 1e-9)));
    const double high = thetaWhere(0.975, 0.0, setting, observed, half, atHalf.with(0.0),
                                   tilt.thetaOf(std::fmin(mean + spread, scaleEnd)));
    // A chance out of so many runs is never shown as certain.
    const double unit = 0.5 / kStopIntervalRuns;
    return {scoreAt(low), scoreAt(high), std::clamp(1 - atHalf.with(0.5), unit, 1 - unit)};
}

template StopAwareEstimate stopAwareEstimate<3>(const std::array<Count, 3>&, const std::array<double, 3>&, int,
                                                const StoppedTest&);
template StopAwareEstimate stopAwareEstimate<5>(const std::array<Count, 5>&, const std::array<double, 5>&, int,
                                                const StoppedTest&);

} // namespace vorlen::match
