#pragma once

#include "HeadToHead.h"

#include <cstddef>
#include <vector>

namespace vorlen::match {

// The Bradley–Terry strengths (gamma, the anchor's 1) of the players in the
// group, whose results join them all to `anchor` both ways; those outside
// keep 1. To a relative step below 1e-12: a few minorization–maximization
// steps (Hunter 2004) to come near, then Newton's (each a solve of the
// information matrix: a thousand players in a few tenths of a second, where
// the first alone takes seconds), falling back to the first alone should a
// solve fail.
std::vector<double> bradleyTerryStrengths(std::size_t n, const std::vector<HeadToHead>& results,
                                          const std::vector<bool>& inGroup, std::size_t anchor);

} // namespace vorlen::match
