// Playing on from a replay's position: the referee's whole state is as it
// was after K turns, and the same players end the match as the replay did.
#include "Boards.h"
#include "ReplayPosition.h"
#include "Retirement.h"
#include "VorlenLogicTeam02.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

using namespace vorlen;

namespace {

// A whole match of the built-in players on a seeded board.
Replay builtInMatch(int game)
{
    VorlenLogicTeam02 first;
    VorlenLogicTeam02 second;
    VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
    manager.setPlayer(0, &first);
    manager.setPlayer(1, &second);
    Replay replay;
    replay.board = seededBoard(3, game);
    manager.setBoard(replay.board);
    for (int turn = 0; !manager.gameOver(); ++turn) {
        manager.makeTurn(turn);
        replay.turns.push_back(recordTurn(manager, [&](int seat) {
            return retirementText(manager.retirement(seat), manager.lastResult(seat));
        }));
    }
    replay.finished = true;
    return replay;
}

} // namespace

TEST(ReplayPositions, ReadFromTheirTextAsTheTurnAfterWhichTheyStand)
{
    // "@K" stands after turn K (numbered from 0), as the slider and the page
    // number it: K + 1 turns played; "@start" stands before the first.
    const struct {
        const char* text;
        bool good;
        const char* path;
        int turns;
    } cases[] = {
        {"game-3.json@40", true, "game-3.json", 41},
        {"runs/a@b.json@0", true, "runs/a@b.json", 1},
        {"game-3.json@start", true, "game-3.json", 0},
        {"game.json@", false, "", 0},
        {"@12", false, "", 0},
        {"game.json", false, "", 0},
        {"game.json@-1", false, "", 0},
        {"game.json@+1", false, "", 0},
        {"game.json@4x", false, "", 0},
        {"game.json@Start", false, "", 0},
        {"game.json@99999999999", false, "", 0},
    };
    for (const auto& c : cases) {
        const auto position = parseReplayPosition(c.text);
        ASSERT_EQ(position.has_value(), c.good) << c.text;
        if (!c.good)
            continue;
        EXPECT_EQ(position->path, c.path);
        EXPECT_EQ(position->turns, c.turns);
        EXPECT_EQ(position->label(), std::string("replay:") + c.text) << "a label reads back the same";
    }
}

TEST(ReplayPositions, TheSamePlayersEndAsTheReplayDid)
{
    const Replay replay = builtInMatch(5);
    const int length = static_cast<int>(replay.turns.size());
    for (const int from : {0, 1, 17, length / 2, length - 1}) {
        VorlenLogicTeam02 first;
        VorlenLogicTeam02 second;
        VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
        std::string problem;
        ASSERT_TRUE(playUpTo(manager, replay, from, {&first, &second}, problem)) << problem;
        if (from > 0) {
            EXPECT_EQ(manager.score(), replay.turns[static_cast<std::size_t>(from - 1)].score);
        }
        int turn = from;
        for (; !manager.gameOver(); ++turn) {
            manager.makeTurn(turn);
            ASSERT_LT(turn, length) << "from " << from;
            EXPECT_EQ(manager.lastTurn().seat, replay.turns[static_cast<std::size_t>(turn)].seat);
            EXPECT_EQ(manager.score(), replay.turns[static_cast<std::size_t>(turn)].score) << "turn " << turn;
        }
        EXPECT_EQ(turn, length) << "from " << from;
    }
}

TEST(ReplayPositions, ARetiredSeatStaysOutAndTheEndCannotBePlayedOn)
{
    Replay replay = builtInMatch(6);
    // The first seat answers 9 at turn 2 in this version of the match.
    replay.turns.resize(2);
    VorlenLogicTeam02 b;
    {
        vorlen::testing::ScriptedPlayer nine({9});
        VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
        manager.setPlayer(0, &nine);
        manager.setPlayer(1, &b);
        std::string problem;
        ASSERT_TRUE(playUpTo(manager, replay, 2, {&nine, &b}, problem)) << problem;
        manager.makeTurn(2);
        replay.turns.push_back(recordTurn(manager, [](int) { return std::string("colour outside 1-6"); }));
    }
    VorlenLogicTeam02 first;
    VorlenLogicTeam02 second;
    VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
    std::string problem;
    ASSERT_TRUE(playUpTo(manager, replay, 3, {&first, &second}, problem)) << problem;
    EXPECT_FALSE(first.active) << "out in the replay, out from there on";
    EXPECT_TRUE(second.active);
    manager.makeTurn(3);
    EXPECT_EQ(manager.lastTurn().seat, 1);
    manager.makeTurn(4);
    EXPECT_FALSE(manager.lastTurn().moved) << "the retired seat does not move";

    const Replay whole = builtInMatch(5);
    VorlenManager over(kBoardColumns, kBoardRows, 2, Trace::silent());
    EXPECT_FALSE(playUpTo(over, whole, static_cast<int>(whole.turns.size()), {&first, &second}, problem));
    EXPECT_NE(problem.find("the match is over after"), std::string::npos) << problem;
    EXPECT_FALSE(playUpTo(over, whole, static_cast<int>(whole.turns.size()) + 1, {&first, &second}, problem));
    EXPECT_NE(problem.find("the replay has"), std::string::npos) << problem;
    // A turn the referee does not come to is said, not skipped.
    Replay forged = whole;
    forged.turns[3].score.first += 1;
    EXPECT_FALSE(playUpTo(over, forged, 5, {&first, &second}, problem));
    EXPECT_EQ(problem.rfind("turn 3: ", 0), 0U) << problem;
}
