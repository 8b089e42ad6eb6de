// A file bot that keeps state in its seat folder fails again where it
// failed when play goes on from the turn before: the replay kept what it
// left there, and every way of playing on puts it back.
#include "MatchRecord.h"
#include "RecordText.h"
#include "ReplayFile.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "BotLogPanel.h"
#include "main_window.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"
#include "support/Window.h"

#include <QAction>

#include <gtest/gtest.h>

#include <fstream>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

Replay readBack(const std::string& path)
{
    Replay replay;
    std::string error;
    EXPECT_TRUE(readReplayFile(path, replay, error)) << path << ": " << error;
    return replay;
}

int firstRetiredTurn(const std::string& records)
{
    std::vector<match::MatchRecord> read;
    std::string error;
    EXPECT_TRUE(match::readRecordFile(records, read, error)) << error;
    return read.empty() ? -2 : read.front().seats[0].retiredTurn;
}

} // namespace

TEST(SeatFiles, AStatefulBotsFailureComesBackWhenPlayedOnWithItsSeatFiles)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    writeBot(dir, "crasher.sh", kCrashesOnItsThirdMove); // first seat: fails in turn 4
    ASSERT_EQ(runTool("--first ./crasher.sh --games 1 --replays before --results before.jsonl --report pages").exitCode,
              0);
    ASSERT_EQ(firstRetiredTurn(dir.file("before.jsonl")), 4);
    const Replay before = readBack(dir.file("before/game-0.json"));
    ASSERT_TRUE(before.turns[2].seatFiles.has_value()) << "the count it keeps, after its second move";
    EXPECT_EQ(before.turns[2].seatFiles->files, (std::vector<SeatFile>{{"count", "2\n"}}));
    EXPECT_FALSE(before.turns[1].seatFiles.has_value()) << "the built-in player has no folder";
    std::ifstream page(dir.file("pages/game-0.html"));
    const std::string html((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
    EXPECT_NE(html.find("its seat folder after the move: count: \\\"2\\\""), std::string::npos)
        << "the page shows it with the move's log";

    const struct {
        const char* how;
        std::string options;
        int retiredTurn;
    } runs[] = {
        {"with its files", "", 4},
        {"without them: it starts counting afresh", " --no-seat-files", 8},
    };
    for (const auto& run : runs) {
        ASSERT_EQ(runTool("--start before/game-0.json@3 --first ./crasher.sh --games 1 --results again.jsonl"
                          + run.options).exitCode, 0) << run.how;
        EXPECT_EQ(firstRetiredTurn(dir.file("again.jsonl")), run.retiredTurn) << run.how;
        std::filesystem::remove(dir.file("again.jsonl"));
    }

    // One move again, as that move found its folder.
    const ToolRun move = runTool("move before/game-0.json@4", "2>&1");
    EXPECT_EQ(move.exitCode, 1) << move.out;
    EXPECT_NE(move.out.find("broke at move 3"), std::string::npos) << move.out;

    // The window's Play from here, where the bot has a folder of its own: in a box.
    std::string why;
    if (!probeSandbox(findSandbox(), why))
        GTEST_SKIP() << "no box here for the window's part: " << why;
    ::testing::internal::CaptureStdout();
    main_window window(QStringList{"vorlen", "--sandbox"}, nullptr);
    window.viewReplay(before);
    window.showTurn(4); // after turn 3
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == "Play from here")
            action->trigger();
    playTurn(window);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(window.replay().turns.size(), 5U);
    EXPECT_EQ(window.replay().turns[4].retired.size(), 1U) << window.replay().turns[4].log;
    EXPECT_NE(window.replay().turns[4].log.find("broke at move 3"), std::string::npos) << window.replay().turns[4].log;
    EXPECT_NE(window.botLogs()->text().indexOf("its seat folder after the move: count: \"3\""), -1)
        << window.botLogs()->text().toStdString();
}
