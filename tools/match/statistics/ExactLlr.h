#pragma once

#include "Elo.h"

#include <array>
#include <cmath>

namespace vorlen::match {

// Normalised bounds (nelo0, nelo1) stand for the scores 1/2 + nelo s / c,
// with s the standard deviation of a game's score (for pairs: the pair's
// times the square root of 2) and c = 800 / ln 10.
// The mean score a bound stands for: the expected score of an Elo
// difference, or for a normalised bound 1/2 + nelo sqrt(g v) ln 10 / 800,
// with v one sample's variance and g its games.
double boundScore(double elo, bool normalised, double variance, int gamesPerSample);

// The normal approximation, for reference (and where a bound's score is
// not inside the scale): N (s1 - s0) (2 m - s0 - s1) / (2 v), with the mean
// score m and one sample's variance v.
double normalLlr(Count samples, double mean, double variance, double s0, double s1);

// The multinomial log-likelihood ratio of an SPRT (see Sprt.h), as a
// solver that keeps each hypothesis' multiplier between calls: a test fed
// one sample at a time moves it little, so Newton's method from the last
// one settles in a step or two. The run's test and its simulations both
// count through this.
template <std::size_t N>
class ExactLlr {
public:
    ExactLlr(const std::array<double, N>& scores, double elo0, double elo1, bool normalised, int gamesPerSample)
        : scores_(scores), elo0_(elo0), elo1_(elo1), normalised_(normalised), games_(gamesPerSample) {}

    double operator()(const std::array<Count, N>& counts)
    {
        // Half a sample in every cell (Jeffreys' prior): a few matches, or a
        // run of wins with no spread at all, never decide by themselves.
        constexpr double kPrior = 0.5;
        Count samples = 0;
        double total = 0, mean = 0;
        for (std::size_t i = 0; i < N; ++i) {
            samples += counts[i];
            total += static_cast<double>(counts[i]) + kPrior;
            mean += (static_cast<double>(counts[i]) + kPrior) * scores_[i];
        }
        mean /= total;
        double variance = 0;
        for (std::size_t i = 0; i < N; ++i)
            variance += (static_cast<double>(counts[i]) + kPrior) * (scores_[i] - mean) * (scores_[i] - mean);
        variance /= total;
        if (samples == 0 || variance <= 0)
            return 0;
        const double s0 = boundScore(elo0_, normalised_, variance, games_);
        const double s1 = boundScore(elo1_, normalised_, variance, games_);
        if (!(inside(s0) && inside(s1))) {
            largestStep_ = INFINITY; // no bound on a step: look at every sample
            return normalLlr(samples, mean, variance, s0, s1);
        }
        std::array<double, N> shares{};
        for (std::size_t i = 0; i < N; ++i)
            shares[i] = (static_cast<double>(counts[i]) + kPrior) / total;
        lambda0_ = multiplier(shares, s0, lambda0_);
        lambda1_ = multiplier(shares, s1, lambda1_);
        double llr = 0;
        largestStep_ = 0;
        for (std::size_t i = 0; i < N; ++i) {
            const double step = std::log1p(lambda0_ * (scores_[i] - s0)) - std::log1p(lambda1_ * (scores_[i] - s1));
            llr += static_cast<double>(counts[i]) * step;
            largestStep_ = std::fmax(largestStep_, std::fabs(step));
        }
        return llr;
    }

    // How far one more sample would move the last ratio, were the hypotheses'
    // distributions to stay: the most any score's term adds.
    double largestStep() const { return largestStep_; }

private:
    bool inside(double s) const { return s > scores_.front() && s < scores_.back(); }

    // The most likely distribution over the scores with mean `target`, given
    // the shares, is p_i = shares_i / (1 + l (x_i - target)); the l that
    // makes them sum to one is the root of a falling function on the l that
    // keep every p_i positive. Newton's steps from `start`, bisecting where
    // a step would leave the bracket.
    double multiplier(const std::array<double, N>& shares, double target, double start) const
    {
        double low = -1 / (scores_.back() - target);
        double high = 1 / (target - scores_.front());
        double l = start > low && start < high ? start : 0.0;
        for (int round = 0; round < 200; ++round) {
            double f = 0, slope = 0;
            for (std::size_t i = 0; i < N; ++i) {
                const double d = scores_[i] - target;
                const double q = 1 / (1 + l * d);
                f += shares[i] * d * q;
                slope -= shares[i] * d * d * q * q;
            }
            if (f == 0)
                return l;
            (f > 0 ? low : high) = l;
            const double step = slope < 0 ? -f / slope : INFINITY;
            if (std::fabs(step) <= 1e-14 * (1 + std::fabs(l)))
                return l + step;
            const double next = l + step;
            l = next > low && next < high ? next : low + (high - low) / 2;
            if (high - low <= 1e-15 * (1 + std::fabs(high)))
                break;
        }
        return l;
    }

    std::array<double, N> scores_;
    double elo0_;
    double elo1_;
    bool normalised_;
    int games_;
    double lambda0_ = 0;
    double lambda1_ = 0;
    double largestStep_ = INFINITY;
};

} // namespace vorlen::match
