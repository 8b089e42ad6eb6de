// "Play on after turn K" means one position wherever it is asked for: the
// window's --play-from K and Play from here on the slider's turn K, and
// vorlen-match's --start REPLAY@K and a board list's replay:FILE@K.
#include "ReplayFile.h"
#include "StartupOptions.h"
#include "main_window.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"
#include "support/Window.h"

#include <QAction>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// The first turn a bot played in a replay, and the board it read then.
struct FirstSeen {
    std::size_t turn = 0;
    std::string board;
    bool operator==(const FirstSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const FirstSeen& seen)
{
    return out << "turn " << seen.turn << ", board " << seen.board.substr(0, 40) << "...";
}

FirstSeen firstSeen(const Replay& replay)
{
    for (std::size_t turn = 0; turn < replay.turns.size(); ++turn)
        if (const std::size_t at = replay.turns[turn].log.find("seen:"); at != std::string::npos)
            return {turn, replay.turns[turn].log.substr(at, replay.turns[turn].log.find('\n', at) - at)};
    return {};
}

Replay readBack(const std::string& path)
{
    Replay replay;
    std::string error;
    EXPECT_TRUE(readReplayFile(path, replay, error)) << path << ": " << error;
    return replay;
}

std::unique_ptr<main_window> windowWith(const QStringList& options)
{
    return std::make_unique<main_window>(QStringList{"vorlen"} << options, nullptr);
}

} // namespace

TEST(PlayOnStarts, EveryWayToPlayOnAfterTurnKStartsFromTheSameBoard)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // Tells the board it read on one line, so the first move played anew shows where play went on.
    writeBot(dir, "seer.sh", "printf 'seen:%s\\n' \"$(tr -d '\\n' < vorla.in)\" >&2; head -c 1 vorla.in > vorla.out");
    ASSERT_EQ(runTool("--games 1 --seed 4 --replays before").exitCode, 0);
    const Replay original = readBack(dir.file("before/game-0.json"));
    // Turn 10 is the first seat's own: one turn off, the seer would play it.
    // After it the second seat moves, so turn 12 is the seer's first.
    const int turn = 10;
    const std::size_t expected = 12;

    std::vector<std::pair<std::string, FirstSeen>> seen;
    ASSERT_EQ(runTool("--start before/game-0.json@10 --first ./seer.sh --games 1 --replays start").exitCode, 0);
    seen.emplace_back("--start REPLAY@K", firstSeen(readBack(dir.file("start/game-0.json"))));
    dir.write("list.txt", "replay:before/game-0.json@10\n");
    ASSERT_EQ(runTool("--boards list.txt --first ./seer.sh --games 1 --replays listed").exitCode, 0);
    seen.emplace_back("replay:FILE@K", firstSeen(readBack(dir.file("listed/game-0.json"))));

    ::testing::internal::CaptureStdout();
    const auto fromOption = windowWith({"--first", "./seer.sh"});
    const std::optional<int> turns =
        playFromTurns(scanStartupOptions({"vorlen", "--replay", "before/game-0.json", "--play-from", "10"}));
    ASSERT_TRUE(turns.has_value());
    std::string problem;
    ASSERT_TRUE(fromOption->playFrom(original, *turns, problem)) << problem;
    playTurn(*fromOption);
    playTurn(*fromOption);
    seen.emplace_back("--play-from K", firstSeen(fromOption->replay()));

    const auto viewer = windowWith({"--first", "./seer.sh"});
    viewer->viewReplay(original);
    viewer->showTurn(turn + 1); // the slider's "turn 10": the board after it
    QAction* here = nullptr;
    for (QAction* action : viewer->findChildren<QAction*>())
        if (action->text() == "Play from here")
            here = action;
    ASSERT_NE(here, nullptr);
    here->trigger();
    playTurn(*viewer);
    playTurn(*viewer);
    seen.emplace_back("Play from here", firstSeen(viewer->replay()));
    ::testing::internal::GetCapturedStdout();

    for (const auto& [how, first] : seen) {
        EXPECT_EQ(first.turn, expected) << how;
        EXPECT_FALSE(first.board.empty()) << how;
        EXPECT_EQ(first, seen.front().second) << how << " against " << seen.front().first;
    }

    // The window saves the board of the move on show as its seat read it:
    // the seer's own, and the second seat's, turned, as vorlen-match move saves it.
    const auto saver = windowWith({});
    saver->viewReplay(readBack(dir.file("start/game-0.json")));
    QAction* save = nullptr;
    for (QAction* action : saver->findChildren<QAction*>())
        if (action->text().startsWith("Save the board as seat"))
            save = action;
    ASSERT_NE(save, nullptr);
    for (const int move : {12, 11}) {
        saver->showTurn(move + 1);
        EXPECT_EQ(save->text().toStdString(), "Save the board as seat " + std::to_string(move % 2 + 1) + " saw it\u2026");
        ASSERT_TRUE(saver->saveSeenBoard(dir.file("saved.in"), problem)) << problem;
        ASSERT_EQ(runTool("move start/game-0.json@" + std::to_string(move) + " --save-input moved.in").exitCode, 0);
        EXPECT_EQ(readFile(dir.file("saved.in")), readFile(dir.file("moved.in"))) << "turn " << move;
    }
    saver->showTurn(13);
    ASSERT_TRUE(saver->saveSeenBoard(dir.file("saved.in"), problem)) << problem;
    std::string flat = readFile(dir.file("saved.in"));
    flat.erase(std::remove(flat.begin(), flat.end(), '\n'), flat.end());
    EXPECT_EQ("seen:" + flat, seen.front().second.board) << "what the bot itself read";
}

TEST(PlayOnStarts, AReplayWithRelativePathsPlaysOnFromAnotherFolderAndAMissingScriptIsSaidFirst)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("run/bots/own"));
    std::filesystem::create_directories(dir.file("elsewhere"));
    // Plays the lowest colour that is not its own.
    writeBot(dir, "run/bots/own/bot.sh",
             "echo thinking >&2; own=$(head -c 1 vorla.in)\n"
             "for c in 1 2 3 4 5 6; do [ \"$c\" != \"$own\" ] && { echo $c > vorla.out; exit 0; }; done");
    const std::string typed = "sh bots/own/bot.sh";
    Replay ran;
    {
        WorkingDirectory cwd(dir.file("run"));
        ASSERT_EQ(runTool("--first \"" + typed + "\" --games 1 --seed 4 --replays out").exitCode, 0);
        ran = readBack(dir.file("run/out/game-0.json"));
    }
    EXPECT_EQ(ran.players[0], typed) << "kept as typed, for display";
    EXPECT_EQ(ran.playersAsRun[0], "sh " + dir.file("run/bots/own/bot.sh"));
    EXPECT_EQ(ran.runFolder, dir.file("run"));

    WorkingDirectory cwd(dir.file("elsewhere"));
    // The runner asks the seat's own player, as it ran, for a recorded move.
    const ToolRun move = runTool("move ../run/out/game-0.json@4", "2>&1");
    EXPECT_EQ(move.exitCode, 0) << move.out;
    EXPECT_NE(move.out.find("answer: " + std::to_string(*ran.turns[4].answer) + " (the replay's: "), std::string::npos)
        << move.out;
    EXPECT_NE(move.out.find("thinking"), std::string::npos) << move.out;

    // The window plays on with it.
    ::testing::internal::CaptureStdout();
    const auto window = windowWith({});
    std::string problem;
    ASSERT_TRUE(window->playFrom(ran, 4, problem)) << problem;
    EXPECT_TRUE(window->startProblems().empty()) << window->startProblems().front();
    playTurn(*window);
    ASSERT_EQ(window->replay().turns.size(), 5U);
    EXPECT_TRUE(window->replay().turns[4].retired.empty()) << "the bot was found and moved";
    EXPECT_NE(window->replay().turns[4].log.find("thinking"), std::string::npos) << window->replay().turns[4].log;

    // Gone, the script is said before any move, by both.
    std::filesystem::rename(dir.file("run/bots"), dir.file("run/moved"));
    const std::string gone = "'" + dir.file("run/bots/own/bot.sh") + "' is not there";
    const ToolRun refused = runTool("move ../run/out/game-0.json@4", "2>&1");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.out.find(gone), std::string::npos) << refused.out;
    const auto missing = windowWith({});
    ASSERT_TRUE(missing->playFrom(ran, 4, problem)) << problem;
    ASSERT_FALSE(missing->startProblems().empty());
    EXPECT_NE(missing->startProblems().front().find(gone), std::string::npos) << missing->startProblems().front();
    ::testing::internal::GetCapturedStdout();
}
