#pragma once

#include "MatchOption.h"

#include <vector>

namespace vorlen::match {

// The rows of a bot's limits: --bot-memory, --bot-cpu, --bot-cpus and the
// others, each with its default in its help.
std::vector<MatchOption> botLimitOptions();

} // namespace vorlen::match
