#pragma once

#include "Elo.h"
#include "SprtSettings.h"

#include <array>
#include <cstddef>

namespace vorlen::match {

// An interval and a likelihood of superiority that account for where an
// SPRT stopped. The test's outcomes are ranked in the stagewise order: an
// early acceptance of H1 above a later one, above every run that reached
// the limit (ranked by their mean), above any acceptance of H0, a late one
// above an early one; within one stop, by the mean. For a true mean score
// t, the chance of an outcome above the run's rises with t. The 95 %
// interval runs from the t where an outcome at or above the run's has a
// chance of 2.5 % to the t where one at or below it has; the likelihood of
// superiority is the chance at t = 1/2 of one below it, and half that of
// one equal (a mid-p).
//
// The chances come from simulating the run's own test (its counting, its
// exact ratio, its bounds and its limit) on samples drawn from the run's
// shares tilted to each t (p_i ~ q_i e^(theta x_i)): one family of
// distributions with the run's shape, the same draws at every t. The
// interval's ends are found by false position, a simulation a step. The
// draws' seed comes from the counts and the test: the same records give the
// same figures, and the simulations' error differs from run to run rather
// than leaning every run's figures the same way.
struct StoppedTest {
    SprtSettings settings;
    int maxSamples; // the most the run could have counted
};

struct StopAwareEstimate {
    double low; // mean scores
    double high;
    double los;
};

template <std::size_t N>
StopAwareEstimate stopAwareEstimate(const std::array<Count, N>& counts, const std::array<double, N>& scores,
                                    int gamesPerSample, const StoppedTest& test);

// Simulated runs at each point.
inline constexpr int kStopIntervalRuns = 1000;

} // namespace vorlen::match
