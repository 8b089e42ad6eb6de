#include "ReplayMarks.h"

#include <gtest/gtest.h>

using namespace vorlen;

namespace {

// Ten turns: seat 1 times out at turn 3, seat 0 stalls at turn 7.
Replay markedReplay()
{
    Replay replay;
    replay.turns.resize(10);
    replay.turns[3].retired = {{1, "timed out"}};
    replay.turns[7].retired = {{0, "stall"}};
    return replay;
}

} // namespace

TEST(ReplayMarks, RetirementsAreGoneToFromAnyTurnEitherWay)
{
    const Replay replay = markedReplay();
    const struct {
        int shown;
        bool forward;
        std::optional<int> position;
    } cases[] = {
        // Turn 3 is on show at position 4; from there the next is turn 7.
        {0, true, 4}, {3, true, 4}, {4, true, 8}, {7, true, 8}, {8, true, std::nullopt}, {10, true, std::nullopt},
        {10, false, 8}, {9, false, 8}, {8, false, 4}, {5, false, 4}, {4, false, std::nullopt}, {0, false, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(retirementPosition(replay, c.shown, c.forward), c.position) << c.shown << (c.forward ? " on" : " back");
    EXPECT_EQ(retirementPosition(Replay{}, 0, true), std::nullopt);
}

TEST(ReplayMarks, AFailedMatchOpensAtItsFirstFailedMoveAndAGameEndIsNone)
{
    EXPECT_EQ(firstFailurePosition(markedReplay()), 4);
    Replay ended = markedReplay();
    ended.turns[3].retired.clear();
    EXPECT_EQ(firstFailurePosition(ended), std::nullopt);
}
