#pragma once

#include "Elo.h"
#include "ExactLlr.h"
#include "SprtSettings.h"

#include <array>

namespace vorlen::match {

// The log-likelihood ratio of H1 (elo = elo1) over H0 (elo = elo0) in the
// logistic Elo model, exact for the multinomial counts: with s0, s1 the
// expected scores at elo0 and elo1, each hypothesis is the most likely
// distribution over the scores x_i whose mean is its s (p_i = q_i / (1 +
// l (x_i - s)), q the observed shares), and LLR = sum n_i log(p1_i / p0_i).
// Trinomial: a sample is one match (losses, draws, wins). Pentanomial: a
// sample is a board played in both seatings, scored 0, 1/4, 1/2, 3/4 or 1
// (the pair's points over 2). Each count gets half a sample added before
// the mean and variance are taken, so that a handful of samples, or all
// wins with no spread, cannot push the ratio past a bound on their own.
// Normalised bounds: see ExactLlr.h.
double trinomialLlr(const std::array<Count, 3>& lossesDrawsWins, double elo0, double elo1, bool normalised = false);
double pentanomialLlr(const std::array<Count, 5>& pairsByPoints, double elo0, double elo1, bool normalised = false);

enum class SprtVerdict { Open, H0, H1 };
SprtVerdict verdictOf(double llr, const SprtSettings& settings);

} // namespace vorlen::match
