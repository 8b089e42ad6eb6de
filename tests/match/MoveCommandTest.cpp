// One move asked again, outside any match: the board as the bot read it.
#include "ReplayFile.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// A bot that says what it read and answers the first colour it may play.
const char* kEchoBot = "cat vorla.in >&2\n"
                       "own=$(head -c1 vorla.in); their=$(tail -c2 vorla.in | head -c1)\n"
                       "for c in 1 2 3 4 5 6; do [ $c != $own ] && [ $c != $their ] && break; done\n"
                       "echo $c > vorla.out";

} // namespace

TEST(MoveCommand, AReplaysMoveComesBackWithTheBoardTheBotRead)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    writeBot(dir, "echo.sh", kEchoBot);
    ASSERT_EQ(runTool("--first ./echo.sh --games 1 --seed 4 --replays r --no-preflight").exitCode, 0);
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(dir.file("r/game-0.json"), replay, error)) << error;
    // Seat 1's moves are the even turns, seat 2's the odd ones (the built-in player's).
    for (const int turn : {0, 6, 7}) {
        const std::string at = "r/game-0.json@" + std::to_string(turn);
        const std::string player = turn % 2 == 0 ? "./echo.sh" : "stupid";
        const ToolRun run = runTool("move " + at + " " + player + " --save-input seen.in");
        ASSERT_EQ(run.exitCode, 0) << at << "\n" << run.out;
        const int recorded = *replay.turns[static_cast<std::size_t>(turn)].answer;
        EXPECT_NE(run.out.find("answer: " + std::to_string(recorded) + " (the replay's: " + std::to_string(recorded) + ")"),
                  std::string::npos) << run.out;
        EXPECT_NE(run.out.find("seat " + std::to_string(turn % 2 + 1)), std::string::npos) << run.out;
        // The file bot's log is the board it read: the one saved.
        if (turn % 2 == 0) {
            EXPECT_EQ(replay.turns[static_cast<std::size_t>(turn)].log, readFile(dir.file("seen.in"))) << at;
            EXPECT_NE(run.out.find("standard error:\n" + readFile(dir.file("seen.in"))), std::string::npos) << run.out;
        }
    }
    // A move that fails says why and how to fix it, and ends with 1.
    writeBot(dir, "broken.sh", "echo 'Traceback: oops' >&2; exit 1");
    const ToolRun broken = runTool("move r/game-0.json@0 ./broken.sh --no-sandbox");
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.out.find("no answer: no move in vorla.out"), std::string::npos) << broken.out;
    EXPECT_NE(broken.out.find("Traceback: oops"), std::string::npos) << broken.out;
    EXPECT_NE(broken.out.find("hint: "), std::string::npos) << broken.out;
}

TEST(MoveCommand, BadPositionsAndOptionsAreRefusedWithTwo)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    writeBot(dir, "echo.sh", kEchoBot);
    ASSERT_EQ(runTool("--first ./echo.sh --games 1 --seed 4 --replays r --no-preflight").exitCode, 0);
    dir.write("short.in", "123\n");
    const struct {
        std::string arguments;
        std::string said;
    } cases[] = {
        {"", "name a position and a player"},
        {"seed:1:2", "name the player to ask, or --save-input FILE"},
        {"seed:1:2 stupid --seat 3", "--seat is 1 or 2, not '3'"},
        {"seed:1:2 stupid --seat", "--seat needs a value"},
        {"seed:1:2 stupid --move-time 0", "--move-time needs milliseconds from 1 to"},
        {"seed:1:2 stupid --fast", "unknown option '--fast'"},
        {"seed:1:2 person", "a person plays only in the window"},
        {"seed:1:2 search:7", "no search player 'search:7': the levels are search:1 (the weakest) to search:5"},
        {"nowhere stupid", "a position is REPLAY@K, seed:S:K, map:FILE or input:FILE"},
        {"seed:x:2 stupid", "seed:S:K needs two whole numbers"},
        {"r/game-0.json@9999 stupid", "the replay has"},
        {"r/game-0.json@1 stupid --seat 1", "turn 1 is seat 2's"},
        {"missing.json@1 stupid", "missing.json@1: "},
        // A move is a turn's own: "start" is no turn, and a program must be there to ask it.
        {"r/game-0.json@start stupid", "a position is REPLAY@K"},
        {"r/game-0.json@-1 stupid", "a position is REPLAY@K"},
        {"seed:1:2 ./gone.sh", "cannot run './gone.sh': "},
        {"seed:1:2 \"python3 gone.py\"", "cannot run 'python3 gone.py': 'gone.py' is not there"},
        {"map:missing.map stupid", "map:missing.map: missing.map: "},
        {"input:short.in stupid", "input:short.in: short.in: "},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool("move " + c.arguments, "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.arguments;
        EXPECT_EQ(run.out.rfind("vorlen-match: move: ", 0), 0U) << c.arguments << "\n" << run.out;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << c.arguments << "\n" << run.out;
    }
}
