// The summary's figures: worked out by hand, recomputed from a run's
// records, and the same whether a run prints them or summarize does.
#include "Elo.h"
#include "GameSet.h"
#include "MatchRecord.h"
#include "ProgressReport.h"
#include "StandingRows.h"
#include "Summary.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <filesystem>
#include <map>

using namespace vorlen::match;
using namespace vorlen::testing;

namespace {

// A match on board `game / 2` between two named players, `first` seated first.
MatchRecord match(int game, const std::string& first, const std::string& second, int firstScore, int secondScore)
{
    MatchRecord r;
    r.game = game;
    r.seats[0].player = first;
    r.seats[1].player = second;
    r.seats[0].score = firstScore;
    r.seats[1].score = secondScore;
    return r;
}

} // namespace

TEST(Elo, EstimatesWorkedOutByHand)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double none = std::nan("");
    // By hand: the interval is Wilson's at the mean score over n q(1 - q) / v
    // games (q, v: mean and variance with half a sample at 0 and at 1), LOS
    // Phi(sum (x - 1/2) / sqrt(sum (x - 1/2)^2)), nElo (m - 1/2) / sqrt(g v)
    // times 800 / ln 10 with g = 2 for pairs.
    const struct {
        const char* what;
        EloEstimate estimate;
        double difference, low, high, los, nElo;
    } cases[] = {
        // Small and one-sided: a finite bound wherever one exists.
        {"one win", estimateElo(1, 0, 0), inf, -233.80, inf, 0.8413, none},
        {"three wins", estimateElo(3, 0, 0), inf, -42.95, inf, 0.9584, none},
        {"9-1", estimateElo(9, 0, 1), 381.70, 67.44, 695.96, 0.9943, 463.25},
        {"three even pairs", estimateEloOfPairs({0, 0, 3, 0, 0}), 0.0, -187.36, 187.36, 0.5, none},
        {"one pair of 3/2", estimateEloOfPairs({0, 0, 0, 1, 0}), 190.85, -270.34, 652.04, 0.8413, none},
        {"one loss", estimateElo(0, 0, 1), -inf, -inf, 233.80, 0.1587, none},
        // Larger samples: the interval close to the normal one.
        {"pairs", estimateEloOfPairs({2, 10, 20, 30, 8}), 80.84, 38.47, 123.21, 0.9998, 116.22},
        {"matches", estimateElo(75, 0, 25), 190.85, 112.87, 268.82, 1.0, 200.59},
        {"even with draws", estimateElo(45, 10, 45), 0.0, -64.27, 64.27, 0.5, 0.0},
    };
    const auto near = [](double actual, double expected, double tolerance) {
        return std::isnan(expected) ? std::isnan(actual)
               : std::isinf(expected) ? actual == expected
                                      : std::fabs(actual - expected) < tolerance;
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(near(c.estimate.difference, c.difference, 0.01)) << c.what << ": " << c.estimate.difference;
        EXPECT_TRUE(near(c.estimate.low, c.low, 0.01)) << c.what << ": " << c.estimate.low;
        EXPECT_TRUE(near(c.estimate.high, c.high, 0.01)) << c.what << ": " << c.estimate.high;
        EXPECT_TRUE(near(c.estimate.los, c.los, 1e-4)) << c.what << ": " << c.estimate.los;
        EXPECT_TRUE(near(c.estimate.nElo, c.nElo, 0.01)) << c.what << ": " << c.estimate.nElo;
    }
    EXPECT_TRUE(estimateEloOfPairs({0, 0, 3, 0, 0}).noSpread);
    EXPECT_TRUE(std::isnan(estimateElo(0, 0, 0).difference));
    // Win-or-lose games are worth themselves; draws and even pairs narrow the spread.
    EXPECT_DOUBLE_EQ(effectiveGames<3>({4, 0, 6}, {0.0, 0.5, 1.0}), 10.0);
    EXPECT_NEAR(effectiveGames<5>({0, 0, 3, 0, 0}, {0.0, 0.25, 0.5, 0.75, 1.0}), 12.0, 1e-9);
    // The same 100 matches: won 1-1 board by board, the pairs see that the
    // boards decided and the players did not; taken singly they cannot.
    const EloEstimate pairs = estimateEloOfPairs({0, 10, 30, 10, 0});
    const EloEstimate single = estimateElo(50, 0, 50);
    EXPECT_LT(pairs.high - pairs.low, (single.high - single.low) / 2);
}

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
    // Of one shard: only its own games count.
    const struct {
        int shard, shards, absent;
        const char* listed;
    } parts[] = {{0, 3, 1, "6"}, {1, 3, 2, "4"}, {2, 4, 2, "6"}, {1, 2, 2, "5"}};
    for (const auto& part : parts) {
        list.clear();
        EXPECT_EQ(games.missing(12, 1, list, part.shard, part.shards), part.absent) << part.shard << "/" << part.shards;
        EXPECT_EQ(list, part.listed) << part.shard << "/" << part.shards;
    }
}

TEST(Tally, BoardPairsAndTheFirstSeatWhateverTheOrder)
{
    // Board 0: A wins both; board 1: each wins as first; board 2: one match so far.
    Tally tally("A", true);
    for (const MatchRecord& r : {match(3, "B", "A", 900, 800), match(0, "A", "B", 900, 800), match(4, "A", "B", 5, 5),
                                 match(2, "A", "B", 900, 800), match(1, "B", "A", 800, 900)})
        tally.add(r);
    EXPECT_EQ(tally.pairsByPoints(), (std::array<int, 5>{0, 0, 1, 0, 1}));
    EXPECT_EQ(tally.firstSeat().wins, 3);
    EXPECT_EQ(tally.firstSeat().draws, 1);
    EXPECT_EQ(tally.firstSeat().losses, 1);
    EXPECT_EQ(tally.player("A").wins, 3);
    EXPECT_EQ(tally.between("B", "A").losses, 3);
}

TEST(Standings, PlayersThatCannotBeRatedAreNamedWithWhy)
{
    // a and b share points; c never loses to them; d and e only play each
    // other; f plays nobody.
    Tally tally;
    int game = 0;
    const auto play = [&](const char* x, const char* y, int xWins, int yWins) {
        for (int i = 0; i < xWins; ++i)
            tally.add(match(game++, x, y, 2, 1));
        for (int i = 0; i < yWins; ++i)
            tally.add(match(game++, x, y, 1, 2));
    };
    play("a", "b", 3, 1);
    play("c", "a", 2, 0);
    play("c", "b", 2, 0);
    play("d", "e", 1, 1);
    RunFacts run;
    for (const char* name : {"f", "a", "b", "c", "d", "e"})
        run.players.push_back({name, "stupid"});
    const std::string text = standingsText(tally, run);
    // a scored 3 of 4 against b; b's interval is Wilson's at 1 of 4, and the
    // likelihood that a is stronger Phi(ln 3 / sqrt(1 / (4 3/4 1/4))).
    const double expected = 400 * std::log10(3.0);
    // c, who lost no point to the rated group, stands above it; the player
    // without games last.
    const std::string lines[] = {
        "Standings (Elo by Bradley-Terry, a at 0 (the first rated player), 95 % intervals):",
        "   1  c             -  -                            4.0",
        "   2  a          +0.0  -                            3.0",
        formatted("   3  b       %+7.1f  [-528.4, +146.7]", -expected),
        "   6  f             -  -                            0.0",
        "Not rated:\n"
        "  f has no matches, so a is the reference\n",
        "  c: not comparable, won every game against a's group, directly or through others\n",
        // Who is likely the stronger: between rated players only.
        "Likelihood of superiority (the row's player over the column's, from the ratings, %):\n"
        "                   2       3\n"
        "   2  a            -    82.9\n"
        "   3  b         17.1       -\n",
        "  d: not comparable, no results link it to a's group\n",
        "  f: no matches, left out\n",
    };
    for (const std::string& line : lines)
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
    // The report's standings list them in the same order.
    std::string order;
    for (const StandingRow& row : standingRows(tally, run))
        order += row.name;
    EXPECT_EQ(order, "cabdef");
}

TEST(Standings, ATournamentsBoardPairsGiveTheTwoPlayerFigures)
{
    // 14 boards in both seatings: a's points over each pair, in the seatings' order.
    const double boards[][2] = {{1, 1}, {1, 0}, {0, 1}, {1, 1}, {1, 0.5}, {0, 0}, {1, 0},
                                {1, 1}, {0.5, 1}, {1, 0}, {0, 1}, {1, 1}, {0, 1}, {1, 0}};
    Tally tally("a", true);
    Tally single("a", false);
    int game = 0;
    for (const auto& board : boards) {
        const auto score = [](double points) { return points == 1 ? 30 : points == 0 ? 10 : 20; };
        for (Tally* t : {&tally, &single}) {
            t->add(match(game, "a", "b", score(board[0]), 20));
            t->add(match(game + 1, "b", "a", 20, score(board[1])));
        }
        game += 2;
    }
    const EloEstimate two = eloOfFirst(tally, "a").elo;
    const Ratings rated = rateRun(tally, {"a", "b"});
    EXPECT_NEAR(rated.elo[1], -two.difference, 1e-6);
    EXPECT_NEAR(rated.low[1], -two.high, 1e-6);
    EXPECT_NEAR(rated.high[1], -two.low, 1e-6);
    // Taken match by match the same results leave a wider interval: the
    // boards' leaning counted as the players' luck.
    const Ratings matches = rateRun(single, {"a", "b"});
    EXPECT_LT(rated.high[1] - rated.low[1], matches.high[1] - matches.low[1]);

    // Who is at 0 is said, and moves every rating alike.
    Tally three("a", true);
    game = 0;
    for (const auto& [x, y] : {std::pair{"a", "b"}, {"b", "c"}, {"a", "c"}})
        for (int board = 0; board < 3; ++board) {
            three.add(match(game++, x, y, 30 - 5 * board, 20));
            three.add(match(game++, y, x, 20, 10 + 5 * board));
        }
    RunFacts run;
    run.players = {{"a", "stupid"}, {"b", "stupid"}, {"c", "stupid"}};
    const std::string byFirst = standingsText(three, run);
    EXPECT_NE(byFirst.find("Standings (Elo by Bradley-Terry, a at 0 (the first player), 95 % intervals from board pairs):"),
              std::string::npos)
        << byFirst;
    run.anchor = "b";
    EXPECT_NE(standingsText(three, run).find("b at 0 (--anchor)"), std::string::npos);
    run.anchor = kPoolMeanAnchor;
    const std::string byMean = standingsText(three, run);
    EXPECT_NE(byMean.find("the rated players' mean at 0 (--anchor mean)"), std::string::npos) << byMean;
    EXPECT_EQ(byMean.find("(anchor)"), std::string::npos) << byMean;
}

TEST(SummaryWords, SayWhatWasPlayedAndNoMore)
{
    RunFacts run;
    run.players = {{"A", "stupid"}, {"B", "stupid"}};
    run.matchCount = 4;
    run.swap = true;
    // Nothing played: no share of nothing.
    const std::string empty = summaryText(Tally("A", true), run, true);
    EXPECT_EQ(empty.find("0.0 %"), std::string::npos) << empty;
    // One board in both seatings, of two: "board pair", and not "every board".
    Tally one("A", true);
    one.add(match(0, "A", "B", 30, 20));
    one.add(match(1, "B", "A", 20, 30));
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
        wins.add(match(game, "A", "B", 30, 20));
        sprt.add(match(game, "A", "B", 30, 20));
    }
    ASSERT_TRUE(sprt.decided());
    const std::string stopped = summaryText(wins, run, false, &sprt);
    EXPECT_NE(stopped.find("Matches played: 20 of 100 (until the SPRT decided)\n"), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("biased by the stop; these results cannot say by how much"), std::string::npos) << stopped;
    // One seating a board: the seats' share stands beside the Elo.
    EXPECT_NE(stopped.find("  seats unbalanced: each board was played in one seating, and the first seat took 100.0 % of "
                           "the points; A sat first in 20 of 20 matches\n"),
              std::string::npos)
        << stopped;
}

TEST(Progress, ALinePerMatchAndAScoreLineEveryTenMatches)
{
    using Clock = ProgressReport::Clock;
    const Clock::time_point start{};
    ProgressReport::Settings settings;
    settings.total = 40;
    settings.players = {"A", "B"};
    ProgressReport report(settings, start);
    MatchRunner::Progress now;
    now.tally = Tally("A", false);
    MatchRecord failed = match(0, "A", "B", 10, 20);
    failed.seats[0].retired = "time limit";
    failed.seats[0].retiredTurn = 4;
    failed.seats[1].retired = "full board";
    now.fresh = {failed};
    now.finished = 1;
    now.tally.add(failed);
    EXPECT_EQ(report.update(now, start + std::chrono::seconds(1)), "game 0: A 10 - B 20, B wins (A: time limit at turn 4)\n");
    // Ten matches in: the score, with what is left.
    now.fresh.clear();
    for (int game = 1; game < 10; ++game) {
        now.fresh.push_back(match(game, "A", "B", 30, 20));
        now.tally.add(now.fresh.back());
    }
    now.finished = 10;
    const std::string text = report.update(now, start + std::chrono::seconds(5));
    EXPECT_NE(text.find("game 9: A 30 - B 20, A wins\n"), std::string::npos) << text;
    EXPECT_NE(text.find("A vs B: wins 9, draws 0, losses 1, Elo +381.7"), std::string::npos) << text;
    EXPECT_NE(text.find("; 10 of 40 matches, 30 left, about 15 s\n"), std::string::npos) << text;
    // Nothing new, nothing said; quiet: a bare count.
    now.fresh.clear();
    EXPECT_EQ(report.update(now, start + std::chrono::seconds(6)), "");
    settings.quiet = true;
    ProgressReport quiet(settings, start);
    EXPECT_EQ(quiet.update(now, start + std::chrono::seconds(1)), "10/40 matches\n");
    settings.terminal = true;
    EXPECT_EQ(ProgressReport(settings, start).update(now, start), "\r10/40 matches\033[K");
}

TEST(Progress, ATournamentsScoreLineGivesTheStandings)
{
    using Clock = ProgressReport::Clock;
    const Clock::time_point start{};
    ProgressReport::Settings settings;
    settings.total = 36;
    settings.players = {"alpha", "beta", "gamma"};
    ProgressReport report(settings, start);
    MatchRunner::Progress now;
    now.tally = Tally("alpha", false);
    const struct {
        const char* first;
        const char* second;
        int firstScore;
    } played[] = {{"alpha", "beta", 30}, {"alpha", "beta", 30}, {"alpha", "beta", 10}, {"alpha", "gamma", 30},
                  {"alpha", "gamma", 30}, {"alpha", "gamma", 10}, {"beta", "gamma", 30}, {"beta", "gamma", 10},
                  {"gamma", "beta", 20}, {"gamma", "beta", 20}};
    for (int game = 0; game < 10; ++game) {
        now.fresh.push_back(match(game, played[game].first, played[game].second, played[game].firstScore, 20));
        now.tally.add(now.fresh.back());
    }
    now.finished = 10;
    const std::string text = report.update(now, start + std::chrono::seconds(5));
    // Every player, by points, with its games and, once rated, its Elo.
    // beta and gamma each won one and drew two of their own games: equal.
    EXPECT_NE(text.find("standings: alpha 4.0/6 +0.0, beta 3.0/7 -120.4 [-405.7, +164.9], gamma 3.0/7 -120.4 [-405.7, +164.9]; "
                        "10 of 36 matches"),
              std::string::npos)
        << text;
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
    std::map<std::string, std::array<int, 3>> wdl; // by player
    std::array<int, 3> firstSeat{};
    std::array<int, 5> pairs{};
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
        const std::array<int, 3>& a = r.wdl.at("A");
        std::vector<std::string> expected = {
            formatted("A       %8d  %8d  %8d  %6.1f %%", a[0], a[1], a[2], 100.0 * (a[0] + 0.5 * a[1]) / games),
            formatted("First seat: %.1f %% of the points over %d matches (wins %d, draws %d, losses %d)",
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
        const double step = swap ? 0.25 : 0.5; // the score scale's unit
        double lean = 0;
        double leanSquares = 0;
        for (int i = 0; i < (swap ? 5 : 3); ++i) {
            const int count = swap ? r.pairs[i] : std::array{a[2], a[1], a[0]}[i];
            const double off = i * step - 0.5;
            lean += count * off;
            leanSquares += count * off * off;
        }
        const auto bound = [&](double p) {
            return p > 1 - 1e-12 ? std::string("+∞") : p < 1e-12 ? std::string("-∞") : signedElo(elo(p));
        };
        expected.push_back(formatted("Elo difference A - B: %s [%s, %s] (95 %%, from %d %s), LOS %.1f %%",
                                     signedElo(elo(mean)).c_str(), bound(centre - half).c_str(),
                                     bound(centre + half).c_str(), static_cast<int>(n),
                                     swap ? "board pairs" : "matches",
                                     leanSquares > 0 ? 50 * std::erfc(-lean / std::sqrt(2 * leanSquares)) : 50.0));
        if (swap)
            expected.push_back(formatted("Board pairs by A's points (0, 1/2, 1, 3/2, 2): %d, %d, %d, %d, %d", r.pairs[0],
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
