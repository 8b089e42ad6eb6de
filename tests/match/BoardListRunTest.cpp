// Runs on a board list: each board in order, cycled, in both seatings with
// --swap, under its own label; a bad list stops the run before any match.
#include "BoardList.h"
#include "Boards.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "ReplayFile.h"
#include "support/Bots.h"
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
        {"--boards boards.txt --seed 3", "--seed, --map, --boards and --start choose the boards: give one of them"},
        {"--boards boards.txt --map maps/stripes.txt", "--seed, --map, --boards and --start choose the boards"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.options + " --games 2 --results never.csv", "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.options;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << c.options << ": " << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.csv"))) << "no match was played";
}

TEST_F(BoardListRuns, MatchesPlayOnFromAReplaysPosition)
{
    ASSERT_EQ(runTool("--games 1 --seed 4 --replays before").exitCode, 0);
    Replay original;
    std::string error;
    ASSERT_TRUE(readReplayFile(dir.file("before/game-0.json"), original, error)) << error;

    // The same players end as the replay did.
    ASSERT_EQ(runTool("--start before/game-0.json@20 --games 1 --results same.jsonl --replays same").exitCode, 0);
    std::vector<MatchRecord> records;
    ASSERT_TRUE(readRecordFile(dir.file("same.jsonl"), records, error)) << error;
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].board, "replay:before/game-0.json@20");
    EXPECT_EQ(records[0].turns, static_cast<int>(original.turns.size()));
    EXPECT_EQ(records[0].seats[0].score, original.finalScore().first);
    EXPECT_EQ(records[0].seats[1].score, original.finalScore().second);
    Replay same;
    ASSERT_TRUE(readReplayFile(dir.file("same/game-0.json"), same, error)) << error;
    ASSERT_EQ(same.turns.size(), original.turns.size());
    for (std::size_t turn = 0; turn < same.turns.size(); ++turn) {
        EXPECT_EQ(same.turns[turn].answer, original.turns[turn].answer) << turn;
        EXPECT_EQ(same.turns[turn].score, original.turns[turn].score) << turn;
        EXPECT_EQ(same.turns[turn].retired, original.turns[turn].retired) << turn;
    }

    // Another player goes on after turn 19: it plays its own colour at turn 20, its first.
    writeBot(dir, "weak.sh", "head -c 1 vorla.in > vorla.out");
    ASSERT_EQ(runTool("--start before/game-0.json@19 --first ./weak.sh --games 1 --results other.jsonl --replays other")
                  .exitCode,
              0);
    records.clear();
    ASSERT_TRUE(readRecordFile(dir.file("other.jsonl"), records, error)) << error;
    EXPECT_EQ(records[0].seats[0].retiredTurn, 20);
    Replay other;
    ASSERT_TRUE(readReplayFile(dir.file("other/game-0.json"), other, error)) << error;
    EXPECT_TRUE(std::equal(original.turns.begin(), original.turns.begin() + 20, other.turns.begin()));

    const struct {
        std::string start;
        std::string said;
    } bad[] = {
        {"before/game-0.json@9999", "--start: before/game-0.json: the replay has "},
        {"before/game-0.json", "--start: needs REPLAY@K, K a turn from 0 or start, not 'before/game-0.json'"},
        {"before/none.json@3", "--start: before/none.json: "},
        {"before/game-0.json@" + std::to_string(original.turns.size()), "the replay has "},
        {"before/game-0.json@" + std::to_string(original.turns.size() - 1), "the match is over after turn"},
    };
    for (const auto& c : bad) {
        const ToolRun run = runTool("--start " + c.start + " --games 1", "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.start;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << c.start << ": " << run.out;
    }
    EXPECT_EQ(runTool("--start before/game-0.json@3 --seed 1", "2>&1").exitCode, 2);
}

TEST_F(BoardListRuns, AListedReplayPositionIsPlayedOnFromUnderItsLabel)
{
    ASSERT_EQ(runTool("--games 1 --seed 4 --replays before").exitCode, 0);
    Replay original;
    std::string error;
    ASSERT_TRUE(readReplayFile(dir.file("before/game-0.json"), original, error)) << error;
    const std::string ended = std::to_string(original.turns.size() - 1); // its last turn

    // The replay is found from the list's folder, and the label keeps the line's path.
    std::filesystem::create_directories(dir.file("lists"));
    dir.write("lists/openings.txt", "seed:9:4\nreplay:../before/game-0.json@20\n");
    ASSERT_EQ(runTool("--boards lists/openings.txt --games 2 --results r.jsonl --replays after").exitCode, 0);
    std::vector<MatchRecord> records;
    ASSERT_TRUE(readRecordFile(dir.file("r.jsonl"), records, error)) << error;
    // Each board in both seatings: games 0 and 1 on the first line, 2 and 3 on the second.
    ASSERT_EQ(records.size(), 4U);
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.game < b.game; });
    EXPECT_EQ(records[1].board, "seed:9:4");
    EXPECT_EQ(records[2].board, "replay:../before/game-0.json@20");
    EXPECT_EQ(records[2].turns, static_cast<int>(original.turns.size()));
    EXPECT_EQ(records[2].seats[0].score, original.finalScore().first);
    EXPECT_EQ(records[2].seats[1].score, original.finalScore().second);
    Replay after;
    ASSERT_TRUE(readReplayFile(dir.file("after/game-2-A-B.json"), after, error)) << error;
    EXPECT_EQ(after.board, original.board);
    const auto sameMove = [](const ReplayTurn& a, const ReplayTurn& b) { return a.answer == b.answer && a.score == b.score; };
    EXPECT_TRUE(std::equal(original.turns.begin(), original.turns.end(), after.turns.begin(), after.turns.end(), sameMove));

    const struct {
        std::string line;
        std::string said;
    } bad[] = {
        {"replay:../before/game-0.json@9999", "line 2: replay:../before/game-0.json@9999: the replay has "},
        {"replay:../before/game-0.json@" + ended, "line 2: replay:../before/game-0.json@" + ended + ": the match is over"},
        {"replay:../before/none.json@3", "line 2: replay:../before/none.json@3: "},
        {"replay:openings.txt@0", "line 2: replay:openings.txt@0: "},
    };
    for (const auto& c : bad) {
        dir.write("lists/bad.txt", "rand:1\n" + c.line + "\n");
        const ToolRun run = runTool("--boards lists/bad.txt --games 2 --results never.csv", "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.line;
        EXPECT_NE(run.out.find("--boards: lists/bad.txt: " + c.said), std::string::npos) << c.line << ": " << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.csv"))) << "no match was played";

    // One replay named at many turns, and by another path, is read once.
    dir.write("lists/many.txt", "replay:../before/game-0.json@1\nreplay:../before/game-0.json@5\n"
                                "replay:" + dir.file("before/game-0.json") + "@7\nreplay:../before/game-0.json@9\n");
    std::vector<ListedBoard> listed;
    ASSERT_TRUE(readBoardList(dir.file("lists/many.txt"), listed, error)) << error;
    ASSERT_EQ(listed.size(), 4U);
    EXPECT_EQ(listed[0].replay, listed[1].replay);
    EXPECT_EQ(listed[0].replay, listed[3].replay);
    EXPECT_EQ(listed[1].position.turns, 6) << "after turn 5";
    EXPECT_NE(listed[2].replay, nullptr);
}
