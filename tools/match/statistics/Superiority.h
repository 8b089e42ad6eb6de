#pragma once


namespace vorlen::match {

// The likelihood that a player is the stronger, from samples that each lean
// off an even score by -2, -1, 0, +1 or +2 steps (a match: a loss -1, a win
// +1; a board pair by quarters of its two games): `ones` samples lean one
// step either way, `twos` two steps, and together they lean `lean` steps.
//
// Under no difference every sample leans either way alike, so the samples'
// leanings with their signs flipped at random give the lean's exact
// distribution; the likelihood is its mid-p: P(flipped < lean) + P(flipped
// = lean) / 2. For matches that is the sign test on wins and losses; it
// holds its meaning at any sample size, where the normal form overstates
// small ones (three wins: 93.8 %, not 95.8 %). Above kExactSamples leaning
// samples the normal form stands in, which is then as good: Phi(lean /
// sqrt(ones + 4 twos)). 1/2 when no sample leans.
double likelihoodOfSuperiority(long long ones, long long twos, long long lean);

inline constexpr long long kExactSamples = 20000;

} // namespace vorlen::match
