// The live match without a window: turns on the referee's thread, told by value.
#include "LiveMatch.h"

#include "Boards.h"
#include "support/Fakes.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// Names a colour no board has, and says why and how to fix it.
class FailingPlayer : public IVorlenLogic {
public:
    int makeMove(const Field& field) override { return play(field, -1).colour; }
    MoveResult play(const Field&, int) override
    {
        return {-1, Outcome::NoMove, "exit code 1", "write the move to vorla.out", "Traceback\n", {}};
    }
    void endMatch() override { ++ended; }
    int ended = 0;
};

LiveTurn playOne(LiveMatch& match, int turn)
{
    QSignalSpy told(&match, &LiveMatch::turnPlayed);
    EXPECT_TRUE(match.playTurn(turn));
    EXPECT_TRUE(told.wait(10'000));
    return told.isEmpty() ? LiveTurn{} : told.takeFirst().at(0).value<LiveTurn>();
}

} // namespace

TEST(LiveMatches, TellEachTurnByValueAndKeepTheMatchAsAReplay)
{
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    VorlenManager referee(kBoardColumns, kBoardRows, 2);
    referee.loadMap({});
    const Field start = referee.board();
    LiveMatch match(referee);
    auto failing = std::make_unique<FailingPlayer>();
    FailingPlayer* second = failing.get();
    match.seat(0, std::make_unique<ScriptedPlayer>(std::vector<int>{}, 0));
    match.seat(1, std::move(failing));
    // The first seat names nothing it can play either: both are out after a turn each.
    const LiveTurn first = playOne(match, 0);
    EXPECT_TRUE(first.recorded);
    EXPECT_FALSE(first.over);
    EXPECT_TRUE(first.hints.empty()) << "the built-in referee's own refusal has no hint";
    EXPECT_FALSE(match.busy());
    const LiveTurn last = playOne(match, 1);
    EXPECT_TRUE(last.recorded);
    EXPECT_TRUE(last.over);
    EXPECT_EQ(last.hints, std::vector<std::string>{"write the move to vorla.out"});
    EXPECT_EQ(match.record().turns.at(1).log, "Traceback\n") << "the move's log is kept with it";
    EXPECT_EQ(second->ended, 1) << "a program that stays up ends with the match";
    ASSERT_EQ(match.record().turns.size(), 2U);
    EXPECT_TRUE(match.record().finished);
    EXPECT_EQ(match.record().board, start);
    // A turn after the end is played for the console, never recorded.
    const LiveTurn after = playOne(match, 2);
    EXPECT_FALSE(after.recorded);
    EXPECT_TRUE(after.over);
    EXPECT_EQ(match.record().turns.size(), 2U);
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
}

TEST(LiveMatches, PlayOnFromAReplayAfterARefusal)
{
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    VorlenManager played(kBoardColumns, kBoardRows, 2);
    played.loadMap({});
    LiveMatch earlier(played);
    earlier.seat(0, std::make_unique<ScriptedPlayer>(std::vector<int>{}, 0));
    earlier.seat(1, std::make_unique<FailingPlayer>());
    for (int turn = 0; !played.gameOver(); ++turn)
        playOne(earlier, turn);
    const Replay over = earlier.record();

    VorlenManager referee(kBoardColumns, kBoardRows, 2);
    LiveMatch match(referee);
    match.seat(0, std::make_unique<ScriptedPlayer>());
    match.seat(1, std::make_unique<ScriptedPlayer>());
    std::string problem;
    EXPECT_FALSE(match.playFrom(over, 2, problem)) << "nothing to play on at its end";
    EXPECT_FALSE(problem.empty());
    ASSERT_TRUE(match.playFrom(over, 1, problem)) << problem;
    EXPECT_EQ(match.record().turns.size(), 1U);
    EXPECT_EQ(match.record().board, over.board);
    EXPECT_FALSE(referee.gameOver());
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
}
