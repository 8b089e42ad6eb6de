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
}
