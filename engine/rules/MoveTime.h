#pragma once

#include <chrono>

namespace vorlen {

// How long a move may take, from the start of the bot to its answer: the
// rule every seat plays under unless the run sets another.
inline constexpr std::chrono::milliseconds kMoveTimeLimit{3000};
// The longest limit a run may set.
inline constexpr std::chrono::milliseconds kLongestMoveLimit{3'600'000};
// A seat without a limit (the window's --no-time-limit) waits this long: a
// day, time enough to step through a bot in a debugger.
inline constexpr std::chrono::milliseconds kNoTimeLimit{86'400'000};

} // namespace vorlen
