#include "MatchRecord.h"
#include "Ratings.h"
#include "Schedule.h"
#include "Sprt.h"
#include "SprtRun.h"

#include <gtest/gtest.h>

#include <cmath>

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
    // 75 % for the anchor: 400 log10(3) below it, with the error bar of
    // 100 games at p = 0.75.
    const Ratings two = rateByBradleyTerry(2, {{0, 1, 70, 10, 20}});
    EXPECT_EQ(two.anchor, 0);
    EXPECT_DOUBLE_EQ(two.elo[0], 0);
    EXPECT_NEAR(two.elo[1], -190.85, 0.01);
    EXPECT_NEAR(two.error[1], 78.63, 0.01);

    // Results that fit the model exactly give its ratings back: each step a
    // ratio of 1.5 in strength.
    const Ratings three = rateByBradleyTerry(3, {{0, 1, 60, 0, 40}, {1, 2, 60, 0, 40}, {0, 2, 90, 0, 40}});
    EXPECT_NEAR(three.elo[1], -70.44, 0.01);
    EXPECT_NEAR(three.elo[2], -140.87, 0.01);
    EXPECT_GT(three.error[2], three.error[1] * 0.5);
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
            // Every rated player has a finite rating and error bar.
            EXPECT_TRUE(std::isfinite(ratings.elo[i]) && std::isfinite(ratings.error[i])) << c.what << ", player " << i;
            if (i == c.anchor) {
                EXPECT_EQ(ratings.elo[i], 0) << c.what;
            }
        }
    }
    // Ratings within a group do not depend on who else played: the fit of
    // the first case equals that of its rated pair alone.
    const Ratings withOthers = rateByBradleyTerry(4, {{0, 1, 6, 0, 4}, {0, 2, 10, 0, 0}, {1, 2, 10, 0, 0}, {3, 0, 5, 0, 0}});
    const Ratings alone = rateByBradleyTerry(2, {{0, 1, 6, 0, 4}});
    EXPECT_NEAR(withOthers.elo[1], alone.elo[1], 1e-9);
    EXPECT_NEAR(withOthers.error[1], alone.error[1], 1e-9);
}

TEST(Sprt, LogLikelihoodRatiosComputedByHand)
{
    // Values from the formula in the README, worked out separately.
    EXPECT_NEAR(trinomialLlr({20, 20, 60}, 0, 10), 1.6999, 1e-4);
    EXPECT_NEAR(trinomialLlr({45, 10, 45}, 0, 5), -0.0115, 1e-4);
    EXPECT_NEAR(pentanomialLlr({2, 10, 20, 30, 8}, 0, 10), 1.7002, 1e-4);
    EXPECT_NEAR(pentanomialLlr({5, 5, 5, 5, 5}, -5, 5), 0.0, 1e-9);
    // One win decides nothing; a dozen wins without a loss, not yet either.
    EXPECT_NEAR(trinomialLlr({0, 0, 1}, 0, 10), 0.0173, 1e-4);
    EXPECT_NEAR(trinomialLlr({0, 0, 12}, 0, 10), 1.7470, 1e-4);
    EXPECT_EQ(trinomialLlr({0, 0, 0}, 0, 10), 0);

    const SprtSettings settings{0, 10, 0.05, 0.05};
    EXPECT_NEAR(settings.lowerBound(), -2.9444, 1e-4);
    EXPECT_NEAR(settings.upperBound(), 2.9444, 1e-4);
    EXPECT_EQ(verdictOf(3.0, settings), SprtVerdict::H1);
    EXPECT_EQ(verdictOf(-3.0, settings), SprtVerdict::H0);
    EXPECT_EQ(verdictOf(1.0, settings), SprtVerdict::Open);
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
    for (int game = 0; game < 40; ++game)
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
