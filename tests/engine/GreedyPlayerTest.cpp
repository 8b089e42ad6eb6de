#include "Rules.h"
#include "VorlenLogicTeam02.h"
#include "support/Boards.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorlen;
using vorlen::testing::boardFromRows;

namespace {

int regionOfTopLeft(const Field& field)
{
    VisitedGrid visited(rowCount(field), columnCount(field));
    return regionSize(field, visited, 0, 0, -1);
}

// The greedy choice found by playing every colour and measuring the region.
int bestBySimulation(const Field& board)
{
    const int own = board.front().front();
    const int opponent = board.back().back();
    int best = 0;
    int bestGain = -1;
    for (int colour = 1; colour <= kColourCount; ++colour) {
        if (colour == own || colour == opponent)
            continue;
        Field after = board;
        floodFill(after, colour, -1, 0, 0);
        const int gain = regionOfTopLeft(after) - regionOfTopLeft(board);
        if (gain > bestGain) {
            best = colour;
            bestGain = gain;
        }
    }
    return best;
}

} // namespace

TEST(GreedyPlayer, AgreesWithPlayingEveryColourOnRandomBoards)
{
    VorlenLogicTeam02 player;
    std::mt19937 engine(5);
    for (int round = 0; round < 200; ++round) {
        // Few colours in big pieces, or all six finely mixed.
        const int colours = round % 2 == 0 ? 3 : 6;
        Field board = makeField(kBoardRows, kBoardColumns);
        for (auto& row : board)
            for (auto& cell : row)
                cell = static_cast<int>(engine() % colours) + 1;
        ASSERT_EQ(player.makeMove(board), bestBySimulation(board)) << "round " << round;
    }
}

TEST(GreedyPlayer, EqualGainsGoToTheLowestColour)
{
    VorlenLogicTeam02 player;
    EXPECT_EQ(player.makeMove(boardFromRows({"153", "366", "662"})), 3);
    EXPECT_EQ(player.makeMove(boardFromRows({"153", "466", "662"})), 4);
}

TEST(GreedyPlayer, NoGainAnywherePlaysTheLowestAllowedColour)
{
    VorlenLogicTeam02 player;
    // Every neighbour of the region has the opponent's colour.
    EXPECT_EQ(player.makeMove(boardFromRows({"22", "22"})), 1);
    EXPECT_EQ(player.makeMove(boardFromRows({"12", "22"})), 3);
    EXPECT_EQ(player.makeMove(boardFromRows({"21", "11"})), 3);
}

TEST(GreedyPlayer, DiagonalContactAddsNothing)
{
    VorlenLogicTeam02 player;
    // Colour 3 only touches the corner diagonally; colour 4 touches it.
    EXPECT_EQ(player.makeMove(boardFromRows({"143", "433", "336"})), 4);
}

TEST(GreedyPlayer, APieceTouchingAlongManyCellsCountsOnce)
{
    VorlenLogicTeam02 player;
    // Colour 3 touches the region at four cells and is 4 cells big; colour 4
    // touches once and is 5 cells big, far cells included.
    const Field board = boardFromRows({"11115", "11114", "33334", "55444", "55556"});
    EXPECT_EQ(player.makeMove(board), 4);
}

TEST(GreedyPlayer, APieceBehindAnotherPieceAddsNothing)
{
    VorlenLogicTeam02 player;
    // The big 5 piece lies behind the 4 piece and does not touch the region.
    const Field board = boardFromRows({"1455", "4555", "5556"});
    EXPECT_EQ(player.makeMove(board), 4);
}

TEST(GreedyPlayer, NeverPlaysOwnOrOpponentColour)
{
    VorlenLogicTeam02 player;
    // The opponent's colour would gain most; own colour is excluded too.
    EXPECT_EQ(player.makeMove(boardFromRows({"1222", "2222", "3222"})), 3);
    // Both homes the same colour: only that one is excluded.
    EXPECT_EQ(player.makeMove(boardFromRows({"12", "21"})), 2);
}

TEST(GreedyPlayer, SingleCellBoard)
{
    VorlenLogicTeam02 player;
    EXPECT_EQ(player.makeMove(boardFromRows({"1"})), 2);
    EXPECT_EQ(player.makeMove(boardFromRows({"4"})), 1);
}

TEST(GreedyPlayer, MovesDoNotInfluenceEachOther)
{
    VorlenLogicTeam02 fresh;
    VorlenLogicTeam02 used;
    const Field big = boardFromRows({"1234", "5612", "3456"});
    const Field small = boardFromRows({"153", "366", "662"});
    used.makeMove(big);
    EXPECT_EQ(used.makeMove(small), fresh.makeMove(small));
    EXPECT_EQ(used.makeMove(big), used.makeMove(big));
}
