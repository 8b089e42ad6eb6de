#include "PlayerFactory.h"
#include "Rules.h"
#include "VorlenLogicTeam01.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "support/Boards.h"
#include "support/Bots.h"
#include "support/Fakes.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sstream>
#include <sys/resource.h>
#include <thread>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

class ExternalProgram : public ::testing::Test {
protected:
    // Runs one move of `commandLine` on `board` and keeps the trace.
    int move(const std::string& commandLine, const Field& board = stripedBoard())
    {
        VorlenLogicTeam01 player(commandLine, exchangeSettings("", "", Trace(nullptr, err.get())));
        const MoveResult result = player.play(board, -1);
        outcome = result.outcome;
        return result.colour;
    }

    std::string bot(const std::string& body) { return writeBot(dir, "bot.sh", body); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir.file(name)); }

    TempDir dir;
    WorkingDirectory cwd{dir.path()};
    MemoryStream err;
    VorlenLogicTeam01::Outcome outcome = VorlenLogicTeam01::Outcome::None;
};

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST_F(ExternalProgram, AnswerIsReadFromTheOutputFile)
{
    EXPECT_EQ(move(bot("echo 4 > vorla.out")), 4);
    EXPECT_EQ(move(bot("printf '  \\n 4 because' > vorla.out")), 4);
    EXPECT_EQ(move(bot("echo -3 > vorla.out")), -3);
    EXPECT_EQ(move(bot("echo 9 > vorla.out")), 9);
    EXPECT_EQ(err.text(), "Move 4\nMove 4\nMove -3\nMove 9\n");
    EXPECT_EQ(outcome, VorlenLogicTeam01::Outcome::Answered);
}

TEST_F(ExternalProgram, BotSeesTheBoardAndBothFilesStayAfterTheMove)
{
    const Field board = boardFromRows({"123", "456"});
    EXPECT_EQ(move(bot("cp vorla.in seen.txt; echo 5 > vorla.out"), board), 5);
    EXPECT_EQ(readFile(dir.file("seen.txt")), "123\n456\n");
    EXPECT_EQ(readFile(dir.file("vorla.in")), "123\n456\n");
    EXPECT_TRUE(exists("vorla.out"));
}

TEST_F(ExternalProgram, ProgramsThatCannotStart)
{
    std::filesystem::create_directory(dir.file("adir"));
    dir.write("plain.sh", "#!/bin/sh\necho 3 > vorla.out\n");
    for (const std::string& commandLine :
         {dir.file("missing-bot"), dir.file("adir"), dir.file("plain.sh"), std::string(), std::string("  ")}) {
        EXPECT_EQ(move(commandLine), -1) << commandLine;
        EXPECT_EQ(outcome, VorlenLogicTeam01::Outcome::FailedToStart);
    }
    std::string expected;
    for (int i = 0; i < 5; ++i)
        expected += "unable to start process\n";
    EXPECT_EQ(err.text(), expected);
    EXPECT_FALSE(exists("vorla.out"));
}

TEST_F(ExternalProgram, NoIntegerInTheAnswerIsNoMove)
{
    dir.write("vorla.out", "3\n"); // left by an earlier move
    EXPECT_EQ(move(bot("true")), -1);
    EXPECT_FALSE(exists("vorla.out"));
    EXPECT_EQ(move(bot("echo 99999999999 > vorla.out")), -1);
    EXPECT_EQ(move(bot("echo pass > vorla.out")), -1);
    EXPECT_EQ(err.text(), "no move in vorla.out\nno move in vorla.out\nno move in vorla.out\n");
    EXPECT_EQ(outcome, VorlenLogicTeam01::Outcome::NoMove);
}

TEST_F(ExternalProgram, AnswerCountsEvenWhenTheBotCrashesAfterwards)
{
    EXPECT_EQ(move(bot("echo 5 > vorla.out; kill -SEGV $$")), 5);
    EXPECT_EQ(err.text(), "Move 5\n");
}

TEST_F(ExternalProgram, SlowBotIsKilledAtTheTimeLimit)
{
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(move(bot("echo $$ > pid; sleep 5; echo 3 > vorla.out")), -1);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(2900));
    EXPECT_LT(took, std::chrono::milliseconds(4500));
    EXPECT_EQ(err.text(), "TL\n");
    EXPECT_EQ(outcome, VorlenLogicTeam01::Outcome::TimedOut);
    const pid_t group = std::stoi(readFile(dir.file("pid")));
    EXPECT_EQ(liveProcessesInGroup(group), 0);
    EXPECT_FALSE(exists("vorla.out"));
}

TEST_F(ExternalProgram, NoChildOfTheBotOutlivesItsMove)
{
    const std::string lingering =
        bot("echo $$ > pid; (sleep 1; echo 6 > vorla.out) & echo 4 > vorla.out");
    EXPECT_EQ(move(lingering), 4);
    const pid_t group = std::stoi(readFile(dir.file("pid")));
    EXPECT_EQ(liveProcessesInGroup(group), 0);

    // The next move writes nothing: the late child must not answer for it.
    EXPECT_EQ(move(bot("sleep 1.2")), -1);
    EXPECT_FALSE(exists("vorla.out"));
}

TEST_F(ExternalProgram, WhatTheBotPrintsIsNotKept)
{
    const long before = peakMemoryKiB();
    EXPECT_EQ(move(bot("head -c 100000000 /dev/zero; head -c 10000000 /dev/zero >&2; echo 2 > vorla.out")), 2);
    EXPECT_LT(peakMemoryKiB() - before, 10 * 1024);
}

TEST_F(ExternalProgram, InterpreterWithScriptAndQuotedArgument)
{
    dir.write("my bot.sh", "[ \"$1\" = \"a b\" ] && [ $# -eq 1 ] && echo 3 > vorla.out\n");
    EXPECT_EQ(move("/bin/sh \"" + dir.file("my bot.sh") + "\" \"a b\""), 3);
}

TEST_F(ExternalProgram, ShellSyntaxInTheCommandLineIsNotInterpreted)
{
    bot("echo 3 > vorla.out");
    EXPECT_EQ(move("./bot.sh ; touch hacked"), 3);
    EXPECT_FALSE(exists("hacked"));
}

TEST_F(ExternalProgram, BotStandardErrorCanGoToALog)
{
    VorlenLogicTeam01 player(bot("echo thinking >&2; echo 3 > vorla.out"),
                             exchangeSettings("", dir.file("bot.log"), Trace::silent()));
    EXPECT_EQ(player.makeMove(stripedBoard()), 3);
    EXPECT_EQ(player.makeMove(stripedBoard()), 3);
    EXPECT_EQ(readFile(dir.file("bot.log")), "thinking\nthinking\n");
    // Played in a turn, the move is marked in the file and its part kept with it.
    EXPECT_EQ(player.play(stripedBoard(), 7).log, "thinking\n");
    EXPECT_EQ(readFile(dir.file("bot.log")), "thinking\nthinking\n[vorlen] turn 7:\nthinking\n");
}

TEST_F(ExternalProgram, AFailedMoveIsNotedUnderItsTurnAsTheLogMarksIt)
{
    VorlenLogicTeam01 player(bot("echo lost >&2; exit 3"), exchangeSettings("", dir.file("bot.log"), Trace::silent()));
    const MoveResult failed = player.play(stripedBoard(), 89);
    EXPECT_EQ(failed.colour, -1);
    const std::string log = readFile(dir.file("bot.log"));
    EXPECT_EQ(log.rfind("[vorlen] turn 89:\nlost\n", 0), 0U) << log;
    EXPECT_NE(log.find("\n[vorlen] turn 89: no move in vorla.out"), std::string::npos) << log;
    EXPECT_EQ(log.find("move 1"), std::string::npos) << log;
}

TEST_F(ExternalProgram, ExchangeDirectoryOtherThanTheWorkingDirectory)
{
    TempDir other;
    VorlenLogicTeam01 player(bot("echo 4 > vorla.out"), exchangeSettings(other.path().string(), "", Trace::silent()));
    EXPECT_EQ(player.makeMove(stripedBoard()), 4);
    EXPECT_TRUE(std::filesystem::exists(other.file("vorla.in")));
    EXPECT_FALSE(exists("vorla.in"));
}

TEST_F(ExternalProgram, RefereeRetiresBadAnswersAndTurnsTheBoardForTheSecondSeat)
{
    Field board = stripedBoard(1, 2);
    board[40][0] = 5; // marks the last row's far end
    MemoryStream out;
    VorlenManager manager(45, 41, 2, Trace(out.get(), err.get()));
    VorlenLogicTeam02 first;
    VorlenLogicTeam01 second(bot("head -n 1 vorla.in > first-line; echo 9 > vorla.out"),
                             exchangeSettings("", "", Trace(nullptr, err.get())));
    manager.setPlayer(0, &first);
    manager.setPlayer(1, &second);
    manager.setBoard(board);
    manager.makeTurn(0);
    const Field seen = manager.board();
    manager.makeTurn(1);

    std::string lastRowReversed;
    for (auto cell = seen[40].rbegin(); cell != seen[40].rend(); ++cell)
        lastRowReversed += std::to_string(*cell);
    EXPECT_EQ(readFile(dir.file("first-line")), lastRowReversed + "\n");
    EXPECT_FALSE(second.active);
    EXPECT_EQ(err.text(), "Move 9\n1 incorrect move");
    EXPECT_TRUE(manager.board() == seen);
}

TEST(PlayerFactory, KindsSelectThePlayer)
{
    for (const int kind : {2, 0, 7, -1}) {
        const auto player = createPlayer(kind, "./anything");
        EXPECT_NE(dynamic_cast<VorlenLogicTeam02*>(player.get()), nullptr) << kind;
        EXPECT_TRUE(player->active);
    }
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const auto external = createPlayer(1, "");
    ASSERT_NE(dynamic_cast<VorlenLogicTeam01*>(external.get()), nullptr);
    EXPECT_TRUE(external->active);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(external->makeMove(stripedBoard()), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "unable to start process\n");
}
