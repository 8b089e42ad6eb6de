// Records that do not add up are refused as they are read, with their line,
// never summed as if sound.
#include "MatchRecord.h"
#include "RecordText.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vorlen;
using namespace vorlen::match;
using namespace vorlen::testing;

namespace {

MatchRecord soundRecord()
{
    MatchRecord record;
    record.game = 0;
    record.board = "seed:1:0";
    record.turns = 80;
    record.runPlayers = "A B";
    record.runMatches = 2;
    record.containment = "sandbox";
    record.governance = "cgroup v2";
    record.seats[0] = {"A", "./a", 900, "full board", 79, {40, 12.5, 30.25, 1}};
    record.seats[1] = {"B", "stupid", 800, "", -1, {40, 0.5, 0.75, 0}};
    return record;
}

} // namespace

TEST(RecordChecks, RecordsThatDoNotAddUpAreRefusedWithTheirLine)
{
    const struct {
        const char* what;
        std::function<void(MatchRecord&)> spoil;
        std::string said;
    } cases[] = {
        {"a player not in the run", [](MatchRecord& r) { r.seats[1].player = "Z"; },
         "player Z is not in this run (A B)"},
        {"one player in both seats", [](MatchRecord& r) { r.seats[1].player = "A"; }, "one player, A, in both seats"},
        {"moves beyond every turn", [](MatchRecord& r) { r.seats[0].times.moves = 2147483647; },
         "the first seat's moves 2147483647 do not fit 80 turns"},
        {"negative moves", [](MatchRecord& r) { r.seats[1].times.moves = -8; }, "second_moves"},
        {"more near the limit than moves", [](MatchRecord& r) { r.seats[0].times.nearLimit = 41; },
         "moves near the limit (41) are more than its moves (40)"},
        {"a mean above the largest", [](MatchRecord& r) { r.seats[1].times.meanMs = 5; },
         "the second seat's mean move time is above its largest"},
        {"an unknown containment", [](MatchRecord& r) { r.containment = "jail"; }, "containment 'jail'"},
        {"an unknown governance", [](MatchRecord& r) { r.governance = "x\nA: forged"; }, "governance 'x"},
        {"more cells than the board", [](MatchRecord& r) { r.seats[0].score = 1800; }, "scores of 2600 cells"},
    };
    for (const bool json : {false, true}) {
        const MatchRecord sound = soundRecord();
        const auto text = [&](const MatchRecord& second) {
            return json ? toJsonLine(sound) + toJsonLine(second) : csvHeader() + toCsv(sound) + toCsv(second);
        };
        std::vector<MatchRecord> read;
        std::string error;
        ASSERT_TRUE(parseRecords(text(sound), json, read, error)) << error;
        for (const auto& c : cases) {
            MatchRecord spoilt = sound;
            c.spoil(spoilt);
            read.clear();
            EXPECT_FALSE(parseRecords(text(spoilt), json, read, error)) << c.what;
            EXPECT_EQ(error.rfind(json ? "line 2: " : "line 3: ", 0), 0U) << c.what << ": " << error;
            EXPECT_NE(error.find(c.said), std::string::npos) << c.what << ": " << error;
        }
    }
    // summarize refuses the file, naming the line, rather than summing it.
    TempDir dir;
    MatchRecord spoilt = soundRecord();
    spoilt.seats[0].times.nearLimit = 1000000;
    const std::string path = dir.write("r.jsonl", toJsonLine(soundRecord()) + toJsonLine(spoilt));
    const ToolRun summed = runTool("summarize " + path, "2>&1");
    EXPECT_EQ(summed.exitCode, 2) << summed.out;
    EXPECT_NE(summed.out.find("line 2: the first seat's moves near the limit (1000000)"), std::string::npos)
        << summed.out;
}

TEST(RecordChecks, CountsAddUpBeyondThirtyTwoBits)
{
    TempDir dir;
    std::string lines;
    for (int game = 0; game < 2; ++game) {
        MatchRecord record = soundRecord();
        record.game = game;
        record.turns = 2'000'000'000;
        record.seats[0].times = {2'000'000'000, 12.5, 30.25, 1'500'000'000};
        lines += toJsonLine(record);
    }
    const ToolRun summed = runTool("summarize " + dir.write("r.jsonl", lines), "2>&1");
    EXPECT_EQ(summed.exitCode, 0) << summed.out;
    EXPECT_NE(summed.out.find("3000000000 of 4000000000 moves"), std::string::npos) << summed.out;
}
