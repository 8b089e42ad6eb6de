#include "AlphaBeta.h"
#include "Boards.h"
#include "Greedy.h"
#include "SearchLevels.h"
#include "Territory.h"
#include "VorlenLogicSearch.h"
#include "Rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>

using namespace vorlen;

namespace {

// The territory's rule on cells, step by step: each round a seat takes the
// whole of every free piece of one colour that touches what it holds; what
// both take in a round is nobody's.
std::array<int, 2> territoryOnCells(const Field& field)
{
    std::vector<int> owner(kBoardCells, -1); // -1 free, 0 and 1 held, 2 nobody's
    const auto colour = [&](int cell) { return field[cell / kBoardColumns][cell % kBoardColumns]; };
    const auto neighbours = [](int cell) {
        std::vector<int> around;
        const int r = cell / kBoardColumns, c = cell % kBoardColumns;
        if (r > 0) around.push_back(cell - kBoardColumns);
        if (r + 1 < kBoardRows) around.push_back(cell + kBoardColumns);
        if (c > 0) around.push_back(cell - 1);
        if (c + 1 < kBoardColumns) around.push_back(cell + 1);
        return around;
    };
    const auto piece = [&](int start, int of, std::vector<bool>& in) {
        std::vector<int> todo{start};
        in[static_cast<std::size_t>(start)] = true;
        while (!todo.empty()) {
            const int cell = todo.back();
            todo.pop_back();
            for (const int next : neighbours(cell))
                if (!in[static_cast<std::size_t>(next)] && owner[static_cast<std::size_t>(next)] == of
                    && colour(next) == colour(start)) {
                    in[static_cast<std::size_t>(next)] = true;
                    todo.push_back(next);
                }
        }
    };
    for (int seat = 0; seat < 2; ++seat) {
        std::vector<bool> region(kBoardCells);
        piece(seat == 0 ? 0 : kBoardCells - 1, -1, region);
        for (int cell = 0; cell < kBoardCells; ++cell)
            if (region[static_cast<std::size_t>(cell)] && owner[static_cast<std::size_t>(cell)] == -1)
                owner[static_cast<std::size_t>(cell)] = seat;
    }
    for (bool growing = true; growing;) {
        std::array<std::vector<bool>, 2> grown{std::vector<bool>(kBoardCells), std::vector<bool>(kBoardCells)};
        for (int seat = 0; seat < 2; ++seat)
            for (int cell = 0; cell < kBoardCells; ++cell)
                if (owner[static_cast<std::size_t>(cell)] == seat)
                    for (const int next : neighbours(cell))
                        if (owner[static_cast<std::size_t>(next)] == -1 && !grown[seat][static_cast<std::size_t>(next)])
                            piece(next, -1, grown[static_cast<std::size_t>(seat)]);
        growing = false;
        for (int cell = 0; cell < kBoardCells; ++cell) {
            const bool first = grown[0][static_cast<std::size_t>(cell)], second = grown[1][static_cast<std::size_t>(cell)];
            if (first || second) {
                owner[static_cast<std::size_t>(cell)] = first && second ? 2 : (first ? 0 : 1);
                growing = true;
            }
        }
    }
    return {static_cast<int>(std::count(owner.begin(), owner.end(), 0)),
            static_cast<int>(std::count(owner.begin(), owner.end(), 1))};
}

// Positions from matches of random moves on drawn boards, as a search meets them.
std::vector<BitBoard> positions(int boards, int every, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<BitBoard> found;
    for (int index = 0; index < boards; ++index) {
        BitBoard board(seededBoard(seed, index));
        for (int turn = 0; turn < 400 && !decidedWorth(board, 0); ++turn) {
            if (turn % every == 0)
                found.push_back(board);
            const int seat = turn % 2;
            const int colour = random() % 3 == 0 ? static_cast<int>(random() % 6) + 1 : greedyColour(board, seat);
            if (board.legal(seat, colour))
                board.play(seat, colour);
        }
    }
    return found;
}

// Every move looked at, nothing cut: the worth alpha-beta must find.
int plainWorth(const BitBoard& board, int seat, int depth, Weighing weighing)
{
    if (const auto decided = decidedWorth(board, seat))
        return *decided;
    if (depth == 0)
        return evaluate(board, seat, weighing);
    int best = -2 * kDecided;
    bool any = false;
    for (int colour = 1; colour <= kColourCount; ++colour)
        if (board.legal(seat, colour)) {
            BitBoard next = board;
            next.play(seat, colour);
            best = std::max(best, -plainWorth(next, 1 - seat, depth - 1, weighing));
            any = true;
        }
    return any ? best : evaluate(board, seat, weighing);
}

} // namespace

TEST(Territory, IsWhatEachSeatReachesFirstRoundByRound)
{
    // Columns of one colour each: a round takes a column; the middle one is
    // reached by both in the same round and is nobody's.
    Field columns = makeField(kBoardRows, kBoardColumns);
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardColumns; ++c)
            columns[r][c] = 1 + c % 5;
    columns[kBoardRows - 1][kBoardColumns - 1] = 6; // the second corner apart
    const Territory split = territory(BitBoard(columns));
    EXPECT_EQ(split.cells[0], 22 * kBoardRows);
    EXPECT_EQ(split.cells[1], 1 + 21 * kBoardRows + (kBoardRows - 1));
    EXPECT_EQ(split.cells, territoryOnCells(columns));

    for (const BitBoard& board : positions(3, 15, 11)) {
        const Field field = board.field();
        ASSERT_EQ(territory(board).cells, territoryOnCells(field));
        // Either seat's view: the board turned gives the same, seats swapped.
        const Territory turned = territory(board.turned());
        ASSERT_EQ(turned.cells[0], territory(board).cells[1]);
    }
}

TEST(Search, AlphaBetaFindsTheWorthOfEveryMoveLookedAt)
{
    int checked = 0;
    for (const BitBoard& board : positions(3, 13, 5))
        for (const auto& [depth, weighing] : {std::pair{3, Weighing::Territory}, {4, Weighing::Regions}}) {
            const int seat = checked++ % 2;
            const SearchAnswer answer = searchMove(board, seat, {depth, weighing});
            ASSERT_TRUE(board.legal(seat, answer.colour));
            ASSERT_EQ(answer.worth, plainWorth(board, seat, depth, weighing));
            BitBoard after = board;
            after.play(seat, answer.colour);
            ASSERT_EQ(answer.worth, -plainWorth(after, 1 - seat, depth - 1, weighing)) << "its move is worth it";
            ASSERT_EQ(searchMove(board, seat, {depth, weighing}).colour, answer.colour) << "the same every time";
        }
    EXPECT_GT(checked, 20);
}

TEST(Search, OneMoveOnTheRegionsIsTheGreedyRule)
{
    for (const BitBoard& board : positions(4, 3, 21))
        for (int seat = 0; seat < 2; ++seat)
            ASSERT_EQ(searchMove(board, seat, {1, Weighing::Regions}).colour, greedyColour(board, seat));
}

TEST(Search, TakesAWinBlocksOneAndSeesALossComing)
{
    // Colour 3 fills the board but the top row and the second corner's two
    // neighbours: whoever of colour other than 3 touches it wins by it.
    Field field = makeField(kBoardRows, kBoardColumns, 3);
    for (int c = 0; c < kBoardColumns; ++c)
        field[0][c] = c % 2 == 0 ? 1 : 4;
    field[kBoardRows - 1][kBoardColumns - 1] = 2;
    field[kBoardRows - 1][kBoardColumns - 2] = 5;
    field[kBoardRows - 2][kBoardColumns - 1] = 5;
    const BitBoard board(field);
    for (int level = 1; level <= kSearchSeatLevels; ++level) {
        const SearchAnswer answer = searchMove(board, 0, searchDepthOf(level));
        EXPECT_EQ(answer.colour, 3) << "level " << level;
        EXPECT_GT(answer.worth, kDecided) << "level " << level;
    }
    // The second seat, to move, can only put it off a turn: by taking 3
    // itself, which the first may then not play. The greedy rule takes the
    // two cells of 5 and loses at once.
    EXPECT_EQ(greedyColour(board, 1), 5);
    EXPECT_EQ(searchMove(board, 1, {2, Weighing::Territory}).colour, 3);
    EXPECT_LT(searchMove(board, 1, {4, Weighing::Territory}).worth, -kDecided);
}

TEST(Search, EveryLevelPlaysOnlyLegalMovesAndLevelsWeighAsTheyShould)
{
    // A search player as the referee asks it: on cells as the first seat,
    // or on planes as either; the same choice both ways.
    int deepest = 0;
    for (const BitBoard& board : positions(1, 19, 8))
        for (int level = 1; level <= kSearchSeatLevels; ++level) {
            if (level == kSearchSeatLevels && ++deepest > 2)
                continue; // the slowest: a few positions tell
            VorlenLogicSearch player(level);
            const int onBits = player.moveOnBits(board, 0).value_or(0);
            ASSERT_TRUE(board.legal(0, onBits));
            ASSERT_EQ(player.makeMove(board.field()), onBits) << "level " << level;
            ASSERT_EQ(player.moveOnBits(board.turned(), 1), onBits) << "level " << level;
        }
    EXPECT_EQ(VorlenLogicSearch(1).makeMove(makeField(3, 3, 1)), 0) << "no colour on a board of another size";
    EXPECT_EQ(searchDepthOf(0).depth, searchDepthOf(1).depth);
    EXPECT_EQ(searchDepthOf(9).depth, searchDepthOf(kSearchSeatLevels).depth);
}

TEST(Search, ABudgetGivesUpADepthForTheDeepestDoneAndCountsNotTimes)
{
    int shallower = 0;
    for (const BitBoard& board : positions(2, 23, 31)) {
        const SearchAnswer whole = searchMove(board, 0, {5, Weighing::Regions, 0});
        EXPECT_EQ(whole.depth, 5);
        // A budget never reached: the same move as without one.
        const SearchAnswer roomy = searchMove(board, 0, {5, Weighing::Regions, 1'000'000});
        ASSERT_EQ(roomy.colour, whole.colour);
        ASSERT_EQ(roomy.worth, whole.worth);
        // One too small for depth 5: the answer of depth 3, as depth 3 alone gives it.
        const SearchAnswer tight = searchMove(board, 0, {5, Weighing::Regions, 40});
        ASSERT_LE(tight.nodes, 41);
        ASSERT_TRUE(board.legal(0, tight.colour));
        if (tight.depth < 5) {
            ++shallower;
            const SearchAnswer three = searchMove(board, 0, {tight.depth, Weighing::Regions, 0});
            ASSERT_EQ(tight.colour, three.colour);
            ASSERT_EQ(tight.worth, three.worth);
        }
        ASSERT_EQ(searchMove(board, 0, {5, Weighing::Regions, 40}).colour, tight.colour) << "the same every time";
        // Not even one depth: still a legal move.
        ASSERT_TRUE(board.legal(0, searchMove(board, 0, {5, Weighing::Regions, 1}).colour));
    }
    EXPECT_GT(shallower, 3);
}
