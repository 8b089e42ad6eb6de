#include "VorlenLogicTeam01.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "support/TempDir.h"

#include "support/Bots.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

struct Result {
    ScorePair score;
    Retirement bot;
};

// A whole match of the bot in `botSeat` against the built-in player, on the
// window's default board, through the real file exchange.
Result playAgainstBuiltIn(const std::string& commandLine, int botSeat)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    VorlenManager manager(45, 41, 2, Trace::silent());
    VorlenLogicTeam01 bot(commandLine, exchangeSettings("", "", Trace::silent()));
    VorlenLogicTeam02 builtIn;
    manager.setPlayer(botSeat, &bot);
    manager.setPlayer(1 - botSeat, &builtIn);
    std::srand(1);
    manager.loadMap("");
    for (int turn = 0; !manager.gameOver() && turn < 5000; ++turn)
        manager.makeTurn(turn);
    EXPECT_TRUE(manager.gameOver());
    return {manager.score(), manager.retirement(botSeat)};
}

bool retiredByTheRules(const Retirement& retirement)
{
    return retirement.reason == RetireReason::FullBoard || retirement.reason == RetireReason::Stall;
}

} // namespace

TEST(ExampleBots, RandomPythonBotPlaysLegallyToTheEnd)
{
    const Result result = playAgainstBuiltIn(
        "/usr/bin/python3 " VORLEN_EXAMPLES_DIR "/bots/random_bot.py", 0);
    EXPECT_TRUE(retiredByTheRules(result.bot)) << reasonName(result.bot.reason);
}

TEST(ExampleBots, LookaheadBotBeatsTheBuiltInPlayerInBothSeats)
{
    const Result first = playAgainstBuiltIn(VORLEN_LOOKAHEAD_BOT, 0);
    EXPECT_TRUE(retiredByTheRules(first.bot)) << reasonName(first.bot.reason);
    EXPECT_GT(first.score.first, first.score.second);

    const Result second = playAgainstBuiltIn(VORLEN_LOOKAHEAD_BOT, 1);
    EXPECT_TRUE(retiredByTheRules(second.bot)) << reasonName(second.bot.reason);
    EXPECT_GT(second.score.second, second.score.first);
}
