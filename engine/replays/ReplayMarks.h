#pragma once

#include "Replay.h"

#include <optional>

namespace vorlen {

// Where a viewer goes to see the turn of a retirement or a failed move:
// the position after that turn, the next one after `shown` turns forward,
// or the last one before it backward. None when there is none that way.
std::optional<int> retirementPosition(const Replay& replay, int shown, bool forward);

// Where a replay of a failed match is first shown: after its first failed
// move, whose log tells why. None when no move failed (a full board or a
// stall ends a match without one).
std::optional<int> firstFailurePosition(const Replay& replay);

} // namespace vorlen
