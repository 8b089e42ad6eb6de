// Estimates and standings worked out by hand: the two-player Elo with its
// interval, LOS and nElo, and the standings of a tournament.
#include "Elo.h"
#include "Superiority.h"
#include "StandingRows.h"
#include "Summary.h"

#include "support/Records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorlen::match;
using vorlen::testing::matchOf;

TEST(Elo, EstimatesWorkedOutByHand)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double none = std::nan("");
    // By hand: the interval is Wilson's at the mean score over n q(1 - q) / v
    // games (q, v: mean and variance with half a sample at 0 and at 1), LOS
    // the sign-flip test's mid-p (three wins: P(fewer than 3 of 3 fair coins)
    // + P(all 3) / 2 = 7/8 + 1/16; 9-1: 1 - 11/1024 + 10/2048), nElo (m - 1/2) / sqrt(g v)
    // times 800 / ln 10 with g = 2 for pairs.
    const struct {
        const char* what;
        EloEstimate estimate;
        double difference, low, high, los, nElo;
    } cases[] = {
        // Small and one-sided: a finite bound wherever one exists.
        {"one win", estimateElo(1, 0, 0), inf, -233.80, inf, 0.75, none},
        {"three wins", estimateElo(3, 0, 0), inf, -42.95, inf, 0.9375, none},
        {"9-1", estimateElo(9, 0, 1), 381.70, 67.44, 695.96, 0.994140625, 463.25},
        {"three even pairs", estimateEloOfPairs({0, 0, 3, 0, 0}), 0.0, -187.36, 187.36, 0.5, none},
        {"one pair of 3/2", estimateEloOfPairs({0, 0, 0, 1, 0}), 190.85, -270.34, 652.04, 0.75, none},
        {"one loss", estimateElo(0, 0, 1), -inf, -inf, 233.80, 0.25, none},
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
    // nElo's interval by the delta method, worked out apart: t from the plain moments,
    // Var(t) from the moments with half a sample at 0 and at 1.
    const EloEstimate leaning = estimateEloOfPairs({2, 10, 20, 30, 8});
    EXPECT_NEAR(leaning.nEloLow, 50.455, 0.001);
    EXPECT_NEAR(leaning.nEloHigh, 181.977, 0.001);
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

TEST(Superiority, TheSignFlipMidPByHandAndTheNormalFormWhereItStandsIn)
{
    const struct {
        Count ones, twos, lean;
        double los;
    } cases[] = {
        {0, 0, 0, 0.5},
        {1, 0, 1, 0.75},                 // one win: the coin below, or half of it even
        {3, 0, 3, 0.9375},               // 7/8 + 1/16
        {3, 0, -3, 0.0625},
        {4, 0, 0, 0.5},                  // two wins, two losses
        {10, 0, 8, 1 - 11.0 / 1024 + 5.0 / 1024},
        {1, 1, 1, 0.625},                // leans -1 and +2: flipped +3, +1, -1, -3 alike
        {0, 2, 4, 0.875},                // two pairs of 2: flipped +4, 0, 0, -4
        {2, 1, -4, 0.0625},              // all leaning down: only the same below it
    };
    for (const auto& c : cases)
        EXPECT_NEAR(likelihoodOfSuperiority(c.ones, c.twos, c.lean), c.los, 1e-12)
            << c.ones << " ones, " << c.twos << " twos, lean " << c.lean;
    // Where it stands in, the normal form is as good: the two agree at its edge.
    const Count n = kExactSamples;
    const double exact = likelihoodOfSuperiority(n, 0, 200);
    const double normal = likelihoodOfSuperiority(n + 2, 0, 200);
    EXPECT_NEAR(exact, normal, 0.003);
    EXPECT_NEAR(normal, normalCdf(200.0 / std::sqrt(double(n + 2))), 1e-12);
}

// Single matches of x against y, x seated first: x wins `xWins`, y `yWins`.
static void addWins(Tally& tally, int& game, const char* x, const char* y, int xWins, int yWins)
{
    for (int i = 0; i < xWins; ++i)
        tally.add(matchOf(game++, x, y, 2, 1));
    for (int i = 0; i < yWins; ++i)
        tally.add(matchOf(game++, x, y, 1, 2));
}

TEST(Standings, PlayersThatCannotBeRatedAreNamedWithWhy)
{
    // a and b share points; c never loses to them; d and e only play each
    // other; f plays nobody.
    Tally tally;
    int game = 0;
    addWins(tally, game, "a", "b", 3, 1);
    addWins(tally, game, "c", "a", 2, 0);
    addWins(tally, game, "c", "b", 2, 0);
    addWins(tally, game, "d", "e", 1, 1);
    RunFacts run;
    for (const char* name : {"f", "a", "b", "c", "d", "e"})
        run.players.push_back({name, vorlen::parseSeatPlayer("stupid")});
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
        // Who is likely the stronger: between rated players only, by the
        // sign-flip test on their own 3 wins to 1, as a two-player run says
        // it: P(fewer than 3 of 4 flips) + P(3) / 2 = 11/16 + 2/16.
        "Likelihood of superiority (the row's player over the column's, %, from their own results as a two-player "
        "run gives it):\n"
        "                   2       3\n"
        "   2  a            -    81.3\n"
        "   3  b         18.8       -\n",
        "  d: not comparable, no results link it to a's group\n",
        "  f: no matches, left out\n",
    };
    for (const std::string& line : lines)
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
    EXPECT_EQ(text.find("comparisons at once"), std::string::npos) << "one comparison is one";
    // Many at once: what they are worth is said.
    EXPECT_EQ(manyComparisonsNote(2), "");
    EXPECT_EQ(manyComparisonsNote(3).rfind("3 comparisons at once: with no difference anywhere, each passes 95 % one "
                                           "time in twenty, so about 0.1 of them would by chance",
                                           0),
              0U);
    EXPECT_NE(manyComparisonsNote(8).find("28 comparisons at once"), std::string::npos);
    EXPECT_NE(manyComparisonsNote(8).find("about 1.4 of them"), std::string::npos);
    // The report's standings list them in the same order, with who is
    // likely the stronger between rated neighbours only (a over b, as above).
    std::string order;
    const std::vector<StandingRow> rows = standingRows(tally, run);
    for (const StandingRow& row : rows)
        order += row.name;
    EXPECT_EQ(order, "cabdef");
    ASSERT_TRUE(rows[1].losOverNext);
    EXPECT_DOUBLE_EQ(*rows[1].losOverNext, 13.0 / 16);
    for (const std::size_t unrated : {0, 2, 3, 4, 5})
        EXPECT_FALSE(rows[unrated].losOverNext) << rows[unrated].name;
    EXPECT_NE(standingsNote(tally, run).find("Small samples: a pairing has "), std::string::npos);

    // Players that never met are compared through the ratings, and marked.
    Tally gauntlet;
    game = 0;
    addWins(gauntlet, game, "a", "b", 6, 4);
    addWins(gauntlet, game, "a", "c", 4, 6);
    RunFacts three;
    for (const char* name : {"a", "b", "c"})
        three.players.push_back({name, vorlen::parseSeatPlayer("stupid")});
    const std::string marked = standingsText(gauntlet, three);
    EXPECT_NE(marked.find("* never met: through the ratings"), std::string::npos) << marked;
    // c over a, 6 wins of 10: (638 + 210 / 2) / 1024; c and b through the ratings.
    EXPECT_NE(marked.find("   1  c            -    72.6   81.3*\n"), std::string::npos) << marked;
    EXPECT_NE(marked.find("   2  a         27.4       -    72.6\n"), std::string::npos) << marked;
}

TEST(Standings, TwoPlayersLikelihoodIsTheSummarysFromTheLeadersSide)
{
    RunFacts run;
    run.players = {{"A", vorlen::parseSeatPlayer("stupid")}, {"B", vorlen::parseSeatPlayer("stupid")}};
    // B, the second player, leads: the table's first row is B over A.
    Tally tally("A", false);
    for (int game = 0; game < 40; ++game)
        tally.add(game % 4 == 0 ? matchOf(game, "A", "B", 30, 20) : matchOf(game, "A", "B", 20, 30));
    const std::vector<StandingRow> rows = standingRows(tally, run);
    ASSERT_EQ(rows[0].name, "B");
    const double losOfA = eloOfFirst(tally, "A").elo.los;
    ASSERT_TRUE(rows[0].losOverNext);
    EXPECT_DOUBLE_EQ(*rows[0].losOverNext, 1.0 - losOfA);
    EXPECT_GT(*rows[0].losOverNext, 0.99);
    EXPECT_FALSE(rows[1].losOverNext);
    // Forty matches are enough; four are a first look.
    EXPECT_EQ(standingsNote(tally, run), "");
    Tally few("A", false);
    for (int game = 0; game < 4; ++game)
        few.add(matchOf(game, "A", "B", 30, 20));
    EXPECT_EQ(standingsNote(few, run), "A small sample (4 matches, under 30): a first look, not a verdict\n");
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
            t->add(matchOf(game, "a", "b", score(board[0]), 20));
            t->add(matchOf(game + 1, "b", "a", 20, score(board[1])));
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
            three.add(matchOf(game++, x, y, 30 - 5 * board, 20));
            three.add(matchOf(game++, y, x, 20, 10 + 5 * board));
        }
    RunFacts run;
    run.players = {{"a", vorlen::parseSeatPlayer("stupid")}, {"b", vorlen::parseSeatPlayer("stupid")}, {"c", vorlen::parseSeatPlayer("stupid")}};
    const std::string byFirst = standingsText(three, run);
    EXPECT_NE(byFirst.find("Standings (Elo by Bradley-Terry, a at 0 (the first player), 95 % intervals from board pairs):"),
              std::string::npos)
        << byFirst;
    EXPECT_NE(byFirst.find("Small samples: a pairing has 3 board pairs (under 30): a first look, not a verdict\n"),
              std::string::npos)
        << byFirst;
    run.anchor = "b";
    EXPECT_NE(standingsText(three, run).find("b at 0 (--anchor)"), std::string::npos);
    run.anchor = kPoolMeanAnchor;
    const std::string byMean = standingsText(three, run);
    EXPECT_NE(byMean.find("the rated players' mean at 0 (--anchor mean)"), std::string::npos) << byMean;
    EXPECT_EQ(byMean.find("(anchor)"), std::string::npos) << byMean;
}

