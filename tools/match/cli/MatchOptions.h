#pragma once

#include "MatchOption.h"

#include <vector>

namespace vorlen::match {

// The table, the concurrency's default being `defaultConcurrency`.
std::vector<MatchOption> matchOptions(int defaultConcurrency);

} // namespace vorlen::match
