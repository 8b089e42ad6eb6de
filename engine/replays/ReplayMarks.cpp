#include "ReplayMarks.h"

#include "Retirement.h"

namespace vorlen {

std::optional<int> retirementPosition(const Replay& replay, int shown, bool forward)
{
    const int count = static_cast<int>(replay.turns.size());
    // Turn i is on show after i + 1 turns.
    for (int step = 0; step < count; ++step) {
        const int turn = forward ? shown + step : shown - 2 - step;
        if (turn < 0 || turn >= count)
            break;
        if (!replay.turns[static_cast<std::size_t>(turn)].retired.empty())
            return turn + 1;
    }
    return std::nullopt;
}

std::optional<int> firstFailurePosition(const Replay& replay)
{
    for (std::size_t turn = 0; turn < replay.turns.size(); ++turn)
        for (const ReplayRetirement& retired : replay.turns[turn].retired)
            if (!isGameEnd(retired.reason))
                return static_cast<int>(turn) + 1;
    return std::nullopt;
}

} // namespace vorlen
