#include "BitBoard.h"
#include "Greedy.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "Rules.h"
#include "support/Boards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

using namespace vorlen;

namespace {

// The straightforward rules, on cells.
struct Reference {
    Field field;
    bool play(int seat, int colour) { return playColour(field, seat, colour); }
};

Field patterned(const std::function<int(int, int)>& colourOf)
{
    Field field = makeField(kBoardRows, kBoardColumns);
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardColumns; ++c)
            field[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = colourOf(r, c);
    return field;
}

// Plays moves on both, the seats in turn, and compares them after each:
// legality, scores, and now and then every cell.
void expectAgreement(const Field& start, const std::vector<int>& colours)
{
    Reference reference{start};
    BitBoard board(start);
    EXPECT_EQ(board.field(), start);
    EXPECT_EQ(board.scores(), computeScore(start));
    for (std::size_t turn = 0; turn < colours.size(); ++turn) {
        const int seat = static_cast<int>(turn % 2);
        const int colour = colours[turn];
        const bool legal = board.legal(seat, colour);
        ASSERT_EQ(legal, reference.play(seat, colour)) << "turn " << turn << " colour " << colour;
        if (legal)
            board.play(seat, colour);
        ASSERT_EQ(board.scores(), computeScore(reference.field)) << "turn " << turn;
        if (turn % 16 == 0 || turn + 1 == colours.size()) {
            ASSERT_EQ(board.field(), reference.field) << "turn " << turn;
            // Turned, it is the board the other seat is shown, its regions too.
            Field seen = reference.field;
            rotateField(seen);
            const BitBoard other = board.turned();
            ASSERT_EQ(other.field(), seen);
            ASSERT_EQ(other.region(0), BitBoard(seen).region(0));
            ASSERT_EQ(other.region(1), BitBoard(seen).region(1));
            ASSERT_EQ(other.turned(), board);
        }
    }
}

TEST(BitBoard, AgreesWithTheRulesMoveForMoveOnEveryKindOfBoard)
{
    std::mt19937 random(11);
    const auto moves = [&](int count) {
        std::vector<int> colours;
        for (int i = 0; i < count; ++i)
            colours.push_back(1 + static_cast<int>(random() % 7)); // 7: out of range now and then
        return colours;
    };
    const std::pair<const char*, Field> boards[] = {
        {"striped", vorlen::testing::stripedBoard()},
        {"one colour: both corners in one region", patterned([](int, int) { return 4; })},
        {"corners of one colour, apart", patterned([](int r, int c) { return (r + c) % 2 == 0 ? 1 : 2; })},
        {"columns", patterned([](int, int c) { return 1 + c % 6; })},
        {"rows", patterned([](int r, int) { return 1 + r % 6; })},
        {"a spiral of one colour", patterned([](int r, int c) {
             const int ring = std::min({r, c, kBoardRows - 1 - r, kBoardColumns - 1 - c});
             return ring % 2 == 0 ? 3 : 5;
         })},
        {"the edges of the words", patterned([](int r, int c) { return c == 0 || c == kBoardColumns - 1 ? 2 : 1 + (r * kBoardColumns + c) % 64 % 6; })},
    };
    for (const auto& [name, field] : boards) {
        SCOPED_TRACE(name);
        expectAgreement(field, moves(300));
    }
    for (unsigned seed = 0; seed < 200; ++seed) {
        SCOPED_TRACE("random board " + std::to_string(seed));
        const int colours = 2 + static_cast<int>(seed % 5);
        expectAgreement(patterned([&](int, int) { return 1 + static_cast<int>(random() % colours); }), moves(200));
    }
}

// The built-in player's choice is the same on either engine, for either
// seat (the second's board turned, as the referee shows it), through games
// that play it against itself to the end.
TEST(BitBoard, TheGreedyChoiceIsTheSameOnEitherEngine)
{
    std::mt19937 random(3);
    for (unsigned game = 0; game < 60; ++game) {
        SCOPED_TRACE("game " + std::to_string(game));
        const int colours = 2 + static_cast<int>(game % 5);
        Reference reference{patterned([&](int, int) { return 1 + static_cast<int>(random() % colours); })};
        BitBoard board(reference.field);
        GreedyChooser chooser;
        for (int turn = 0; turn < 300; ++turn) {
            const int seat = turn % 2;
            Field seen = reference.field;
            if (seat == 1)
                rotateField(seen);
            const int expected = chooser.choose(seen);
            ASSERT_EQ(greedyColour(board, seat), expected) << "turn " << turn;
            if (expected == 0)
                break;
            reference.play(seat, expected);
            board.play(seat, expected);
        }
        EXPECT_EQ(board.field(), reference.field);
    }
}

// A player derived from the built-in one is shown the board as cells; the
// built-in one chooses on the planes. Whole matches through the referee come
// out the same either way, turn by turn, on boards with one region for both
// corners, few colours and many.
class ShownTheBoard : public VorlenLogicTeam02 {};

TEST(BitBoard, TheRefereePlaysTheSameMatchOnPlanesAsOnCells)
{
    std::mt19937 random(9);
    for (int game = 0; game < 30; ++game) {
        SCOPED_TRACE("game " + std::to_string(game));
        const int colours = game == 0 ? 1 : 2 + game % 5;
        const Field start = patterned([&](int, int) { return 1 + static_cast<int>(random() % colours); });
        VorlenLogicTeam02 planes[2];
        ShownTheBoard cells[2];
        VorlenManager onPlanes(45, 41, 2, Trace::silent()), onCells(45, 41, 2, Trace::silent());
        for (int seat = 0; seat < 2; ++seat) {
            onPlanes.setPlayer(seat, &planes[seat]);
            onCells.setPlayer(seat, &cells[seat]);
        }
        onPlanes.setBoard(start);
        onCells.setBoard(start);
        for (int turn = 0; !onCells.gameOver() && turn < 2000; ++turn) {
            onPlanes.makeTurn(turn);
            onCells.makeTurn(turn);
            ASSERT_EQ(onPlanes.score(), onCells.score()) << "turn " << turn;
            ASSERT_EQ(onPlanes.lastTurn().answer, onCells.lastTurn().answer) << "turn " << turn;
            if (turn % 25 == 0) {
                ASSERT_EQ(onPlanes.board(), onCells.board()) << "turn " << turn;
            }
        }
        EXPECT_TRUE(onPlanes.gameOver());
        EXPECT_EQ(onPlanes.position().board, onCells.position().board);
        for (int seat = 0; seat < 2; ++seat)
            EXPECT_EQ(onPlanes.retirement(seat).reason, onCells.retirement(seat).reason);
    }
}

TEST(BitBoard, AStepOfAFloodNeverWrapsAroundARowNorLeavesTheBoard)
{
    const std::pair<int, std::vector<int>> cases[] = {
        {0, {0, 1, kBoardColumns}},                                  // a corner
        {kBoardColumns - 1, {kBoardColumns - 2, kBoardColumns - 1, 2 * kBoardColumns - 1}}, // end of row 0
        {kBoardColumns, {0, kBoardColumns, kBoardColumns + 1, 2 * kBoardColumns}},           // start of row 1
        {63, {18, 62, 63, 64, 108}},                                 // across a word's end
        {kBoardCells - 1, {kBoardCells - 1 - kBoardColumns, kBoardCells - 2, kBoardCells - 1}},
    };
    for (const auto& [cell, expected] : cases) {
        BitPlane plane;
        plane.set(cell);
        const BitPlane grown = dilated(plane);
        std::vector<int> cells;
        for (int at = 0; at < BitPlane::kWords * 64; ++at)
            if (grown.test(at))
                cells.push_back(at);
        EXPECT_EQ(cells, expected) << "cell " << cell;
    }
}

} // namespace
