#include "Rules.h"
#include "VorlenManager.h"
#include "support/Boards.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// A board on which no move of colour 3 or 4 gains anything: both regions are
// single cells walled in by colours 5 and 6.
Field quietBoard()
{
    Field field = makeField(kBoardRows, kBoardColumns, 5);
    field[0][0] = 1;
    field[40][44] = 2;
    field[40][43] = 6;
    field[39][44] = 6;
    return field;
}

struct Match {
    explicit Match(Field board, std::vector<int> first = {}, std::vector<int> second = {})
        : players{ScriptedPlayer(std::move(first)), ScriptedPlayer(std::move(second))},
          manager(45, 41, 2, Trace(out.get(), err.get()))
    {
        manager.setPlayer(0, &players[0]);
        manager.setPlayer(1, &players[1]);
        manager.setGui(&gui);
        manager.setBoard(board);
    }

    void turns(int count)
    {
        for (int i = 0; i < count; ++i)
            manager.makeTurn(next++);
    }

    MemoryStream out;
    MemoryStream err;
    ScriptedPlayer players[2];
    RecordingGui gui;
    VorlenManager manager;
    int next = 0;
};

} // namespace

TEST(Manager, ConstructorAnnouncesItselfOnStandardOutput)
{
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    {
        VorlenManager manager(45, 41, 2);
        EXPECT_EQ(manager.board(), makeField(kBoardRows, kBoardColumns));
        EXPECT_FALSE(manager.gameOver());
    }
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "VorlenManager initialized...\n\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(Manager, FirstPlayerOpensAndSeatsAlternate)
{
    Match match(quietBoard(), {3, 4}, {1, 2});
    match.turns(1);
    EXPECT_EQ(match.players[0].seen.size(), 1U);
    EXPECT_EQ(match.players[1].seen.size(), 0U);
    match.turns(3);
    EXPECT_EQ(match.players[0].seen.size(), 2U);
    EXPECT_EQ(match.players[1].seen.size(), 2U);
}

TEST(Manager, SecondSeatSeesTheBoardFromItsOwnCornerAndItIsTurnedBack)
{
    // Turn 1: a legal move of the second seat; turn 3: a rejected one.
    Match match(quietBoard(), {3, 6}, {4, 6});
    match.turns(1);
    Field turned = match.manager.board();
    rotateField(turned);

    match.turns(1);
    ASSERT_EQ(match.players[1].seen.size(), 1U);
    EXPECT_TRUE(match.players[1].seen[0] == turned);
    EXPECT_EQ(match.players[1].seen[0][0][0], 2);
    Field expected = quietBoard();
    expected[0][0] = 3;
    expected[40][44] = 4;
    EXPECT_TRUE(match.manager.board() == expected);

    match.turns(2);
    EXPECT_FALSE(match.players[1].active);
    EXPECT_EQ(match.manager.retirement(1).reason, RetireReason::IllegalColour);
    expected[0][0] = 6;
    EXPECT_TRUE(match.manager.board() == expected);
    EXPECT_EQ(match.err.text(), "");
}

TEST(Manager, ColourOutsideTheRangePrintsTheSeatAndRetires)
{
    for (const int bad : {0, 7, -1, 100}) {
        Match match(quietBoard(), {3, 4, 3}, {bad});
        match.turns(2);
        EXPECT_TRUE(match.players[0].active);
        EXPECT_FALSE(match.players[1].active);
        EXPECT_EQ(match.err.text(), "1 incorrect move");
        EXPECT_EQ(match.manager.retirement(1).reason, RetireReason::ColourOutOfRange);
        EXPECT_EQ(match.manager.retirement(1).turn, 1);
        EXPECT_EQ(match.manager.retirement(1).move, bad);
        EXPECT_EQ(match.manager.board()[40][44], 2);
        // How each seat's last move went, without asking the player.
        EXPECT_EQ(match.manager.lastResult(0).outcome, Outcome::Answered);
        EXPECT_EQ(match.manager.lastResult(1).outcome, Outcome::None);
        EXPECT_EQ(match.manager.lastResult(1).colour, bad);
        EXPECT_EQ(retirementText(match.manager.retirement(1), match.manager.lastResult(1)), "colour outside 1-6");

        // The other player continues alone, every second turn.
        match.turns(2);
        EXPECT_EQ(match.players[0].seen.size(), 2U);
        EXPECT_EQ(match.players[1].seen.size(), 1U);
    }
    Match first(quietBoard(), {9});
    first.turns(1);
    EXPECT_EQ(first.err.text(), "0 incorrect move");
}

TEST(Manager, OwnOrOpponentColourRetiresSilently)
{
    for (const int colour : {1, 2}) {
        Match match(quietBoard(), {colour});
        match.turns(1);
        EXPECT_FALSE(match.players[0].active);
        EXPECT_EQ(match.manager.retirement(0).reason, RetireReason::IllegalColour);
        EXPECT_EQ(match.manager.retirement(0).move, colour);
        EXPECT_EQ(match.err.text(), "");
        EXPECT_TRUE(match.manager.board() == quietBoard());
    }
}

TEST(Manager, EightEqualScorePairsRetireBothSevenDoNot)
{
    Match match(quietBoard(), {3, 4, 3, 4}, {1, 2, 1, 2});
    match.turns(7);
    EXPECT_TRUE(match.players[0].active);
    EXPECT_TRUE(match.players[1].active);
    EXPECT_FALSE(match.manager.gameOver());

    match.turns(1);
    EXPECT_FALSE(match.players[0].active);
    EXPECT_FALSE(match.players[1].active);
    EXPECT_EQ(match.manager.retirement(0).reason, RetireReason::Stall);
    EXPECT_EQ(match.manager.retirement(1).turn, 7);
    EXPECT_TRUE(match.manager.gameOver());
}

TEST(Manager, ScoreChangeRestartsTheStallCount)
{
    Field board = quietBoard();
    board[0][1] = 4; // the first player's move 4, at turn 2, gains one cell
    Match match(board, {6, 4, 6, 1, 6}, {3, 2, 3, 2, 3});
    // Pairs: turns 0 and 1 equal, turn 2 changes, then equal from turn 2 on.
    match.turns(9);
    EXPECT_TRUE(match.players[0].active);
    match.turns(1);
    EXPECT_FALSE(match.players[0].active);
    EXPECT_EQ(match.manager.retirement(0).turn, 9);
}

TEST(Manager, FullBoardRetiresTheMoverThenTheOtherOnItsNextTurn)
{
    Field board = makeField(kBoardRows, kBoardColumns, 2);
    board[0][0] = 1;
    board[40][44] = 3;
    Match match(board, {2}, {5});
    match.turns(1);
    EXPECT_EQ(match.manager.score(), ScorePair(kBoardCells - 1, 1));
    EXPECT_FALSE(match.players[0].active);
    EXPECT_EQ(match.manager.retirement(0).reason, RetireReason::FullBoard);
    EXPECT_TRUE(match.players[1].active);
    EXPECT_FALSE(match.manager.gameOver());

    match.turns(1);
    EXPECT_FALSE(match.players[1].active);
    EXPECT_EQ(match.manager.retirement(1).reason, RetireReason::FullBoard);
    EXPECT_EQ(match.manager.board()[40][44], 5);
    EXPECT_TRUE(match.manager.gameOver());
}

TEST(Manager, TurnsAfterTheEndStillPrintScoreAndReport)
{
    Match match(quietBoard(), {0}, {0});
    match.turns(1);
    EXPECT_FALSE(match.manager.gameOver());
    match.turns(1);
    EXPECT_TRUE(match.manager.gameOver());

    match.gui.calls.clear();
    match.turns(1);
    EXPECT_TRUE(match.manager.gameOver());
    EXPECT_EQ(match.gui.calls.size(), 6U);
    EXPECT_EQ(match.players[0].seen.size(), 1U);
    EXPECT_EQ(match.out.text(),
              "VorlenManager initialized...\n\n\nTurn #0:\n\nTurn #1:\n\nTurn #2:\n");
    EXPECT_EQ(match.err.text(), "0 incorrect move1 incorrect move");
}

TEST(Manager, DisplayHearsEachTurnInOrder)
{
    Match match(quietBoard(), {3}, {0});
    match.turns(2);
    const std::vector<std::string> oneTurn = {"lock",        "onLocked",    "setScore(0,1)",
                                              "setScore(1,1)", "setField", "unlock"};
    std::vector<std::string> twoTurns = oneTurn;
    twoTurns.insert(twoTurns.end(), oneTurn.begin(), oneTurn.end());
    EXPECT_EQ(match.gui.calls, twoTurns);
    EXPECT_EQ(match.gui.field, &match.manager.board());
}
