#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vorlen;
using namespace vorlen::testing;

TEST(WholeMatch, TwoBuiltInPlayersOnTheDefaultBoardPlayToTheEnd)
{
    MemoryStream out, err;
    VorlenManager manager(45, 41, 2, Trace(out.get(), err.get()));
    VorlenLogicTeam02 first, second;
    RecordingGui gui;
    manager.setPlayer(0, &first);
    manager.setPlayer(1, &second);
    manager.setGui(&gui);
    std::srand(1); // the state of an unseeded generator
    manager.loadMap("");

    int turn = 0;
    ScorePair previous{0, 0};
    while (!manager.gameOver() && turn < 5000) {
        manager.makeTurn(turn++);
        // A region never shrinks, and two regions never overlap.
        const ScorePair score = manager.score();
        ASSERT_GE(score.first, previous.first);
        ASSERT_GE(score.second, previous.second);
        ASSERT_LE(score.first + score.second, kBoardCells);
        previous = score;
    }
    ASSERT_TRUE(manager.gameOver());
    EXPECT_EQ(previous.first + previous.second, kBoardCells);
    EXPECT_EQ(err.text(), "");
    // The reference result of this board; a change here changes every match.
    // The reference result of this board with glibc's rand(): a change here
    // changes every match a user has played on it.
    EXPECT_EQ(turn, 122);
    EXPECT_EQ(previous, ScorePair(908, 937));
}
