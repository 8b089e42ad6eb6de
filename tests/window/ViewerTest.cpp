// What the window works out and says of a match, as plain data.
#include "BoardFitter.h"
#include "Palette.h"
#include "PlayerFactory.h"
#include "SeatView.h"
#include "support/Bots.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// A 2 × 3 board: the first seat's region holds 2 cells, the second's 1.
Field smallBoard() { return {{1, 1, 2}, {3, 4, 5}}; }

Replay threeTurns()
{
    Replay replay;
    replay.board = smallBoard();
    replay.players = {"stream:/opt/bots/lowbot --fast", "stupid"};
    replay.turns = {{0, 3, 12.0, {3, 1}, {}, {}, {}},
                    {1, 9, 40.0, {3, 1}, {{1, "colour outside 1-6"}}, {}, {}},
                    {0, 4, 30.0, {6, 1}, {{0, "full board"}}, {}, {}}};
    replay.finished = true;
    return replay;
}

} // namespace

TEST(SeatViews, FollowTheTurnsOnShow)
{
    const Replay replay = threeTurns();
    const struct {
        int shown;
        int firstScore, secondScore, firstMoves, secondMoves;
        SeatView::State first, second;
        const char* firstStatus;
        const char* secondStatus;
    } cases[] = {
        {0, 2, 1, 0, 0, SeatView::State::ToMove, SeatView::State::Waiting, "to move", "waiting"},
        {1, 3, 1, 1, 0, SeatView::State::Waiting, SeatView::State::ToMove, "waiting", "to move"},
        {2, 3, 1, 1, 1, SeatView::State::ToMove, SeatView::State::Out, "to move", "out: colour outside 1-6"},
        {3, 6, 1, 2, 1, SeatView::State::Done, SeatView::State::Out, "done: full board", "out: colour outside 1-6"},
        {99, 6, 1, 2, 1, SeatView::State::Done, SeatView::State::Out, "done: full board", "out: colour outside 1-6"},
    };
    for (const auto& c : cases) {
        const auto seats = seatViews(replay, c.shown, smallBoard());
        EXPECT_EQ(seats[0].score, c.firstScore) << c.shown;
        EXPECT_EQ(seats[1].score, c.secondScore) << c.shown;
        EXPECT_EQ(seats[0].moves, c.firstMoves) << c.shown;
        EXPECT_EQ(seats[1].moves, c.secondMoves) << c.shown;
        EXPECT_EQ(seats[0].state, c.first) << c.shown;
        EXPECT_EQ(seats[1].state, c.second) << c.shown;
        EXPECT_EQ(statusText(seats[0]), c.firstStatus) << c.shown;
        EXPECT_EQ(statusText(seats[1]), c.secondStatus) << c.shown;
    }
    auto end = seatViews(replay, 3, smallBoard());
    EXPECT_EQ(end[0].name, "lowbot");
    // Where the run named its players, they are shown so, the command beside.
    Replay named = replay;
    named.names = {"v7", "stupid"};
    EXPECT_EQ(seatViews(named, 3, smallBoard())[0].name, "v7");
    EXPECT_EQ(seatViews(named, 3, smallBoard())[0].command, "stream:/opt/bots/lowbot --fast");
    EXPECT_EQ(end[0].command, "stream:/opt/bots/lowbot --fast");
    EXPECT_EQ(end[0].colour, 1);
    EXPECT_EQ(end[1].colour, 5);
    EXPECT_DOUBLE_EQ(end[0].share, 1.0);
    EXPECT_DOUBLE_EQ(end[0].meanMs, 21.0);
    EXPECT_DOUBLE_EQ(end[0].largestMs, 30.0);
    // An answer that is no colour is still a move, and its time counts.
    EXPECT_DOUBLE_EQ(end[1].largestMs, 40.0);
}

TEST(SeatViews, ThinkingShowsTheTimeAndTheLimit)
{
    SeatView seat;
    seat.state = SeatView::State::ToMove;
    EXPECT_EQ(statusText(seat, 1234, 3000), "thinking\u2026 1.2 s of 3.0 s");
    EXPECT_EQ(statusText(seat, 50), "thinking\u2026 0.1 s");
    seat.state = SeatView::State::Waiting;
    EXPECT_EQ(statusText(seat, 1234, 3000), "waiting");
}

TEST(ResultBanner, NamesTheWinnerAndHowTheMatchEnded)
{
    Replay replay = threeTurns();
    EXPECT_EQ(resultText(replay, 2), "") << "not at the end";
    // A failure says more than the end it led to.
    EXPECT_EQ(resultText(replay, 3), "lowbot wins, 6 to 1 (stupid (second) failed: colour outside 1-6)");

    // Both failures are told, and who won on score.
    replay.turns[2].retired = {{0, "time limit"}};
    EXPECT_EQ(resultText(replay, 3), "Both failed: second (stupid): colour outside 1-6; first (lowbot): time limit; "
                                     "lowbot wins on score, 6 to 1");
    replay.turns[2].score = {1, 1};
    EXPECT_EQ(resultText(replay, 3), "Both failed: second (stupid): colour outside 1-6; first (lowbot): time limit; "
                                     "the match is a draw, 1 to 1");
    replay.turns[2].score = {6, 1};
    replay.turns[1].retired.clear();
    replay.turns[2].retired = {{0, "stall"}, {1, "stall"}};
    EXPECT_EQ(resultText(replay, 3), "lowbot wins, 6 to 1 (stall: no change in 8 turns)");
    replay.turns[2].retired = {{0, "full board"}};
    replay.turns[2].score = {1, 1};
    EXPECT_EQ(resultText(replay, 3), "A draw, 1 to 1 (full board)");
    replay.finished = false;
    EXPECT_EQ(resultText(replay, 3), "") << "an unfinished match has no result";
    EXPECT_EQ(resultText(Replay{}, 0), "");
}

TEST(BoardFitting, TheLargestWholeCellThatFits)
{
    const struct {
        QSize area, around;
        int cell;
    } cases[] = {
        {{675, 615}, {0, 0}, 15},
        {{700, 2000}, {0, 0}, 15},   // the narrow side decides
        {{2000, 656}, {0, 41}, 15},  // what is around takes its share
        {{1000, 1000}, {100, 100}, 20},
        {{100, 100}, {0, 0}, 7},     // never below the smallest
        {{0, 0}, {50, 50}, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fittingCell(c.area, c.around, 7), c.cell) << c.area.width() << "x" << c.area.height();
}

TEST(Palettes, ByNameAndApart)
{
    EXPECT_EQ(paletteNamed("classic")->of(1), (Rgb{255, 0, 0}));
    EXPECT_EQ(paletteNamed("colorblind")->of(6), colourBlindPalette().of(6));
    for (const char* bad : {"", "Classic", "colourblind", "colorblind ", "red"})
        EXPECT_FALSE(paletteNamed(bad)) << bad;
    // Every two colours of a palette differ clearly, in brightness or in hue.
    for (const Palette& palette : {classicPalette(), colourBlindPalette()})
        for (int a = 1; a <= kColourCount; ++a)
            for (int b = a + 1; b <= kColourCount; ++b) {
                const Rgb& x = palette.of(a);
                const Rgb& y = palette.of(b);
                const int distance = std::abs(x.red - y.red) + std::abs(x.green - y.green) + std::abs(x.blue - y.blue);
                EXPECT_GT(distance, 100) << palette.nameOf(a) << " and " << palette.nameOf(b);
            }
}

TEST(ProgramProblems, SaidBeforeTheMatch)
{
    TempDir dir;
    const std::string bot = writeBot(dir, "bot.sh", "echo 1 > vorla.out");
    dir.write("plain.txt", "not a program");
    std::filesystem::create_directories(dir.file("bots/flaky"));
    dir.write("bots/flaky/main.py", "print(1)");
    dir.write("Main.class", "");
    const struct {
        std::string command;
        std::string problem; // the start of it; empty: none
    } cases[] = {
        {"./bot.sh", ""},
        {"stream:./bot.sh --fast", ""},
        {"sh -c true", ""},
        {"./missing", "cannot run './missing': "},
        {"stream:./missing", "cannot run './missing': "},
        {"./plain.txt", "cannot run './plain.txt': "},
        {"no-such-program-here", "cannot run 'no-such-program-here': "},
        {"\"./bot.sh", "a quote is not closed"},
        {"   ", "the command line is empty"},
        // An interpreter's script is part of the command: missing, it is said.
        {"python3 bots/flaky/main.py", ""},
        {"python3 -u bots/flaky/main.py 0.75", ""},
        {"sh bots/flaky/main.py", ""},
        {"java -cp . Main", ""},
        {"python3 -c \"import sys; print(1/2)\"", ""},
        {"python3 -m http.server", ""},
        {"sh -c \"exit 0\" bot.sh", ""},
        {"python3 bots/gone/main.py", "cannot run 'python3 bots/gone/main.py': 'bots/gone/main.py' is not there (from "},
        {"python3 -u gone.py", "cannot run 'python3 -u gone.py': 'gone.py' is not there"},
        {"stream:node /nowhere/bot.js", "cannot run 'node /nowhere/bot.js': '/nowhere/bot.js' is not there"},
        {"java -cp lib/gone Main", "cannot run 'java -cp lib/gone Main': 'lib/gone' is not there"},
    };
    for (const auto& c : cases) {
        const auto problem = programProblem(c.command, dir.path());
        if (c.problem.empty()) {
            EXPECT_FALSE(problem) << c.command << ": " << problem.value_or("");
            continue;
        }
        ASSERT_TRUE(problem) << c.command;
        EXPECT_EQ(problem->rfind(c.problem, 0), 0U) << c.command << ": " << *problem;
    }
}
