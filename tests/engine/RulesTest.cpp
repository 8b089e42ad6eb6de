#include "Rules.h"
#include "support/Boards.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorlen;
using vorlen::testing::boardFromRows;

namespace {

Field randomBoard(unsigned seed, int rows = kBoardRows, int columns = kBoardColumns,
                  int colours = 6)
{
    std::mt19937 engine(seed);
    Field field = makeField(rows, columns);
    for (auto& row : field)
        for (auto& cell : row)
            cell = static_cast<int>(engine() % colours) + 1;
    return field;
}

} // namespace

TEST(Rules, WorkedExampleScoresAndFloods)
{
    Field field = boardFromRows({"112", "312", "332"});
    EXPECT_EQ(computeScore(field), ScorePair(3, 3));

    floodFill(field, 3, -1, 0, 0);
    EXPECT_EQ(field, boardFromRows({"332", "332", "332"}));
    EXPECT_EQ(computeScore(field), ScorePair(6, 3));
}

TEST(Rules, SingleColourBoardBelongsToTheFirstPlayer)
{
    const Field field = makeField(kBoardRows, kBoardColumns, 4);
    EXPECT_EQ(computeScore(field), ScorePair(kBoardCells, 0));
}

TEST(Rules, CornersOfDifferentColoursScoreAtLeastOneEach)
{
    Field field = randomBoard(7);
    field[0][0] = 1;
    field[40][44] = 2;
    const ScorePair score = computeScore(field);
    EXPECT_GE(score.first, 1);
    EXPECT_GE(score.second, 1);
}

TEST(Rules, FloodFillRecoloursExactlyTheRegion)
{
    // Compared with a region found independently, on many random boards.
    for (unsigned seed = 0; seed < 50; ++seed) {
        const Field before = randomBoard(seed);
        VisitedGrid region(kBoardRows, kBoardColumns);
        regionSize(before, region, 0, 0, -1);

        Field after = before;
        const int colour = before[0][0] % 6 + 1;
        floodFill(after, colour, -1, 0, 0);
        for (int r = 0; r < kBoardRows; ++r)
            for (int c = 0; c < kBoardColumns; ++c)
                ASSERT_EQ(after[r][c], region.test(r, c) ? colour : before[r][c])
                    << "seed " << seed << " cell " << r << "," << c;
    }
}

TEST(Rules, ScoreIsTheSizeOfBothCornerRegions)
{
    for (unsigned seed = 0; seed < 100; ++seed) {
        // Two colours make large, winding regions; six make small ones.
        const Field field = randomBoard(seed, kBoardRows, kBoardColumns, seed % 2 ? 2 : 6);
        VisitedGrid visited(kBoardRows, kBoardColumns);
        const int first = regionSize(field, visited, 0, 0, -1);
        const int second = regionSize(field, visited, 40, 44, -1);
        ASSERT_EQ(computeScore(field), ScorePair(first, second)) << "seed " << seed;
    }
}

TEST(Rules, FloodFillWithTheRegionsOwnColourChangesNothing)
{
    Field field = boardFromRows({"112", "312", "332"});
    const Field before = field;
    floodFill(field, 1, -1, 0, 0);
    floodFill(field, 1, 1, 0, 1);
    EXPECT_EQ(field, before);
}

TEST(Rules, FloodFillWithAnExplicitOldColourOnlyStartsOnThatColour)
{
    Field field = boardFromRows({"112", "312", "332"});
    const Field before = field;
    floodFill(field, 5, 2, 0, 0);
    EXPECT_EQ(field, before);
    floodFill(field, 5, 2, 0, 2);
    EXPECT_EQ(field, boardFromRows({"115", "315", "335"}));
}

TEST(Rules, StartsOutsideTheBoardChangeNothingAndCountZero)
{
    const Field before = randomBoard(3);
    const struct {
        int row, column;
    } outside[] = {{-1, 0}, {0, -1}, {41, 0}, {0, 45}, {41, 45}, {-1, -1}};
    for (const auto cell : outside) {
        Field field = before;
        floodFill(field, 1, -1, cell.row, cell.column);
        EXPECT_EQ(field, before);
        VisitedGrid visited(kBoardRows, kBoardColumns);
        EXPECT_EQ(regionSize(field, visited, cell.row, cell.column, -1), 0);
        EXPECT_FALSE(visited.anySet());
    }
}

TEST(Rules, RegionSizeWithAnotherColourCountsZeroAndMarksNothing)
{
    const Field field = boardFromRows({"112", "312", "332"});
    VisitedGrid visited(3, 3);
    EXPECT_EQ(regionSize(field, visited, 0, 0, 2), 0);
    EXPECT_FALSE(visited.anySet());
    EXPECT_EQ(regionSize(field, visited, 0, 0, 1), 3);
    // A region already counted on the same grid counts nothing again.
    EXPECT_EQ(regionSize(field, visited, 1, 1, -1), 0);
    EXPECT_EQ(regionSize(field, visited, 2, 2, -1), 3);
}

TEST(Rules, SharedCornerRegionCountsForTheFirstPlayerOnly)
{
    const Field field = boardFromRows({"111", "121", "111"});
    EXPECT_EQ(computeScore(field), ScorePair(8, 0));
}

TEST(Rules, NeighbourCellsOfTheNewColourJoinTheScore)
{
    // (0,1) and (1,0) are colour 2: not written by the fill, but counted.
    Field field = boardFromRows({"124", "234", "444"});
    floodFill(field, 2, -1, 0, 0);
    EXPECT_EQ(field, boardFromRows({"224", "234", "444"}));
    EXPECT_EQ(computeScore(field).first, 3);
}

TEST(Rules, MoveToAnAbsentColourKeepsTheScores)
{
    Field field = boardFromRows({"112", "312", "332"});
    const ScorePair before = computeScore(field);
    floodFill(field, 5, -1, 0, 0);
    EXPECT_EQ(computeScore(field), before);
}

TEST(Rules, HalfTurnMapsCornersAndIsItsOwnInverse)
{
    const Field before = randomBoard(11);
    Field field = before;
    rotateField(field);
    EXPECT_EQ(field[0][0], before[40][44]);
    EXPECT_EQ(field[40][44], before[0][0]);
    EXPECT_EQ(field[0][44], before[40][0]);
    EXPECT_EQ(field[20][22], before[20][22]);
    EXPECT_EQ(field[3][5], before[37][39]);
    rotateField(field);
    EXPECT_EQ(field, before);
}

TEST(Rules, LargeRegionsDoNotExhaustTheStack)
{
    // A serpentine single region of about 1,000 cells: the deepest recursion.
    Field field = makeField(kBoardRows, kBoardColumns, 2);
    for (int r = 0; r < kBoardRows; r += 2) {
        for (int c = 0; c < kBoardColumns; ++c)
            field[r][c] = 1;
        if (r + 1 < kBoardRows)
            field[r + 1][(r / 2) % 2 == 0 ? kBoardColumns - 1 : 0] = 1;
    }
    const ScorePair score = computeScore(field);
    EXPECT_EQ(score.first, 21 * 45 + 20);
    floodFill(field, 3, -1, 0, 0);
    EXPECT_EQ(computeScore(field).first, score.first);
    EXPECT_EQ(field[40][44], 3);
}
