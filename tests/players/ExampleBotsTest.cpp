#include "PlayerFactory.h"
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
// window's default board, through the real file exchange, or the bot's
// standard input and output for "stream:" bots.
Result playAgainstBuiltIn(const std::string& commandLine, int botSeat)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    VorlenManager manager(45, 41, 2, Trace::silent());
    const std::unique_ptr<ExternalPlayer> bot = createProgramPlayer(commandLine, exchangeSettings("", "", Trace::silent()));
    VorlenLogicTeam02 builtIn;
    manager.setPlayer(botSeat, bot.get());
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

TEST(ExampleBots, RandomPythonBotsPlayLegallyToTheEndAndAlike)
{
    const Result file = playAgainstBuiltIn("/usr/bin/python3 " VORLEN_EXAMPLES_DIR "/bots/random_bot.py", 0);
    EXPECT_TRUE(retiredByTheRules(file.bot)) << reasonName(file.bot.reason);
    // The same board, the same answer: the stream bot plays the same match.
    const Result stream = playAgainstBuiltIn("stream:/usr/bin/python3 " VORLEN_EXAMPLES_DIR "/bots/random_stream_bot.py", 0);
    EXPECT_TRUE(retiredByTheRules(stream.bot)) << reasonName(stream.bot.reason);
    EXPECT_EQ(stream.score, file.score);
}

TEST(ExampleBots, LookaheadBotsBeatTheBuiltInPlayerInBothSeats)
{
    for (const std::string bot : {VORLEN_LOOKAHEAD_BOT, "stream:" VORLEN_LOOKAHEAD_STREAM_BOT}) {
        const Result first = playAgainstBuiltIn(bot, 0);
        EXPECT_TRUE(retiredByTheRules(first.bot)) << reasonName(first.bot.reason);
        EXPECT_GT(first.score.first, first.score.second) << bot;

        const Result second = playAgainstBuiltIn(bot, 1);
        EXPECT_TRUE(retiredByTheRules(second.bot)) << reasonName(second.bot.reason);
        EXPECT_GT(second.score.second, second.score.first) << bot;
    }
}
