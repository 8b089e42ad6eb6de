#pragma once

#include "MatchConfig.h"
#include "Summary.h"

namespace vorlen::match {

// What the summary says of a run beyond its results, as its settings tell it.
RunFacts factsOf(const MatchConfig& config);

} // namespace vorlen::match
