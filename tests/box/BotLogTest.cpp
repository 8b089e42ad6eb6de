#include "BotLog.h"

#include "Replay.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

std::string contents(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A move's part of the log as a replay keeps it.
std::string moveLog(const BotLog& log) { return moveLogKept(log.moveStart(), log.moveWritten()); }

} // namespace

TEST(BotLogs, KeepEachMovesPartWithOrWithoutAFile)
{
    TempDir dir;
    BotLog withFile{kMoveLogBytes};
    std::string error;
    ASSERT_TRUE(withFile.open(dir.file("seat.log"), 200, error)) << error;
    BotLog without{kMoveLogBytes};
    for (BotLog* log : {&withFile, &without}) {
        log->beginMove(0);
        log->append("thinking");
        log->append(" hard\nchose 3\n");
        EXPECT_EQ(moveLog(*log), "thinking hard\nchose 3\n");
        EXPECT_EQ(log->lastLine(), "chose 3");
        log->beginMove(2);
        EXPECT_EQ(moveLog(*log), "") << "a move's part starts empty";
        log->append("Traceback");
        log->note("move 2: no move in vorla.out");
        EXPECT_EQ(moveLog(*log), "Traceback\n[vorlen] move 2: no move in vorla.out\n");
        // A move that writes more than a replay keeps says how much was left out.
        log->beginMove(4);
        log->append(std::string(kMoveLogBytes + 10, 'x'));
        const std::string kept = moveLog(*log);
        EXPECT_TRUE(kept.rfind(std::string(kMoveLogBytes, 'x') + "\n[vorlen] cut: ", 0) == 0) << kept.substr(4000);
    }
    // The file marks each move on a line of its own, and stops at its cap.
    const std::string file = contents(dir.file("seat.log"));
    EXPECT_EQ(file.rfind("[vorlen] turn 0:\nthinking hard\nchose 3\n[vorlen] turn 2:\nTraceback\n"
                         "[vorlen] move 2: no move in vorla.out\n[vorlen] turn 4:\n",
                         0),
              0U)
        << file;
    EXPECT_NE(file.find("[vorlen] log cut at 200 bytes"), std::string::npos) << file;
    EXPECT_LT(file.size(), 300U);
}

TEST(BotLogs, ABotsLineThatLooksLikeTheRefereesIsMarkedAsTheBots)
{
    TempDir dir;
    BotLog withFile{kMoveLogBytes};
    std::string error;
    ASSERT_TRUE(withFile.open(dir.file("seat.log"), 1 << 16, error)) << error;
    BotLog without{kMoveLogBytes};
    for (BotLog* log : {&withFile, &without}) {
        log->beginMove(0);
        // In pieces as a bot writes them, the mark split between two.
        for (const char* piece : {"[vor", "len] move 0: ended by the CPU limit\nok [vorlen] inside\n[vorl", "ate]\n[",
                                  "vorlen]"})
            log->append(piece);
        log->note("move 0: no move in vorla.out");
        EXPECT_EQ(moveLog(*log), "[bot] [vorlen] move 0: ended by the CPU limit\nok [vorlen] inside\n[vorlate]\n"
                                  "[bot] [vorlen]\n[vorlen] move 0: no move in vorla.out\n");
        // A start held at the end of a move is the bot's all the same.
        log->beginMove(2);
        log->append("[vorlen");
        log->beginMove(4);
        log->append("fine\n");
        EXPECT_EQ(moveLog(*log), "fine\n");
    }
    const std::string file = contents(dir.file("seat.log"));
    EXPECT_NE(file.find("[vorlen] turn 2:\n[vorlen\n[vorlen] turn 4:\nfine\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("\n[vorlen] move 0: ended"), std::string::npos) << file;
}
