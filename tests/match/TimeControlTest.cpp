// Time controls: the run's time for a move, a player's own, and what the
// records, replays and summaries say of them.
#include "MatchRecord.h"
#include "ReplayFile.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/Records.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorlen;
using namespace vorlen::match;
using namespace vorlen::testing;

namespace {

class TimeControls : public ::testing::Test {
protected:
    TimeControls() : cwd(dir.path()) {}

    // Thinks for `seconds`, then plays its own colour: an illegal move, so
    // each match is one move long whoever wins.
    std::string thinker(const std::string& name, const char* seconds)
    {
        return writeBot(dir, name, std::string("sleep ") + seconds + "; head -c 1 vorla.in > vorla.out");
    }

    std::vector<MatchRecord> records(const std::string& name) const { return recordsIn(dir.file(name)); }

    TempDir dir;
    WorkingDirectory cwd;
};

} // namespace

TEST_F(TimeControls, TheRunsTimeForAMoveDecidesWhatIsOnTime)
{
    const struct {
        const char* seconds;
        const char* moveTime;
        bool onTime;
    } cases[] = {
        {"0.8", "500", false},
        {"3.5", "5000", true},
    };
    for (const auto& c : cases) {
        const std::string results = std::string("t") + c.moveTime + ".jsonl";
        const ToolRun run = runTool("--first " + thinker("bot.sh", c.seconds) + " --move-time " + c.moveTime
                                    + " --games 1 --seed 2 --results " + results + " --replays r" + c.moveTime);
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const std::vector<MatchRecord> read = records(results);
        ASSERT_EQ(read.size(), 1U);
        EXPECT_EQ(read[0].seats[0].retired == "time limit", !c.onTime) << c.moveTime << ": " << read[0].seats[0].retired;
        EXPECT_EQ(read[0].seats[0].moveLimitMs, std::stoi(c.moveTime));
        EXPECT_EQ(read[0].seats[1].moveLimitMs, std::stoi(c.moveTime));
        EXPECT_NE(run.out.find(std::string("of the ") + c.moveTime + " ms limit"), std::string::npos) << run.out;
        Replay replay;
        std::string error;
        ASSERT_TRUE(readReplayFile(dir.file(std::string("r") + c.moveTime + "/game-0.json"), replay, error)) << error;
        EXPECT_EQ(replay.moveLimitsMs[0], std::stoi(c.moveTime));
    }
}

TEST_F(TimeControls, APlayersOwnTimeHoldsInBothSeatsAndOnlyForIt)
{
    const std::string bot = thinker("bot.sh", "0.8");
    const ToolRun run = runTool("--player hasty=" + bot + " --player calm=" + bot
                                + " --move-time hasty=500 --games 1 --seed 2 --swap --results r.csv");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::vector<MatchRecord> read = records("r.csv");
    ASSERT_EQ(read.size(), 2U);
    for (const MatchRecord& record : read)
        for (const SeatRecord& seat : record.seats) {
            const bool hasty = seat.player == "hasty";
            EXPECT_EQ(seat.moveLimitMs, hasty ? 500 : 3000) << seat.player;
            if (!seat.retired.empty()) {
                EXPECT_EQ(seat.retired == "time limit", hasty) << seat.player << ": " << seat.retired;
            }
        }
    EXPECT_NE(run.out.find("  hasty: mean"), std::string::npos);
    EXPECT_NE(run.out.find("of the 500 ms limit\n  calm:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("of the 3000 ms limit\n"), std::string::npos) << run.out;

    // A summary of the records says what the run said.
    const ToolRun summed = runTool("summarize r.csv");
    EXPECT_NE(summed.out.find("of the 500 ms limit\n  calm:"), std::string::npos) << summed.out;
}

TEST_F(TimeControls, BadTimesAreRefusedBeforeAnyMatch)
{
    const struct {
        const char* value;
        const char* problem;
    } cases[] = {
        {"0", "--move-time needs MS or NAME=MS, MS a whole number of milliseconds from 1 to 3600000, not '0'"},
        {"-5", "not '-5'"},
        {"3600001", "not '3600001'"},
        {"fast", "not 'fast'"},
        {"1.5", "not '1.5'"},
        {"A=", "not 'A='"},
        {"=100", "--move-time: no player is named ''"},
        {"C=100", "--move-time: no player is named 'C'"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(std::string("--games 1 --move-time ") + c.value, "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.value;
        EXPECT_NE(run.out.find(c.problem), std::string::npos) << c.value << ": " << run.out;
    }
    // Another time control is another run: its records are not resumed as this one's.
    ASSERT_EQ(runTool("--games 2 --results same.csv").exitCode, 0);
    const ToolRun other = runTool("--games 2 --move-time 1000 --results same.csv --resume", "2>&1");
    EXPECT_EQ(other.exitCode, 2);
    EXPECT_NE(other.out.find("holds records of another run"), std::string::npos) << other.out;
}

TEST_F(TimeControls, AResultsFileOfAnEarlierVersionGoesOnWithItsOwnColumns)
{
    // Written before move counts, SPRT settings and time limits were kept.
    ASSERT_EQ(runTool("--games 1 --seed 4 --results new.csv").exitCode, 0);
    const std::vector<std::string> written = lines(readFile(dir.file("new.csv")));
    ASSERT_EQ(written.size(), 2U);
    const auto firstColumns = [](const std::string& line, int count) {
        std::size_t at = 0;
        for (int i = 0; i < count && at != std::string::npos; ++i)
            at = line.find(',', at + 1);
        return line.substr(0, at);
    };
    dir.write("old.csv", firstColumns(written[0], 25) + "\n" + firstColumns(written[1], 25) + "\n");
    ASSERT_EQ(runTool("--games 1 --seed 5 --results old.csv").exitCode, 0);
    const std::vector<std::string> after = lines(readFile(dir.file("old.csv")));
    ASSERT_EQ(after.size(), 3U);
    EXPECT_EQ(std::count(after[2].begin(), after[2].end(), ','), 24) << after[2];
    EXPECT_EQ(records("old.csv").size(), 2U);
    // A file whose header is none of ours is left alone.
    dir.write("strange.csv", "game,board,whatever\n1,2,3\n");
    EXPECT_EQ(runTool("--games 1 --results strange.csv").exitCode, 2);
    EXPECT_EQ(readFile(dir.file("strange.csv")), "game,board,whatever\n1,2,3\n");
}
