#include "MatchRecord.h"
#include "Ratings.h"
#include "Schedule.h"
#include "Sprt.h"
#include "SprtStopBias.h"
#include "Elo.h"
#include "PositiveDefinite.h"
#include "SprtRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace vorlen::match;

TEST(Schedule, PairingsAndTheOrderOfMatches)
{
    EXPECT_EQ(pairingsOf(2, Tournament::None), (std::vector<Pairing>{{0, 1}}));
    EXPECT_EQ(pairingsOf(4, Tournament::RoundRobin),
              (std::vector<Pairing>{{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}));
    EXPECT_EQ(pairingsOf(4, Tournament::Gauntlet), (std::vector<Pairing>{{0, 1}, {0, 2}, {0, 3}}));
    const struct {
        int game, pairings;
        bool swap;
        Slot slot;
    } cases[] = {
        {0, 1, false, {0, 0, false}}, {5, 1, false, {5, 0, false}}, {5, 1, true, {2, 0, true}},
        {4, 3, false, {1, 1, false}}, {7, 3, true, {1, 0, true}},   {11, 3, true, {1, 2, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(slotOf(c.game, c.pairings, c.swap), c.slot) << c.game;
    // Alternating seats: one seating a board, every pairing exchanged on odd boards.
    EXPECT_EQ(slotOf(3, 3, false, true), (Slot{1, 0, true}));
    EXPECT_EQ(slotOf(6, 3, false, true), (Slot{2, 0, false}));
    EXPECT_EQ(slotOf(7, 3, true, true), (Slot{1, 0, true})) << "both seatings already";
    EXPECT_EQ(matchCountOf(10, 6, true), 120);
}

TEST(Ratings, BradleyTerryMaximumLikelihoodWithErrorBars)
{
    // 75 % for the anchor: 400 log10(3) below it, with Wilson's interval of
    // 100 games at p = 0.25.
    const Ratings two = rateByBradleyTerry(2, {{0, 1, 70, 10, 20}});
    EXPECT_EQ(two.anchor, 0);
    EXPECT_DOUBLE_EQ(two.elo[0], 0);
    EXPECT_NEAR(two.elo[1], -190.85, 0.01);
    EXPECT_NEAR(two.low[1], -268.82, 0.01);
    EXPECT_NEAR(two.high[1], -112.87, 0.01);
    EXPECT_TRUE(std::isnan(two.low[0])); // the anchor has none

    // Results that fit the model exactly give its ratings back: each step a
    // ratio of 1.5 in strength.
    const Ratings three = rateByBradleyTerry(3, {{0, 1, 60, 0, 40}, {1, 2, 60, 0, 40}, {0, 2, 90, 0, 40}});
    EXPECT_NEAR(three.elo[1], -70.44, 0.01);
    EXPECT_NEAR(three.elo[2], -140.87, 0.01);
    EXPECT_GT(three.high[2] - three.low[2], (three.high[1] - three.low[1]) * 0.5);
}

TEST(Ratings, OnlyPlayersJoinedByResultsBothWaysAreRated)
{
    using S = Standing;
    const struct {
        const char* what;
        int players;
        std::vector<HeadToHead> results;
        int anchor;
        std::vector<Standing> standings;
    } cases[] = {
        {"every point or none: out of reach, the rest still fit", 4,
         {{0, 1, 6, 0, 4}, {0, 2, 10, 0, 0}, {1, 2, 10, 0, 0}, {3, 0, 5, 0, 0}, {3, 1, 5, 0, 0}}, 0,
         {S::Rated, S::Rated, S::Below, S::Above}},
        {"a player with no games is left out", 3, {{0, 1, 5, 0, 5}}, 0, {S::Rated, S::Rated, S::NoGames}},
        {"two groups that never met", 4, {{0, 1, 3, 1, 3}, {2, 3, 4, 0, 2}}, 0,
         {S::Rated, S::Rated, S::Apart, S::Apart}},
        {"a group that beats another every time", 4,
         {{0, 1, 5, 0, 5}, {2, 3, 5, 0, 5}, {0, 2, 10, 0, 0}, {1, 3, 10, 0, 0}, {0, 3, 10, 0, 0}}, 0,
         {S::Rated, S::Rated, S::Below, S::Below}},
        {"an anchor with every point: the next comparable player is at 0", 3,
         {{0, 1, 10, 0, 0}, {0, 2, 10, 0, 0}, {1, 2, 6, 2, 2}}, 1, {S::Above, S::Rated, S::Rated}},
        {"an anchor without games", 3, {{1, 2, 6, 2, 2}}, 1, {S::NoGames, S::Rated, S::Rated}},
        {"a draw joins both ways", 2, {{0, 1, 0, 1, 0}}, 0, {S::Rated, S::Rated}},
        {"one-sided all the way down: nobody rated", 3, {{0, 1, 5, 0, 0}, {1, 2, 5, 0, 0}}, -1,
         {S::Apart, S::Apart, S::Apart}},
    };
    for (const auto& c : cases) {
        const Ratings ratings = rateByBradleyTerry(c.players, c.results);
        EXPECT_EQ(ratings.anchor, c.anchor) << c.what;
        EXPECT_EQ(ratings.standing, c.standings) << c.what;
        for (int i = 0; i < c.players; ++i) {
            if (c.standings[i] != S::Rated)
                continue;
            // Every rated player has a finite rating and interval.
            EXPECT_TRUE(std::isfinite(ratings.elo[i])) << c.what << ", player " << i;
            if (i == c.anchor) {
                EXPECT_EQ(ratings.elo[i], 0) << c.what;
            } else {
                EXPECT_TRUE(std::isfinite(ratings.low[i]) && std::isfinite(ratings.high[i])) << c.what << ", player " << i;
            }
        }
    }
    // Ratings within a group do not depend on who else played: the fit of
    // the first case equals that of its rated pair alone.
    const Ratings withOthers = rateByBradleyTerry(4, {{0, 1, 6, 0, 4}, {0, 2, 10, 0, 0}, {1, 2, 10, 0, 0}, {3, 0, 5, 0, 0}});
    const Ratings alone = rateByBradleyTerry(2, {{0, 1, 6, 0, 4}});
    EXPECT_NEAR(withOthers.elo[1], alone.elo[1], 1e-9);
    EXPECT_NEAR(withOthers.low[1], alone.low[1], 1e-9);
    EXPECT_NEAR(withOthers.high[1], alone.high[1], 1e-9);
}

TEST(Ratings, TheAnchorMovesEveryRatingAlikeAndLeavesWhoIsStrongerAlone)
{
    const std::vector<HeadToHead> results = {{0, 1, 30, 4, 16}, {1, 2, 28, 2, 20}, {0, 2, 35, 5, 10}};
    const Ratings first = rateByBradleyTerry(3, results);
    const Ratings third = rateByBradleyTerry(3, results, {2, false});
    const Ratings mean = rateByBradleyTerry(3, results, {-1, true});
    EXPECT_EQ(third.anchor, 2);
    EXPECT_DOUBLE_EQ(third.elo[2], 0);
    EXPECT_NEAR(mean.elo[0] + mean.elo[1] + mean.elo[2], 0, 1e-9);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(third.elo[i] - third.elo[0], first.elo[i], 1e-9) << i;
        EXPECT_NEAR(mean.elo[i] - mean.elo[0], first.elo[i], 1e-9) << i;
        // Measured from the mean, everyone has an interval, the anchor too.
        EXPECT_TRUE(mean.low[i] < mean.elo[i] && mean.elo[i] < mean.high[i]) << i;
        for (int j = 0; j < 3; ++j) {
            if (i == j)
                continue;
            EXPECT_NEAR(likelihoodOfSuperiority(first, i, j), likelihoodOfSuperiority(third, i, j), 1e-9);
            EXPECT_NEAR(likelihoodOfSuperiority(first, i, j) + likelihoodOfSuperiority(first, j, i), 1.0, 1e-9);
        }
    }
    // By hand for the pair alone: Phi(d / s) with s the error of the difference.
    const Ratings pair = rateByBradleyTerry(2, {{0, 1, 60, 0, 40}});
    const double units = std::log(1.5);                     // 60:40
    const double spread = 1 / std::sqrt(100 * 0.6 * 0.4);   // Fisher information of 100 games at 0.6
    EXPECT_NEAR(likelihoodOfSuperiority(pair, 0, 1), 0.5 * std::erfc(-units / spread / std::sqrt(2.0)), 1e-9);
    // A player asked for who cannot be rated gives way to the first who can.
    EXPECT_EQ(rateByBradleyTerry(3, {{1, 2, 5, 0, 5}}, {0, false}).anchor, 1);
}

// At the maximum likelihood every rated player's expected points equal its
// points, however far apart the field: a lopsided chain spanning thousands
// of Elo, a few players far ahead, a large field of many pairings.
TEST(Ratings, TheFittedStrengthsGiveEveryPlayerTheScoreItMade)
{
    std::mt19937 random(7);
    std::vector<std::vector<HeadToHead>> fields(3);
    for (int i = 0; i + 1 < 12; ++i)
        fields[0].push_back({i, i + 1, 199, 0, 1});
    fields[0].push_back({0, 11, 0, 1, 0}); // the ends drew once: a closed loop
    for (int i = 0; i < 10; ++i)
        for (int j = i + 1; j < 10; ++j)
            fields[1].push_back({i, j, i < 3 && j >= 3 ? 50 : 5, 1, i < 3 && j >= 3 ? 1 : 4});
    for (int i = 0; i < 120; ++i)
        for (int j = i + 1; j < 120; ++j)
            if (std::uniform_int_distribution<int>(0, 3)(random) == 0) {
                const int wins = std::binomial_distribution<int>(12, 1 / (1 + std::exp((j - i) / 40.0)))(random);
                fields[2].push_back({i, j, wins, 1, 12 - wins});
            }
    for (const auto& results : fields) {
        int n = 0;
        for (const HeadToHead& h : results)
            n = std::max({n, h.a + 1, h.b + 1});
        const Ratings r = rateByBradleyTerry(n, results, {-1, true});
        std::vector<double> surplus(static_cast<std::size_t>(n), 0.0);
        for (const HeadToHead& h : results) {
            ASSERT_EQ(r.standing[h.a], Standing::Rated);
            const double p = scoreOf(r.elo[h.a] - r.elo[h.b]);
            const double games = static_cast<double>(h.wins + h.draws + h.losses);
            const double made = static_cast<double>(h.wins) + 0.5 * static_cast<double>(h.draws);
            surplus[h.a] += made - games * p;
            surplus[h.b] -= made - games * p;
        }
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(surplus[i], 0, 1e-6) << "player " << i << " of " << n;
        EXPECT_LT(r.low[0], r.elo[0]);
    }
}

TEST(Ratings, APositiveDefiniteMatrixIsInvertedAndASingularOneRefused)
{
    const std::size_t n = 40;
    std::mt19937 random(3);
    std::normal_distribution<double> normal;
    std::vector<double> b(n * n), a(n * n, 0.0);
    for (double& x : b)
        x = normal(random);
    for (std::size_t i = 0; i < n; ++i) // a = b bᵀ + I
        for (std::size_t j = 0; j < n; ++j) {
            for (std::size_t k = 0; k < n; ++k)
                a[i * n + j] += b[i * n + k] * b[j * n + k];
            a[i * n + j] += i == j ? 1 : 0;
        }
    std::vector<double> inverse = a;
    ASSERT_TRUE(invertPositiveDefinite(inverse, n));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            double product = 0;
            for (std::size_t k = 0; k < n; ++k)
                product += a[i * n + k] * inverse[k * n + j];
            EXPECT_NEAR(product, i == j ? 1 : 0, 1e-9) << i << "," << j;
        }
    std::vector<double> x(n, 0.0), rhs(n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            rhs[i] += a[i * n + j] * static_cast<double>(j);
    std::vector<double> factored = a;
    ASSERT_TRUE(solvePositiveDefinite(factored, n, rhs));
    for (std::size_t i = 0; i < n; ++i)
        EXPECT_NEAR(rhs[i], static_cast<double>(i), 1e-8);
    // Results' information with no player held: its rows sum to nothing.
    std::vector<double> laplacian = {2, -1, -1, -1, 2, -1, -1, -1, 2};
    EXPECT_FALSE(invertPositiveDefinite(laplacian, 3));
    std::vector<double> indefinite = {1, 2, 2, 1};
    EXPECT_FALSE(invertPositiveDefinite(indefinite, 2));
}

TEST(Sprt, LogLikelihoodRatiosComputedByHand)
{
    // The exact ratio, worked out separately: the shares with half a sample
    // a cell, each bound's most likely distribution p_i = q_i / (1 + l (x_i
    // - s)) with l found apart, and sum n_i log(p1_i / p0_i).
    EXPECT_NEAR(trinomialLlr({20, 20, 60}, 0, 10), 1.3899, 1e-4);
    EXPECT_NEAR(trinomialLlr({45, 10, 45}, 0, 5), -0.0115, 1e-4);
    EXPECT_NEAR(pentanomialLlr({2, 10, 20, 30, 8}, 0, 10), 1.4180, 1e-4);
    EXPECT_NEAR(pentanomialLlr({5, 5, 5, 5, 5}, -5, 5), 0.0, 1e-9);
    // One win decides nothing; a dozen wins without a loss, not yet either.
    EXPECT_NEAR(trinomialLlr({0, 0, 1}, 0, 10), 0.0321, 1e-4);
    EXPECT_NEAR(trinomialLlr({0, 0, 12}, 0, 10), 0.3415, 1e-4);
    EXPECT_EQ(trinomialLlr({0, 0, 0}, 0, 10), 0);
    // The normal approximation it replaced overstates far from the bounds.
    EXPECT_NEAR(normalLlr(100, 0.6, 0.2, scoreOf(0), scoreOf(10)), 100 * (scoreOf(10) - 0.5) * (1.2 - 0.5 - scoreOf(10)) / 0.4,
                1e-12);

    const SprtSettings settings{0, 10, 0.05, 0.05};
    EXPECT_NEAR(settings.lowerBound(), -2.9444, 1e-4);
    EXPECT_NEAR(settings.upperBound(), 2.9444, 1e-4);
    EXPECT_EQ(verdictOf(3.0, settings), SprtVerdict::H1);
    EXPECT_EQ(verdictOf(-3.0, settings), SprtVerdict::H0);
    EXPECT_EQ(verdictOf(1.0, settings), SprtVerdict::Open);
}

TEST(Sprt, TheEstimateAtAnEarlyStopIsPulledBackByTheStopsBias)
{
    const SprtSettings settings{0, 20, 0.05, 0.05};
    // 60 pairs at +60 Elo stopped the test at H1: runs that stop that soon
    // ran high, so the truth is lower, yet still on the same side.
    const StopBiasInput early{scoreOf(60), 0.06, 60, 5000, 2};
    const double adjusted = biasAdjustedScore(early, settings);
    EXPECT_LT(adjusted, early.mean - 0.005);
    EXPECT_GT(adjusted, 0.5);
    EXPECT_EQ(biasAdjustedScore(early, settings), adjusted); // the same records, the same figure
    // A test that could not stop before its limit has no stop to adjust for.
    const SprtSettings wide{0, 20, 1e-6, 1e-6};
    const StopBiasInput full{scoreOf(30), 0.06, 10, 10, 2};
    EXPECT_NEAR(biasAdjustedScore(full, wide), full.mean, 1e-6);
    // Nothing to simulate: no spread, or a score of 0 or 1.
    EXPECT_EQ(biasAdjustedScore({1.0, 0.0, 12, 100, 2}, settings), 1.0);
    EXPECT_EQ(biasAdjustedScore({0.6, 0.0, 12, 100, 2}, settings), 0.6);
}

TEST(Sprt, NormalisedBoundsAreTheSpreadsUnits)
{
    // By hand: the bounds stand for the scores 1/2 + nelo sqrt(2 v) ln 10 / 800,
    // v the pairs' variance with half a sample in every cell, as the ratio takes it.
    const std::array<Count, 5> pairs = {1, 4, 10, 4, 1};
    const double n = 20;
    const double total = n + 2.5;
    double mean = 0;
    for (int i = 0; i < 5; ++i)
        mean += (pairs[i] + 0.5) * i / 4.0 / total;
    double variance = 0;
    for (int i = 0; i < 5; ++i)
        variance += (pairs[i] + 0.5) * (i / 4.0 - mean) * (i / 4.0 - mean) / total;
    const double unit = std::sqrt(2 * variance) * std::log(10.0) / 800.0;
    const double s0 = 0.5 - 5 * unit;
    const double s1 = 0.5 + 5 * unit;
    EXPECT_NEAR(pentanomialLlr(pairs, -5, 5, true), n * (s1 - s0) * (2 * mean - s0 - s1) / (2 * variance), 1e-12);
    const std::array<Count, 5> better = {0, 2, 8, 8, 2};
    EXPECT_GT(pentanomialLlr(better, 0, 5, true), 0);
    // The bounds' kind is read back and shown as given; a mix is refused.
    const auto normalised = parseSprtSettings("nelo0=0,nelo1=5,alpha=0.1");
    ASSERT_TRUE(normalised);
    EXPECT_TRUE(normalised->normalised);
    EXPECT_EQ(sprtSettingsShown(*normalised), "nelo0=0 nelo1=5 alpha=0.1 beta=0.05");
    EXPECT_EQ(parseSprtSettings(sprtSettingsText(*normalised))->normalised, true);
    for (const char* bad : {"elo0=0,nelo1=5", "nelo0=0,elo1=5", "nelo0=0,nelo1=5,elo0=0", "nelo0=5,nelo1=0", "nelo1=5"})
        EXPECT_FALSE(parseSprtSettings(bad)) << bad;
}

TEST(Sprt, CountsInGameOrderWhateverOrderMatchesFinishIn)
{
    auto record = [](int game, const char* first, int firstScore) {
        MatchRecord r;
        r.game = game;
        r.seats[0].player = first;
        r.seats[1].player = first == std::string("A") ? "B" : "A";
        r.seats[0].score = firstScore;
        r.seats[1].score = 10;
        return r;
    };
    // A wins every match: with pairs, the test decides after the same board
    // whichever order the matches come in.
    std::vector<MatchRecord> records;
    for (int game = 0; game < 480; ++game)
        records.push_back(record(game, game % 2 ? "B" : "A", game % 2 ? 0 : 20));
    SprtRun inOrder({0, 10, 0.05, 0.05}, "A", true);
    SprtRun reversed({0, 10, 0.05, 0.05}, "A", true);
    int decidedAt = -1;
    for (const MatchRecord& r : records) {
        inOrder.add(r);
        if (inOrder.decided() && decidedAt < 0)
            decidedAt = r.game;
    }
    for (auto r = records.rbegin(); r != records.rend(); ++r)
        reversed.add(*r);
    EXPECT_EQ(inOrder.verdict(), SprtVerdict::H1);
    EXPECT_EQ(reversed.verdict(), SprtVerdict::H1);
    EXPECT_EQ(reversed.samples(), inOrder.samples());
    EXPECT_DOUBLE_EQ(reversed.llr(), inOrder.llr());
    EXPECT_EQ(decidedAt % 2, 1) << "a pair is counted once both seatings are in";
    EXPECT_NE(inOrder.text().find(": H1 accepted"), std::string::npos);
}
