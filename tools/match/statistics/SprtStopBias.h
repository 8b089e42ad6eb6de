#pragma once

#include "SprtSettings.h"

namespace vorlen::match {

// An SPRT that stops early stops because its results ran high or low, so the
// mean score at the stop overstates the difference it found. Whitehead's
// bias-adjusted estimate is the true mean score t whose expected estimate
// at the stop equals the one observed: E_t[m at the stop] = m. The
// expectation is found by simulating the same test (its bounds, error
// rates and largest sample count) on a normal random walk with the run's
// spread per sample, with a fixed seed, so that the same records always
// give the same figure.
struct StopBiasInput {
    double mean;      // the observed mean score per sample
    double variance;  // of one sample's score
    int samples;      // counted when the test stopped
    int maxSamples;   // the most the run could have counted
    int gamesPerSample; // 2 for board pairs, for normalised bounds
};
// The adjusted mean score; `input.mean` itself when there is nothing to adjust.
double biasAdjustedScore(const StopBiasInput& input, const SprtSettings& settings);

// How many simulated tests the estimate averages.
inline constexpr int kStopBiasRuns = 400;

} // namespace vorlen::match
