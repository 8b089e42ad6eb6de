#include "Elo.h"
#include "ExactLlr.h"
#include "Sprt.h"
#include "SprtStopInterval.h"
#include "Summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace vorlen::match;

namespace {

struct RatioCase {
    const char* name;
    std::array<double, 5> chances; // of each pair score
    SprtSettings settings;
};

// The exact ratio counted one sample at a time, as a run counts it, keeps
// each hypothesis' multiplier from the last call; it must come out as the
// ratio of the same counts worked out afresh, wherever the samples lead.
TEST(SprtStop, TheRatioCountedSampleBySampleIsTheRatioCountedAfresh)
{
    const RatioCase cases[] = {
        {"even", {0.16, 0.08, 0.52, 0.08, 0.16}, {0, 10, 0.05, 0.05, false}},
        {"strong", {0.02, 0.03, 0.25, 0.2, 0.5}, {0, 10, 0.05, 0.05, false}},
        {"weak, wide bounds", {0.5, 0.2, 0.25, 0.03, 0.02}, {-40, 200, 0.05, 0.05, false}},
        {"normalised", {0.2, 0.1, 0.4, 0.1, 0.2}, {0, 5, 0.05, 0.05, true}},
        {"all wins", {0, 0, 0, 0, 1}, {0, 10, 0.05, 0.05, false}},
        {"a bound off the scale", {0.2, 0.1, 0.4, 0.1, 0.2}, {0, 2000, 0.05, 0.05, true}},
    };
    for (const RatioCase& test : cases) {
        SCOPED_TRACE(test.name);
        std::mt19937_64 random(5);
        std::discrete_distribution<int> pair(test.chances.begin(), test.chances.end());
        const SprtSettings& s = test.settings;
        ExactLlr<5> counting(kPairScores, s.elo0, s.elo1, s.normalised, 2);
        std::array<Count, 5> counts{};
        for (int n = 0; n < 400; ++n) {
            ++counts[static_cast<std::size_t>(pair(random))];
            const double fresh = pentanomialLlr(counts, s.elo0, s.elo1, s.normalised);
            ASSERT_NEAR(counting(counts), fresh, 1e-9 * (1 + std::fabs(fresh))) << "after " << n + 1 << " pairs";
        }
    }
}

struct StopCase {
    const char* name;
    std::array<Count, 5> pairs;
    SprtSettings settings;
    int maxPairs;
};

// Where the test stopped says as much as what it counted: an H0 stop after
// a few pairs that ran low is how a test of equals often ends, so the
// interval that knows the stop holds 0 and its LOS is no verdict; an H1
// stop at +120 stays above 0; a test that could not have stopped before its
// limit gets the plain interval back.
TEST(SprtStop, TheIntervalAndLikelihoodKnowWhereTheTestStopped)
{
    const StopCase early{"H0 after 26 pairs", {4, 3, 18, 1, 0}, {0, 40, 0.05, 0.05, false}, 400};
    ASSERT_EQ(verdictOf(pentanomialLlr(early.pairs, 0, 40), early.settings), SprtVerdict::H0);
    const EloEstimate plain = estimateEloOfPairs(early.pairs);
    ASSERT_LT(plain.high, 0); // the plain figures say "weaker"
    ASSERT_LT(plain.los, 0.025);
    const StopAwareEstimate stop = stopAwareEstimate(early.pairs, kPairScores, 2, {early.settings, early.maxPairs});
    EXPECT_LT(eloOf(stop.low), 0);
    EXPECT_GT(eloOf(stop.high), 0);
    EXPECT_GT(stop.los, 0.025);
    // The same records, the same figures.
    const StopAwareEstimate again = stopAwareEstimate(early.pairs, kPairScores, 2, {early.settings, early.maxPairs});
    EXPECT_EQ(again.low, stop.low);
    EXPECT_EQ(again.high, stop.high);
    EXPECT_EQ(again.los, stop.los);

    const std::array<Count, 5> strong{1, 5, 20, 24, 12};
    const SprtSettings h1{0, 20, 0.05, 0.05, false};
    ASSERT_EQ(verdictOf(pentanomialLlr(strong, 0, 20), h1), SprtVerdict::H1);
    const StopAwareEstimate up = stopAwareEstimate(strong, kPairScores, 2, {h1, 5000});
    EXPECT_GT(eloOf(up.low), 0);
    EXPECT_LT(eloOf(up.low), estimateEloOfPairs(strong).low); // an early H1 stop ran high
    EXPECT_GT(up.los, 0.975);
    EXPECT_LT(up.los, 1.0) << "a simulated chance is not a certainty";
    EXPECT_EQ(likelihoodText(up.los), "> 99.9 %");

    const std::array<Count, 5> limit{10, 20, 40, 20, 15};
    const SprtSettings wide{0, 20, 1e-6, 1e-6, false};
    const StopAwareEstimate full = stopAwareEstimate(limit, kPairScores, 2, {wide, 105});
    const EloEstimate fixed = estimateEloOfPairs(limit);
    EXPECT_NEAR(eloOf(full.low), fixed.low, 4);
    EXPECT_NEAR(eloOf(full.high), fixed.high, 4);
    EXPECT_NEAR(full.los, fixed.los, 0.03);

    // Matches count alike: 78 of them stopped at H1.
    const std::array<Count, 3> matches{20, 10, 48};
    const SprtSettings byMatch{0, 40, 0.05, 0.05, false};
    ASSERT_EQ(verdictOf(trinomialLlr(matches, 0, 40), byMatch), SprtVerdict::H1);
    const StopAwareEstimate won = stopAwareEstimate(matches, kMatchScores, 1, {byMatch, 1000});
    EXPECT_GT(eloOf(won.low), 0);
    EXPECT_LT(eloOf(won.low), eloOf(won.high));
}

} // namespace
