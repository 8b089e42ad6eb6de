// Runs on a board list: each board in order, cycled, in both seatings with
// --swap, under its own label; a bad list stops the run before any match.
#include "Boards.h"
#include "MatchRecord.h"
#include "ReplayFile.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace vorlen;
using namespace vorlen::match;
using namespace vorlen::testing;

namespace {

class BoardListRuns : public ::testing::Test {
protected:
    BoardListRuns() : cwd(dir.path())
    {
        std::string map;
        for (int row = 0; row < kBoardRows; ++row)
            for (int column = 0; column < kBoardColumns; ++column)
                map += static_cast<char>('1' + (row * 7 + column * 3) % 6);
        std::filesystem::create_directories(dir.file("maps"));
        dir.write("maps/stripes.txt", map);
        dir.write("boards.txt", "# three openings\nseed:9:4\nmap:maps/stripes.txt\n\nrand:2\n");
    }

    TempDir dir;
    WorkingDirectory cwd;
};

} // namespace

TEST_F(BoardListRuns, EachBoardInOrderCycledAndInBothSeatings)
{
    const ToolRun run = runTool("--boards boards.txt --games 4 --swap --results r.jsonl --replays replays");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    std::vector<MatchRecord> records;
    std::string error;
    ASSERT_TRUE(readRecordFile(dir.file("r.jsonl"), records, error)) << error;
    ASSERT_EQ(records.size(), 8U);
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.game < b.game; });
    const char* labels[] = {"seed:9:4", "map:maps/stripes.txt", "rand:2", "seed:9:4"};
    for (const MatchRecord& record : records)
        EXPECT_EQ(record.board, labels[record.game / 2]) << record.game;
    // The boards are the ones named: the replays start on them.
    const Field expected[] = {seededBoard(9, 4), {}, DrawnBoards().at(2)};
    for (int board : {0, 2}) {
        Replay replay;
        ASSERT_TRUE(readReplayFile(dir.file("replays/game-" + std::to_string(2 * board) + "-A-B.json"), replay, error))
            << error;
        EXPECT_EQ(replay.board, expected[board]);
        EXPECT_EQ(replay.boardSource, labels[board]);
    }
    Replay striped;
    ASSERT_TRUE(readReplayFile(dir.file("replays/game-3-B-A.json"), striped, error)) << error;
    EXPECT_EQ(striped.board[2][1], 1 + (2 * 7 + 1 * 3) % 6);
}

TEST_F(BoardListRuns, ABadListStopsTheRunBeforeAnyMatch)
{
    dir.write("bad.txt", "seed:1:1\n\nrand:x\n");
    dir.write("short.txt", "map:maps/none.txt\n");
    const struct {
        std::string options;
        std::string said;
    } cases[] = {
        {"--boards bad.txt", "--boards: bad.txt: line 3: 'rand:x': rand:K needs K from 0 to 100000"},
        {"--boards short.txt", "--boards: short.txt: line 1: map:maps/none.txt: "},
        {"--boards none.txt", "--boards: none.txt: "},
        {"--boards boards.txt --seed 3", "--seed, --map and --boards choose the boards: give one of them"},
        {"--boards boards.txt --map maps/stripes.txt", "--seed, --map and --boards choose the boards"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.options + " --games 2 --results never.csv", "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.options;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << c.options << ": " << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.csv"))) << "no match was played";
}
