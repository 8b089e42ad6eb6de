// The summary's figures: worked out by hand, recomputed from a run's
// records, and the same whether a run prints them or summarize does.
#include "GameSet.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "Summary.h"
#include "support/MatchTool.h"
#include "support/Records.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <limits>

#include <cmath>
#include <filesystem>
#include <map>

using namespace vorlen::match;
using namespace vorlen::testing;

TEST(GameSet, GamesInAnyOrderAndWhatIsMissing)
{
    GameSet games;
    for (const int game : {3, 0, 1, 7, 2, 9, 8})
        EXPECT_TRUE(games.insert(game)) << game;
    EXPECT_FALSE(games.insert(2));
    EXPECT_FALSE(games.insert(8));
    std::string list;
    EXPECT_EQ(games.missing(12, 3, list), 5);
    EXPECT_EQ(list, "4, 5, 6");
    list.clear();
    EXPECT_EQ(games.missing(4, 20, list), 0);
    EXPECT_EQ(list, "");
    // Of one shard: only its own games count; with both seatings, a board's two games go together.
    const struct {
        ShardPart part;
        int absent;
        const char* listed;
    } parts[] = {
        {{0, 3, 1}, 1, "6"},    {{1, 3, 1}, 2, "4, 10"}, {{2, 4, 1}, 2, "6, 10"}, {{1, 2, 1}, 2, "5, 11"},
        {{0, 2, 2}, 2, "4, 5"}, {{1, 2, 2}, 3, "6, 10"}, {{2, 3, 2}, 4, "4, 5"},
    };
    for (const auto& c : parts) {
        list.clear();
        const std::string which = std::to_string(c.part.index) + "/" + std::to_string(c.part.count) + " by "
                                  + std::to_string(c.part.unit);
        EXPECT_EQ(games.missing(12, 2, list, c.part), c.absent) << which;
        EXPECT_EQ(list, c.listed) << which;
    }
}

TEST(ShardParts, TakeWholeBoardPairsAndTogetherEveryMatchOnce)
{
    for (const int unit : {1, 2})
        for (const int count : {1, 2, 3, 7})
            for (const int matches : {0, 1, 2, 7, 8, 21, 400}) {
                int total = 0;
                for (int index = 0; index < count; ++index) {
                    const ShardPart part{index, count, unit};
                    int held = 0;
                    for (int game = 0; game < matches; ++game)
                        held += part.holds(game) ? 1 : 0;
                    EXPECT_EQ(part.matchesOf(matches), held) << index << "/" << count << " by " << unit << " of " << matches;
                    total += held;
                    // Both games of a board pair in the same shard.
                    for (int game = 0; unit == 2 && game + 1 < matches; game += 2)
                        EXPECT_EQ(part.holds(game), part.holds(game + 1));
                }
                EXPECT_EQ(total, matches);
            }
}

TEST(Tally, BoardPairsAndTheFirstSeatWhateverTheOrder)
{
    // Board 0: A wins both; board 1: each wins as first; board 2: one match so far.
    Tally tally("A", true);
    for (const MatchRecord& r : {matchOf(3, "B", "A", 900, 800), matchOf(0, "A", "B", 900, 800), matchOf(4, "A", "B", 5, 5),
                                 matchOf(2, "A", "B", 900, 800), matchOf(1, "B", "A", 800, 900)})
        tally.add(r);
    EXPECT_EQ(tally.pairsByPoints(), (std::array<Count, 5>{0, 0, 1, 0, 1}));
    EXPECT_EQ(tally.firstSeat().wins, 3);
    EXPECT_EQ(tally.firstSeat().draws, 1);
    EXPECT_EQ(tally.firstSeat().losses, 1);
    EXPECT_EQ(tally.player("A").wins, 3);
    EXPECT_EQ(tally.between("B", "A").losses, 3);
}

TEST(SummaryWords, AFailureNamesItsEarliestMatchesAndTurnsWhateverTheOrder)
{
    RunFacts run;
    run.players = {{"A", vorlen::parseSeatPlayer("./bot")}, {"B", vorlen::parseSeatPlayer("stupid")}};
    run.matchCount = 8;
    Tally tally("A", false);
    // Seven time-outs in games 7 down to 1 at turn 10 + game, and a game end.
    for (int game = 7; game >= 0; --game) {
        MatchRecord record = matchOf(game, "A", "B", 10, 900);
        record.seats[0].retired = game == 0 ? "stall" : "timed out";
        record.seats[0].retiredTurn = 10 + game;
        tally.add(record);
    }
    const std::string text = summaryText(tally, run, false);
    EXPECT_NE(text.find("  A: timed out 7\n    timed out in game 1 turn 11, game 2 turn 12, game 3 turn 13, game 4 "
                        "turn 14, game 5 turn 15 and 2 more\n  B: none\n"),
              std::string::npos)
        << text;
    // A game's own end is no failure to go and see.
    EXPECT_EQ(text.find("stall in game"), std::string::npos) << text;
}

TEST(SummaryWords, ALikelihoodIsNeverRoundedToACertainty)
{
    const struct {
        double p;
        const char* text;
    } cases[] = {
        {0.974, "97.4 %"}, {0.5, "50.0 %"},   {0.9994, "99.9 %"}, {0.9995, "> 99.9 %"}, {0.999999, "> 99.9 %"},
        {1.0, "100 %"},    {0.0005, "0.1 %"}, {0.0004, "< 0.1 %"}, {1e-9, "< 0.1 %"},    {0.0, "0 %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(likelihoodText(c.p), c.text) << c.p;
    EXPECT_EQ(eloWithRange(-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 113.4),
              "no finite estimate [-∞, +113.4]");
}

TEST(SummaryWords, SayWhatWasPlayedAndNoMore)
{
    RunFacts run;
    run.players = {{"A", vorlen::parseSeatPlayer("stupid")}, {"B", vorlen::parseSeatPlayer("stupid")}};
    run.matchCount = 4;
    run.swap = true;
    // Nothing played: no share of nothing.
    const std::string empty = summaryText(Tally("A", true), run, true);
    EXPECT_EQ(empty.find("0.0 %"), std::string::npos) << empty;
    // One board in both seatings, of two: "board pair", and not "every board".
    Tally one("A", true);
    one.add(matchOf(0, "A", "B", 30, 20));
    one.add(matchOf(1, "B", "A", 20, 30));
    const std::string pair = summaryText(one, run, true);
    EXPECT_NE(pair.find(", from 1 board pair)"), std::string::npos) << pair;
    EXPECT_NE(pair.find("Matches played: 2 of 4 (boards in both seatings), interrupted\n"), std::string::npos) << pair;
    run.part = "shard 1 of 2";
    run.matchCount = 2;
    EXPECT_NE(summaryText(one, run, false).find("Matches played: 2 of 2 (boards in both seatings), shard 1 of 2\n"),
              std::string::npos);
    run.part.clear();
    EXPECT_NE(summaryText(one, run, false).find("Matches played: 2 of 2 (every board in both seatings)\n"),
              std::string::npos);
    // One seating a board, stopped by the SPRT: said so too.
    run.swap = false;
    run.matchCount = 100;
    SprtRun sprt(*parseSprtSettings("elo0=0,elo1=400"), "A", false);
    Tally wins("A", false);
    for (int game = 0; game < 20; ++game) {
        wins.add(matchOf(game, "A", "B", 30, 20));
        sprt.add(matchOf(game, "A", "B", 30, 20));
    }
    ASSERT_TRUE(sprt.decided());
    const std::string stopped = summaryText(wins, run, false, &sprt);
    EXPECT_NE(stopped.find("Matches played: 20 of 100 (until the SPRT decided)\n"), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("biased by the stop; these results cannot say by how much"), std::string::npos) << stopped;
    // Every match won: the estimate is said to be none, the interval stands, and LOS is not rounded to certainty.
    EXPECT_NE(stopped.find("Elo difference A - B: no finite estimate: A won every match [+"), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("LOS > 99.9 %"), std::string::npos) << stopped;
    EXPECT_EQ(stopped.find("100.0 %, draw"), std::string::npos) << stopped;
    // One match, a draw: said of one.
    Tally draw("A", false);
    draw.add(matchOf(0, "A", "B", 20, 20));
    run.matchCount = 1;
    const std::string once = summaryText(draw, run, false);
    EXPECT_NE(once.find("  the one match was a draw: no spread"), std::string::npos) << once;
    EXPECT_EQ(once.find("all 1 match"), std::string::npos) << once;
    run.matchCount = 100;
    // One seating a board: the seats' share stands beside the Elo.
    EXPECT_NE(stopped.find("  seats unbalanced: each board was played in one seating, and the first seat took 100.0 % of "
                           "the points; A sat first in 20 of 20 matches\n"),
              std::string::npos)
        << stopped;
}

namespace {

class SummaryRuns : public ::testing::Test {
protected:
    SummaryRuns() : cwd(dir.path()) {}

    TempDir dir;
    WorkingDirectory cwd;
};

// Figures recomputed from records, independently of the summary's code.
struct Recomputed {
    std::map<std::string, std::array<Count, 3>> wdl; // by player
    std::array<Count, 3> firstSeat{};
    std::array<Count, 5> pairs{};
};

Recomputed recompute(const std::vector<MatchRecord>& records, const std::string& first)
{
    Recomputed r;
    std::map<int, double> boards;
    for (const MatchRecord& m : records) {
        const int a = m.seats[0].score;
        const int b = m.seats[1].score;
        ++r.firstSeat[a > b ? 0 : a == b ? 1 : 2];
        ++r.wdl[m.seats[0].player][a > b ? 0 : a == b ? 1 : 2];
        ++r.wdl[m.seats[1].player][b > a ? 0 : a == b ? 1 : 2];
        const double points = a == b ? 0.5 : (a > b) == (m.seats[0].player == first) ? 1.0 : 0.0;
        boards[m.game / 2] += points;
    }
    for (const auto& [board, points] : boards)
        ++r.pairs[static_cast<std::size_t>(points * 2)];
    return r;
}

} // namespace

TEST_F(SummaryRuns, PrintedFiguresFollowFromTheRecords)
{
    const struct {
        std::string options;
        bool swap;
    } runs[] = {
        {"--first " VORLEN_LOOKAHEAD_BOT " --second stupid --games 6 --seed 11 --swap", true},
        {"--first " VORLEN_LOOKAHEAD_BOT " --second stupid --games 6 --seed 11 --no-swap", false},
        {"--first " VORLEN_LOOKAHEAD_BOT " --second stupid --games 40 --seed 12", true},
        {"--games 30 --seed 13", true},
    };
    for (const auto& [options, swap] : runs) {
        const std::string file = swap ? "swap.jsonl" : "one.csv";
        std::filesystem::remove(dir.file(file));
        const ToolRun run = runTool(options + " --results " + file);
        ASSERT_EQ(run.exitCode, 0) << run.out;
        std::vector<MatchRecord> records;
        std::string error;
        ASSERT_TRUE(readRecordFile(dir.file(file), records, error)) << error;
        const Recomputed r = recompute(records, "A");
        const int games = static_cast<int>(records.size());
        const std::array<Count, 3>& a = r.wdl.at("A");
        std::vector<std::string> expected = {
            formatted("A       %8lld  %8lld  %8lld  %6.1f %%", a[0], a[1], a[2], 100.0 * (a[0] + 0.5 * a[1]) / games),
            formatted("First seat: %.1f %% of the points over %d matches (wins %lld, draws %lld, losses %lld)",
                      100.0 * (r.firstSeat[0] + 0.5 * r.firstSeat[1]) / games, games, r.firstSeat[0], r.firstSeat[1],
                      r.firstSeat[2]),
        };
        // From board pairs with both seatings, from matches without.
        double n = swap ? games / 2 : games;
        double mean = 0;
        double square = 0;
        for (int i = 0; i < 5 && swap; ++i) {
            mean += r.pairs[i] * i / 4.0 / n;
            square += r.pairs[i] * (i / 4.0) * (i / 4.0) / n;
        }
        if (!swap) {
            mean = (a[0] + 0.5 * a[1]) / n;
            square = (a[0] + 0.25 * a[1]) / n;
        }
        // Wilson's interval over n q(1 - q) / v games, q and v with half a
        // sample at 0 and 1; LOS from the leaning of each sample off 1/2.
        const double q = (mean * n + 0.5) / (n + 1);
        const double v = (square * n + 0.5) / (n + 1) - q * q;
        const double worth = n * q * (1 - q) / v;
        const double z = 1.959964;
        const double centre = (mean + z * z / (2 * worth)) / (1 + z * z / worth);
        const double half = z / (1 + z * z / worth) * std::sqrt(mean * (1 - mean) / worth + z * z / (4 * worth * worth));
        const auto elo = [](double p) { return -400 * std::log10(1 / p - 1); };
        // LOS: every sample's lean off an even score, its sign flipped at
        // random, gives the lean's distribution under no difference; LOS is
        // the chance it falls below the lean seen, plus half of equal.
        std::map<int, double> flipped{{0, 1.0}};
        int lean = 0;
        for (int i = 0; i < (swap ? 5 : 3); ++i) {
            const Count count = swap ? r.pairs[i] : std::array{a[2], a[1], a[0]}[i];
            const int off = i - (swap ? 2 : 1);
            lean += static_cast<int>(count) * off;
            for (Count k = 0; k < count && off != 0; ++k) {
                std::map<int, double> next;
                for (const auto& [value, p] : flipped) {
                    next[value + off] += p / 2;
                    next[value - off] += p / 2;
                }
                flipped = std::move(next);
            }
        }
        double below = 0;
        for (const auto& [value, p] : flipped)
            below += value < lean ? p : value == lean ? p / 2 : 0;
        const auto bound = [&](double p) {
            return p > 1 - 1e-12 ? std::string("+∞") : p < 1e-12 ? std::string("-∞") : signedElo(elo(p));
        };
        // A likelihood is never rounded to a certainty: past 99.95 % it is "> 99.9 %".
        const double los = 100 * below;
        const std::string losText = los == 100 ? "100" : los >= 99.95 ? "> 99.9" : los < 0.05 && los > 0 ? "< 0.1"
                                                                                                         : formatted("%.1f", los);
        expected.push_back(formatted("Elo difference A - B: %s [%s, %s] (95 %%, from %d %s), LOS %s %%",
                                     mean == 1 ? "no finite estimate: A won every match" : signedElo(elo(mean)).c_str(),
                                     bound(centre - half).c_str(), bound(centre + half).c_str(), static_cast<int>(n),
                                     swap ? "board pairs" : "matches", losText.c_str()));
        if (swap)
            expected.push_back(formatted("Board pairs by A's points (0, 1/2, 1, 3/2, 2): %lld, %lld, %lld, %lld, %lld", r.pairs[0],
                                         r.pairs[1], r.pairs[2], r.pairs[3], r.pairs[4]));
        for (const std::string& line : expected)
            EXPECT_NE(run.out.find(line), std::string::npos) << line << "\nin\n" << run.out;
    }
}

TEST_F(SummaryRuns, SummarizePrintsWhatTheRunPrinted)
{
    const char* runs[] = {
        "--first " VORLEN_LOOKAHEAD_BOT " --second stupid --sprt elo0=0,elo1=50 --games 200 --seed 3 --concurrency 2",
        "--player a=stupid --player b=" VORLEN_LOOKAHEAD_BOT " --player c=stupid --tournament round-robin --games 2 "
        "--seed 4 --bot-env OMP_NUM_THREADS=1 --bot-env LANG",
        "--games 5 --seed 6 --no-swap",
    };
    for (const char* options : runs) {
        std::filesystem::remove(dir.file("r.jsonl"));
        const ToolRun run = runTool(std::string(options) + " --results r.jsonl");
        ASSERT_EQ(run.exitCode, 0) << options << "\n" << run.out;
        const ToolRun summed = runTool("summarize r.jsonl", "2>&1");
        EXPECT_EQ(summed.exitCode, 0);
        EXPECT_EQ(summed.out, run.out) << options;
        // The SPRT stops early: its figures come also as the stop leaves them.
        if (std::string(options).find("--sprt") != std::string::npos) {
            EXPECT_NE(run.out.find("  accounting for the stop: 95 % interval ["), std::string::npos) << run.out;
        }
    }
}

TEST_F(SummaryRuns, RoundRobinStandingsFollowFromTheRecords)
{
    // Two copies of the built-in player, the look-ahead bot, and a bot that
    // plays its own colour and is out at once (yet draws a board or two).
    const std::string weak = dir.write("weak.sh", "#!/bin/sh\nhead -c 1 vorla.in > vorla.out\n");
    std::filesystem::permissions(weak, std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec
                                           | std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    const ToolRun run = runTool("--player g1=stupid --player look=" VORLEN_LOOKAHEAD_BOT " --player g2=stupid --player weak="
                                + weak + " --tournament round-robin --games 4 --seed 11 --results rr.jsonl");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    std::vector<MatchRecord> records;
    std::string error;
    ASSERT_TRUE(readRecordFile(dir.file("rr.jsonl"), records, error)) << error;
    ASSERT_EQ(records.size(), 48U);

    // Points between every two players, then Bradley-Terry by plain
    // fixed-point iteration.
    const std::vector<std::string> names = {"g1", "look", "g2", "weak"};
    double points[4][4] = {};
    for (const MatchRecord& r : records) {
        const auto at = [&](const std::string& name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
        const auto a = at(r.seats[0].player);
        const auto b = at(r.seats[1].player);
        const double first = r.seats[0].score > r.seats[1].score ? 1 : r.seats[0].score == r.seats[1].score ? 0.5 : 0;
        points[a][b] += first;
        points[b][a] += 1 - first;
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            ASSERT_TRUE(i == j || points[i][j] > 0) << "this seed gives every pair points both ways";
    double strength[4] = {1, 1, 1, 1};
    for (int round = 0; round < 20000; ++round) {
        for (int i = 0; i < 4; ++i) {
            double won = 0;
            double expected = 0;
            for (int j = 0; j < 4; ++j) {
                if (j != i) {
                    won += points[i][j];
                    expected += (points[i][j] + points[j][i]) / (strength[i] + strength[j]);
                }
            }
            strength[i] = won / expected;
        }
    }
    for (int i = 1; i < 4; ++i) {
        const double elo = 400 * std::log10(strength[i] / strength[0]);
        EXPECT_NE(run.out.find(formatted("  %-6s  %7s  ", names[i].c_str(), signedElo(elo).c_str())), std::string::npos)
            << names[i] << " at " << elo << "\n" << run.out;
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (i != j) {
                EXPECT_NE(run.out.find(formatted("%.1f/8", points[i][j])), std::string::npos) << names[i] << names[j];
            }
}
