#include "support/MatchOptions.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

using namespace vorlen::testing;

namespace {

class Shards : public ::testing::Test {
protected:
    Shards() : cwd(dir.path()) {}

    // A file's records without their times, sorted: the same matches give the same lines.
    std::vector<std::string> recordSet(const std::vector<std::string>& files) const
    {
        std::vector<std::string> all;
        for (const std::string& file : files)
            for (const std::string& line : lines(readFile(dir.file(file))))
                if (line.rfind("game,", 0) != 0)
                    all.push_back(withoutTimes(line));
        std::sort(all.begin(), all.end());
        return all;
    }

    TempDir dir;
    WorkingDirectory cwd;
};

} // namespace

TEST_F(Shards, ShardsTogetherAreTheWholeRun)
{
    const struct {
        std::string options;
        std::string extension;
        std::vector<int> splits;
    } runs[] = {
        {"--games 5 --swap --seed 9", ".jsonl", {1, 2, 3, 7}},
        {"--games 4", ".csv", {3}}, // the default boards: board k is still the k-th draw
        {"--player a=stupid --player b=stupid --player c=stupid --tournament round-robin --games 2 --swap", ".jsonl", {2}},
    };
    for (const auto& run : runs) {
        const ToolRun whole = runTool(run.options + " --results whole" + run.extension);
        ASSERT_EQ(whole.exitCode, 0) << run.options;
        for (const int n : run.splits) {
            std::vector<std::string> files;
            for (int i = 0; i < n; ++i) {
                files.push_back("shard-" + std::to_string(n) + "-" + std::to_string(i) + run.extension);
                const ToolRun part = runTool(run.options + " --shard " + std::to_string(i) + "/" + std::to_string(n)
                                             + " --results " + files.back());
                ASSERT_EQ(part.exitCode, 0) << part.out;
                if (n > 1) {
                    EXPECT_NE(part.out.find(", shard " + std::to_string(i) + " of " + std::to_string(n)),
                              std::string::npos)
                        << part.out;
                }
            }
            EXPECT_EQ(recordSet(files), recordSet({"whole" + run.extension})) << run.options << " in " << n;
            std::string arguments = "summarize";
            for (const std::string& file : files)
                arguments += " " + file;
            const ToolRun summed = runTool(arguments, "2>&1");
            EXPECT_EQ(summed.exitCode, 0);
            EXPECT_EQ(withoutMoveTimes(summed.out), withoutMoveTimes(whole.out)) << run.options << " in " << n;
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            std::filesystem::remove(entry.path());
    }
}

TEST_F(Shards, AShardHoldsWholeBoardPairsAndItsSummaryStandsOnThem)
{
    // Every board in both seatings: a shard's part is whole boards, so its
    // Elo comes from board pairs and each player sits first as often.
    const ToolRun part = runTool("--games 8 --swap --seed 3 --shard 1/2 --results part.jsonl");
    ASSERT_EQ(part.exitCode, 0) << part.out;
    EXPECT_NE(part.out.find("(95 %, from 4 board pairs)"), std::string::npos) << part.out;
    EXPECT_NE(part.out.find("Board pairs by A's points"), std::string::npos) << part.out;
    EXPECT_EQ(part.out.find("seats unbalanced"), std::string::npos) << part.out;
    std::vector<int> games;
    for (const std::string& line : lines(readFile(dir.file("part.jsonl"))))
        games.push_back(std::stoi(line.substr(line.find("\"game\":") + 7)));
    std::sort(games.begin(), games.end());
    EXPECT_EQ(games, (std::vector<int>{2, 3, 6, 7, 10, 11, 14, 15}));
    const ToolRun summed = runTool("summarize part.jsonl", "2>&1");
    EXPECT_NE(summed.out.find("(95 %, from 4 board pairs)"), std::string::npos) << summed.out;
}

TEST_F(Shards, SummarizeSaysWhatIsWrongWithTheFiles)
{
    ASSERT_EQ(runTool("--games 3 --swap --seed 9 --results whole.jsonl").exitCode, 0);
    const ToolRun shard = runTool("--games 3 --swap --seed 9 --shard 0/3 --results part.jsonl");
    ASSERT_EQ(shard.exitCode, 0);
    // The shard's games are a board's two seatings, 0 and 1: game 1 is lost.
    for (const std::string& line : lines(readFile(dir.file("part.jsonl"))))
        if (line.find("\"game\":0,") != std::string::npos)
            dir.write("lost.jsonl", line + "\n");
    ASSERT_EQ(runTool("--games 3 --swap --seed 8 --results other.jsonl").exitCode, 0);
    dir.write("broken.csv", "game,board\n");
    // Brackets: a line longer than any record, and one nested deep but short.
    dir.write("brackets.jsonl", std::string(3 << 20, '['));
    dir.write("nested.jsonl", std::string(200000, '[') + std::string(200000, ']') + "\n");
    ASSERT_EQ(mkfifo(dir.file("fifo.jsonl").c_str(), 0600), 0);
    const struct {
        std::string files;
        int exitCode;
        std::string says;
    } cases[] = {
        {"whole.jsonl part.jsonl", 0, "vorlen-match: summarize: game 0 is recorded more than once ('whole.jsonl' and "
                                      "'part.jsonl'); the first one counts\n"},
        {"lost.jsonl", 0, "vorlen-match: summarize: 1 of 2 matches are missing: 1\n"},
        {"lost.jsonl", 0, "Matches played: 1 of 2 (boards in both seatings), shard 0 of 3, interrupted\n"},
        {"whole.jsonl other.jsonl", 2, "vorlen-match: summarize: 'other.jsonl' holds records of another run than "
                                       "'whole.jsonl'"},
        {"", 2, "vorlen-match: summarize: name the record files"},
        {"none.jsonl", 2, "vorlen-match: summarize: cannot read 'none.jsonl': No such file or directory"},
        {"broken.csv", 2, "vorlen-match: summarize: cannot read 'broken.csv': line 1: not the header"},
        {"brackets.jsonl", 2, "vorlen-match: summarize: cannot read 'brackets.jsonl': line 1: longer than any record"},
        {"nested.jsonl", 2, "vorlen-match: summarize: cannot read 'nested.jsonl': line 1: not a JSON record"},
        {"fifo.jsonl", 2, "vorlen-match: summarize: cannot read 'fifo.jsonl': not a regular file"},
        {"whole.jsonl nested.jsonl", 2, "cannot read 'nested.jsonl': line 1: not a JSON record"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool("summarize " + c.files, "2>&1");
        EXPECT_EQ(run.exitCode, c.exitCode) << c.files;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << c.files << ":\n" << run.out;
    }
    // A whole shard is summed up as the shard's run did, not as a run cut short.
    const ToolRun summed = runTool("summarize part.jsonl", "2>&1");
    EXPECT_EQ(summed.out.substr(0, summed.out.find('\n')), "Matches played: 2 of 2 (boards in both seatings), shard 0 of 3");
    EXPECT_EQ(summed.out.substr(0, summed.out.find('\n')), shard.out.substr(0, shard.out.find('\n')));
}

TEST(ShardOptions, BadShardsAreRefused)
{
    for (const char* shard : {"3/3", "-1/2", "1", "a/b", "0/0", "1/2/3"}) {
        const vorlen::match::ParsedArguments parsed = parseOptions({"--shard", shard});
        EXPECT_EQ(parsed.exitCode, 2) << shard;
        EXPECT_EQ(parsed.err.rfind("vorlen-match: --shard needs I/N with 0 <= I < N", 0), 0U) << parsed.err;
    }
    EXPECT_EQ(parseOptions({"--sprt", "elo0=0,elo1=5", "--shard", "0/2"}).err.rfind("vorlen-match: --sprt decides on the whole run", 0), 0U);
}
