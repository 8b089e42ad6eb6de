#pragma once

#include "MatchRecord.h"

#include <optional>
#include <string>

namespace vorlen::match {

// Why a record read back cannot be one this program wrote: one player in
// both seats, a player the run does not have, a value of a field it never
// writes, counts that contradict each other (more moves than turns, more
// moves near the limit than moves, a mean above the largest time, scores
// beyond the board). None when it can be. What the record holds is said
// terminal-safe: the reason goes to a terminal as it is.
std::optional<std::string> recordProblem(const MatchRecord& record);

} // namespace vorlen::match
