#include "MatchRecord.h"
#include "support/Bots.h"
#include "support/MatchOptions.h"
#include "support/MatchTool.h"
#include "support/Records.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <set>
#include <thread>

using namespace vorlen;
using namespace vorlen::match;
using namespace vorlen::testing;

namespace {

class Tournaments : public ::testing::Test {
protected:
    Tournaments() : cwd(dir.path())
    {
        // Plays its own colour: retired at once, it loses every match.
        weak = writeBot(dir, "weak.sh", "head -c 1 vorla.in > vorla.out");
    }

    std::vector<MatchRecord> records(const std::string& name) const { return recordsIn(dir.file(name)); }

    TempDir dir;
    WorkingDirectory cwd;
    std::string weak;
    const std::string strong = VORLEN_LOOKAHEAD_BOT;
};

} // namespace

TEST_F(Tournaments, RoundRobinStandingsAndCrossTable)
{
    const ToolRun run = runTool("--player greedy=stupid --player weak=" + weak + " --player strong=" + strong
                                + " --tournament round-robin --games 2 --swap --seed 3 --results r.jsonl");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::string expected[] = {
        "Matches played: 12 of 12 (every board in both seatings)",
        // One-sided all the way: no finite rating exists, so none is made up.
        "Standings (no ratings: no two players have results both ways):\n"
        "rank  player      elo  95 % interval             points         W         D         L    matches\n"
        "   1  strong        -  -                            8.0         8         0         0          8\n"
        "   2  greedy        -  -                            4.0         4         0         4          8\n"
        "   3  weak          -  -                            0.0         0         0         8          8\n",
        // Each pairing's boards in both seatings, by the higher-ranked player's points.
        "  first  second       0     1/2       1     3/2       2    pairs\n"
        "  strong greedy       0       0       0       0       2        2\n"
        "  strong weak         0       0       0       0       2        2\n"
        "  greedy weak         0       0       0       0       2        2\n",
        "   1  strong            -        4.0/4        4.0/4\n"
        "   2  greedy        0.0/4            -        4.0/4\n"
        "   3  weak          0.0/4        0.0/4            -\n",
        "  weak: own or opponent's colour 8\n",
    };
    for (const std::string& part : expected)
        EXPECT_NE(run.out.find(part), std::string::npos) << part << "\nin\n" << run.out;
    // Every pairing on the same boards, in both seatings, under the players' names.
    std::multiset<std::string> seatings;
    for (const MatchRecord& r : records("r.jsonl"))
        seatings.insert(r.seats[0].player + "-" + r.seats[1].player + "@" + r.board);
    for (const char* pair : {"greedy-weak", "weak-greedy", "greedy-strong", "strong-greedy", "weak-strong", "strong-weak"})
        for (const char* board : {"@seed:3:0", "@seed:3:1"})
            EXPECT_EQ(seatings.count(std::string(pair) + board), 1U) << pair << board;
}

TEST_F(Tournaments, GauntletPlaysOnlyTheFirstPlayersPairings)
{
    const ToolRun run = runTool("--player greedy=stupid --player weak=" + weak + " --player strong=" + strong
                                + " --tournament gauntlet --games 2 --seed 3 --no-swap --results g.csv");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::vector<MatchRecord> read = records("g.csv");
    ASSERT_EQ(read.size(), 4U);
    // One seating a board, exchanged from board to board.
    for (const MatchRecord& r : read)
        EXPECT_EQ(r.seats[r.board == "seed:3:0" ? 0 : 1].player, "greedy") << r.board;
    EXPECT_NE(run.out.find("   3  weak          0.0/2            -            -\n"), std::string::npos) << run.out;
}

TEST_F(Tournaments, TheSameBotIsNeverJudgedStrongerThanItselfWhateverTheSeatings)
{
    // The built-in player wins about 59 % from the first seat: kept there,
    // it would be judged 60 Elo stronger than itself.
    const struct {
        const char* seatings;
        const char* played;
    } cases[] = {
        {"", ": H0 accepted"},
        {"--swap", ": H0 accepted"},
        {"--no-swap", "vorlen-match: --no-swap: every board is played in one seating only (seats alternate"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(std::string("--player a=stupid --player b=stupid --sprt elo0=0,elo1=20 --games 600 --seed 5 ")
                                        + c.seatings,
                                    "2>&1");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_EQ(run.out.find(": H1 accepted"), std::string::npos) << c.seatings << "\n" << run.out;
        EXPECT_NE(run.out.find(c.played), std::string::npos) << c.seatings << "\n" << run.out;
        // Whatever the seatings, the first seat's advantage is in the summary
        // (where the SPRT stops depends on the order matches finish in).
        const std::size_t at = run.out.find("\nFirst seat: ");
        ASSERT_NE(at, std::string::npos) << run.out;
        const double share = std::stod(run.out.substr(at + 13));
        EXPECT_GT(share, 52.0) << run.out;
        EXPECT_LT(share, 66.0) << run.out;
    }
    // The plainest command, and its seatings: no likelihood of superiority a
    // verdict could rest on, and an interval around 0.
    for (const char* seatings : {"", "--swap", "--no-swap"}) {
        const ToolRun run = runTool(std::string("--games 100 --seed 21 ") + seatings, "2>/dev/null");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        std::smatch found;
        ASSERT_TRUE(std::regex_search(run.out, found,
                                      std::regex(R"(Elo difference A - B: \S+ \[(\S+), (\S+)\] \(95 %, [^)]*\), LOS ([0-9.]+) %)")))
            << run.out;
        EXPECT_LT(std::stod(found[1]), 0.0) << seatings << "\n" << run.out;
        EXPECT_GT(std::stod(found[2]), 0.0) << seatings << "\n" << run.out;
        EXPECT_LT(std::stod(found[3]), 95.0) << seatings << "\n" << run.out;
    }
    EXPECT_EQ(runTool("--swap --no-swap", "2>&1").exitCode, 2);
}

TEST_F(Tournaments, SprtStopsEarlyForAClearCaseAndNotForEqualPlayers)
{
    const ToolRun clear = runTool("--player strong=stream:" VORLEN_LOOKAHEAD_STREAM_BOT " --player weak=" + weak
                                  + " --sprt elo0=0,elo1=20 --games 500 --swap --seed 1 --concurrency 2");
    ASSERT_EQ(clear.exitCode, 0) << clear.out;
    EXPECT_NE(clear.out.find(": H1 accepted"), std::string::npos) << clear.out;
    const int played = std::stoi(clear.out.substr(clear.out.find("Matches played: ") + 16));
    // A one-sided run decides within a fraction of its thousand matches (the
    // exact ratio takes a few dozen pairs where every pair is won).
    EXPECT_LT(played, 200) << "the test went on long after it was decided";
    EXPECT_NE(clear.out.find(" of 1000 (boards in both seatings, until the SPRT decided)\n"), std::string::npos)
        << clear.out;

    const ToolRun equal = runTool("--sprt elo0=-3,elo1=3,alpha=0.1,beta=0.1 --games 15 --swap --seed 2");
    ASSERT_EQ(equal.exitCode, 0) << equal.out;
    EXPECT_EQ(equal.out.find(": H1 accepted"), std::string::npos) << equal.out;
    EXPECT_TRUE(equal.out.find(": H0 accepted") != std::string::npos
                || equal.out.find("Matches played: 30 of 30") != std::string::npos)
        << equal.out;

    // Too few matches to decide: the summary says so, and no figure reads "-0.0".
    const ToolRun few = runTool("--sprt elo0=-3,elo1=3 --games 1 --swap --seed 2");
    ASSERT_EQ(few.exitCode, 0) << few.out;
    EXPECT_NE(few.out.find("Matches played: 2 of 2 (every board in both seatings)\n"), std::string::npos) << few.out;
    EXPECT_NE(few.out.find(", limit reached, undecided\n"), std::string::npos) << few.out;
    for (const std::string& out : {clear.out, equal.out, few.out})
        EXPECT_FALSE(std::regex_search(out, std::regex("-0\\.0+(?![0-9])"))) << out;
}

TEST_F(Tournaments, AnInterruptedRunResumedEndsAsAnUninterruptedOne)
{
    const std::string slow = writeBot(dir, "resumed.sh", "sleep 0.03; head -c 1 vorla.in | tr 123456 234561 > vorla.out");
    const std::string options = "--player resumed=" + slow + " --player greedy=stupid --games 6 --swap --seed 4 --concurrency 2";
    const ToolRun whole = runTool(options + " --results whole.jsonl");
    ASSERT_EQ(whole.exitCode, 0);

    std::FILE* pipe = popen(("exec " + std::string(VORLEN_MATCH_BIN) + " " + options + " --results r.jsonl 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (lines(readFile(dir.file("r.jsonl"))).size() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::system(("pkill -INT -f '^" + std::string(VORLEN_MATCH_BIN) + " --player resumed='").c_str());
    ASSERT_EQ(finish(pipe).exitCode, 130);
    const std::size_t before = records("r.jsonl").size();
    ASSERT_LT(before, 12U);

    const ToolRun resumed = runTool(options + " --results r.jsonl --resume --bot-logs logs");
    ASSERT_EQ(resumed.exitCode, 0);
    std::set<int> games;
    for (const MatchRecord& r : records("r.jsonl"))
        EXPECT_TRUE(games.insert(r.game).second) << "game " << r.game << " twice";
    EXPECT_EQ(games.size(), 12U);
    EXPECT_EQ(withoutMoveTimes(resumed.out), withoutMoveTimes(whole.out))
        << finish(popen(("grep -rh unable " + dir.file("logs") + " 2>/dev/null").c_str(), "r")).out;

    // A file of another run is refused: other boards here.
    const ToolRun other = runTool(options + " --seed 5 --results r.jsonl --resume", "2>&1");
    EXPECT_EQ(other.exitCode, 2);
    EXPECT_NE(other.out.find("vorlen-match: --resume: 'r.jsonl' holds records of another run"), std::string::npos)
        << other.out;
}

TEST(TournamentOptions, BadOptionsSayWhatIsWrong)
{
    const struct {
        QStringList arguments;
        std::string line;
    } cases[] = {
        {{"--player", "a=stupid"}, "a run needs two players; --player was given once"},
        {{"--player", "a=stupid", "--player", "a=stupid"}, "--player: the name 'a' is given twice"},
        {{"--player", "D=stupid", "--player", "b=stupid"}, "--player needs NAME=P"},
        {{"--player", "a b=stupid", "--player", "b=stupid"}, "--player needs NAME=P"},
        {{"--player", "a=stupid", "--player", "b=stupid", "--first", "stupid"},
         "--player cannot be used with --first or --second"},
        {{"--player", "a=stupid", "--player", "b=stupid", "--player", "c=stupid"},
         "three or more players need --tournament"},
        {{"--tournament", "swiss"}, "--tournament is round-robin or gauntlet, not 'swiss'"},
        {{"--sprt", "elo0=5,elo1=0"}, "--sprt needs elo0=E0,elo1=E1"},
        {{"--sprt", "elo0=0,elo1=5,alpha=0.7"}, "--sprt needs elo0=E0,elo1=E1"},
        {{"--sprt", "elo1=5"}, "--sprt needs elo0=E0,elo1=E1"},
        {{"--player", "a=stupid", "--player", "b=stupid", "--player", "c=stupid", "--tournament", "gauntlet", "--sprt",
          "elo0=0,elo1=5"},
         "--sprt compares two players"},
        {{"--resume"}, "--resume needs the --results file"},
        {{"--sprt", "elo0=0,nelo1=5"}, "--sprt needs elo0=E0,elo1=E1 (or nelo0=E0,nelo1=E1"},
        {{"--anchor", "A"}, "--anchor chooses who is at 0 in a tournament's standings"},
        {{"--player", "a=stupid", "--player", "b=stupid", "--player", "c=stupid", "--tournament", "gauntlet", "--anchor",
          "d"},
         "--anchor is a player's name or mean, not 'd'"},
        {{"--player", "a=stupid", "--player", "b=stupid", "--player", "c=stupid", "--tournament", "gauntlet", "--anchor",
          ""},
         "--anchor is a player's name or mean, not ''"},
    };
    for (const auto& c : cases) {
        const match::ParsedArguments parsed = parseOptions(c.arguments);
        EXPECT_EQ(parsed.exitCode, 2) << c.line;
        EXPECT_EQ(parsed.err.rfind("vorlen-match: " + c.line, 0), 0U) << parsed.err;
    }
    EXPECT_EQ(parseOptions({"--player", "a=stupid", "--player", "b=stupid", "--player", "c=stupid", "--tournament",
                            "round-robin", "--anchor", "b"})
                  .config->anchor,
              "b");
    EXPECT_EQ(parseOptions({"--player", "a=stupid", "--player", "b=stupid", "--player", "c=stupid", "--tournament",
                            "round-robin", "--anchor", "mean"})
                  .config->anchor,
              "mean");
    // Both seatings wherever there are two boards; --no-swap alternates and warns.
    EXPECT_FALSE(parseOptions({"--games", "1"}).config->swap);
    EXPECT_TRUE(parseOptions({"--games", "2"}).config->swap);
    const match::ParsedArguments alternating = parseOptions({"--games", "2", "--no-swap"});
    EXPECT_TRUE(!alternating.config->swap && alternating.config->alternate);
    EXPECT_NE(alternating.err.find("--no-swap: every board is played in one seating only"), std::string::npos);
}
