#include "Boards.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "Retirement.h"
#include "Sandbox.h"
#include "StreamPlayer.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "support/Bots.h"
#include "support/Fakes.h"
#include "support/MatchTool.h"
#include "support/Modes.h"
#include "support/Processes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vorlen;
using namespace vorlen::testing;
using vorlen::match::MatchRecord;
using vorlen::match::readRecordFile;

namespace {

struct Retired {
    int seat = -1;
    int turn = -1;
    std::string reason;
};

class StreamBots : public ::testing::TestWithParam<Mode> {
protected:
    void SetUp() override { prepareMode(GetParam()); }

    // A match of a stream bot with this shell body against the built-in
    // player, with a short move limit: the first retirement.
    Retired play(const std::string& body, int seat)
    {
        BotSettings settings = exchangeSettings(exchange.path().string(), bots.file("bot.log"), Trace(nullptr, err.get()));
        settings.moveLimit = std::chrono::milliseconds(400);
        settings.startupLimit = std::chrono::milliseconds(0);
        if (GetParam() == Mode::Sandbox)
            settings.sandbox = findSandbox();
        StreamPlayer bot(writeBot(bots, "bot.sh", body), settings);
        VorlenLogicTeam02 greedy;
        VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
        manager.setPlayer(seat, &bot);
        manager.setPlayer(1 - seat, &greedy);
        manager.setBoard(seededBoard(6, 0));
        for (int turn = 0; !manager.gameOver() && turn < 400; ++turn) {
            manager.makeTurn(turn);
            for (int s = 0; s < 2; ++s)
                if (manager.retirement(s).turn == turn)
                    return {s, turn, retirementText(manager.retirement(s), manager.lastResult(s))};
        }
        return {};
    }

    // A number for `sleep` that only this mode's bots use.
    std::string marked(const std::string& base) const { return base + (GetParam() == Mode::Plain ? "1" : "2"); }

    TempDir bots;
    TempDir exchange;
    MemoryStream err;
};

// read_board reads one board (41 lines; the bot ends at the end of its
// input); answer says the lowest legal colour.
const std::string kReadBoard =
    "read_board() { i=0; while [ $i -lt 41 ]; do IFS= read -r line || exit 0; [ $i -eq 0 ] && first=$line; "
    "i=$((i+1)); done; own=$(printf %.1s \"$first\"); opp=${line#\"${line%?}\"}; }\n"
    "answer() { for c in 1 2 3 4 5 6; do [ $c != $own ] && [ $c != $opp ] && { echo $c; return; }; done; }\n";

} // namespace

TEST_P(StreamBots, EachFailureRetiresTheBotUnderItsReasonAtItsTurn)
{
    // A helper started with the bot, to see that nothing outlives it; its
    // own mark in each mode, as both may run at once.
    const std::string mark = marked("42.5");
    const std::string helper = "sleep " + mark + " > /dev/null &\n";
    const struct {
        std::string body;
        std::string reason;
        int move; // the bot's own move, from 1, at which it is retired
    } cases[] = {
        {helper + kReadBoard + "read_board; answer; read_board; answer; exit 0", "no move on standard output", 3},
        {helper + kReadBoard + "read_board; echo abc", "no move on standard output", 1},
        {helper + kReadBoard + "read_board; echo 9", "colour outside 1-6", 1},
        {helper + kReadBoard + "read_board; answer; read_board; sleep 2; answer", "time limit", 2},
        {helper + "sleep 30", "time limit", 1}, // never reads its input, never answers
        {helper + kReadBoard + "read_board; exec 1>&-; sleep 30", "no move on standard output", 1},
        {helper + kReadBoard + "read_board; head -c 100000 /dev/zero | tr '\\\\0' 1", "no move on standard output", 1},
        // Writing without end, after an answer or to standard error, holds nobody
        // up beyond its time: lines without a move are chatter.
        {helper + kReadBoard + "read_board; answer; yes", "time limit", 2},
        {helper + kReadBoard + "read_board; yes 1 >&2", "time limit", 1},
    };
    for (const int seat : {0, 1}) {
        for (const auto& c : cases) {
            const Retired retired = play(c.body, seat);
            EXPECT_EQ(retired.seat, seat) << c.body;
            EXPECT_EQ(retired.reason, c.reason) << c.body;
            EXPECT_EQ(retired.turn, 2 * (c.move - 1) + seat) << c.body;
            EXPECT_EQ(liveProcessesWith(mark), 0) << c.body;
        }
    }
}

TEST_P(StreamBots, AnHonestBotIsEndedWithEverythingItStartedWhenTheMatchEnds)
{
    const std::string mark = marked("42.6");
    const std::string body = "sleep " + mark + " > /dev/null &\n" + kReadBoard + "while read_board; do answer; done";
    const Retired retired = play(body, 0);
    EXPECT_NE(retired.reason, "time limit");
    EXPECT_EQ(liveProcessesWith(mark), 0);
}

INSTANTIATE_TEST_SUITE_P(BothModes, StreamBots, ::testing::Values(Mode::Plain, Mode::Sandbox), modeName);

TEST(StreamMatches, AStreamBotPlaysTheSameMatchesAsItsFileTwin)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string common = " --games 3 --swap --seed 12 --results ";
    ASSERT_EQ(runTool("--first " + std::string(VORLEN_LOOKAHEAD_BOT) + common + "file.jsonl").exitCode, 0);
    ASSERT_EQ(runTool("--first stream:" + std::string(VORLEN_LOOKAHEAD_STREAM_BOT) + common + "stream.jsonl").exitCode, 0);
    std::vector<MatchRecord> file;
    std::vector<MatchRecord> stream;
    std::string error;
    ASSERT_TRUE(readRecordFile("file.jsonl", file, error)) << error;
    ASSERT_TRUE(readRecordFile("stream.jsonl", stream, error)) << error;
    ASSERT_EQ(file.size(), 6U);
    ASSERT_EQ(stream.size(), 6U);
    auto byGame = [](const MatchRecord& a, const MatchRecord& b) { return a.game < b.game; };
    std::sort(file.begin(), file.end(), byGame);
    std::sort(stream.begin(), stream.end(), byGame);
    for (std::size_t i = 0; i < file.size(); ++i) {
        EXPECT_EQ(stream[i].turns, file[i].turns) << i;
        for (int seat = 0; seat < 2; ++seat) {
            EXPECT_EQ(stream[i].seats[seat].score, file[i].seats[seat].score) << i;
            EXPECT_EQ(stream[i].seats[seat].retired, file[i].seats[seat].retired) << i;
            EXPECT_EQ(stream[i].seats[seat].retiredTurn, file[i].seats[seat].retiredTurn) << i;
        }
    }
}
