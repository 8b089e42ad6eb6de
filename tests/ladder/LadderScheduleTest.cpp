#include "Entrants.h"
#include "PairChoice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorlen::ladder;

namespace {

constexpr double kUnknown = std::numeric_limits<double>::infinity();

TEST(PairChoice, NewVersionsFirstThenTheLeastCertainAgainstTheNearest)
{
    struct Case {
        const char* what;
        std::vector<Entrant> entrants;
        PairCounts met;
        std::optional<std::pair<std::int64_t, std::int64_t>> expected;
    };
    const std::vector<Case> cases = {
        {"one version plays no one", {{1, 0, 0, kUnknown}}, {}, std::nullopt},
        {"none", {}, {}, std::nullopt},
        {"the newest (fewest matches) goes first, against the oldest on a tie",
         {{1, 40, 0, 200}, {2, 40, 50, 200}, {3, 2, 0, kUnknown}}, {}, std::make_pair(3, 1)},
        {"of two new ones, the one with fewer matches",
         {{1, 40, 0, 200}, {2, 10, 0, 300}, {3, 4, 0, 400}}, {}, std::make_pair(3, 1)},
        {"settled: the widest interval, against the nearest rating",
         {{1, 60, -200, 100}, {2, 60, 0, 300}, {3, 60, 30, 100}, {4, 60, 400, 100}}, {}, std::make_pair(2, 3)},
        {"a pairing played often gives way to one a little further",
         {{1, 60, -50, 100}, {2, 60, 0, 300}, {3, 60, 30, 100}}, {{{2, 3}, 4}, {{1, 2}, 1}}, std::make_pair(2, 1)},
        {"ties between equals go to the older version",
         {{5, 60, 0, 100}, {4, 60, 0, 100}, {6, 60, 0, 100}}, {}, std::make_pair(4, 5)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(choosePair(c.entrants, c.met), c.expected) << c.what;
}

TEST(Entrants, RatedFromTheirOwnResultsWithEveryMatchCounted)
{
    // Version 1 took 3 of 4 from version 2; version 3 (retired) met 1 only.
    const std::vector<VersionResults> results = {{1, 2, 3, 0, 1}, {2, 1, 0, 0, 0}, {3, 1, 0, 2, 0}};
    const std::vector<Entrant> entrants = entrantsOf({1, 2}, results);
    ASSERT_EQ(entrants.size(), 2u);
    EXPECT_EQ(entrants[0].matches, 6); // its two draws with version 3 count as played
    EXPECT_EQ(entrants[1].matches, 4);
    // The mean at 0; three of four is 2 log10(3) x 400 / 2 Elo apart each way.
    const double half = 400 * std::log10(3.0) / 2;
    EXPECT_NEAR(entrants[0].rating, half, 0.5);
    EXPECT_NEAR(entrants[1].rating, -half, 0.5);
    EXPECT_TRUE(std::isfinite(entrants[0].spread) && entrants[0].spread > 0);

    // No result between them yet: unrated, so new to the scheduler's eye.
    const std::vector<Entrant> fresh = entrantsOf({1, 4}, results);
    EXPECT_TRUE(std::isinf(fresh[1].spread));
    EXPECT_EQ(fresh[1].matches, 0);
    // One who won every point cannot be rated: its spread stays unknown.
    const std::vector<Entrant> oneSided = entrantsOf({1, 2}, {{1, 2, 4, 0, 0}});
    EXPECT_TRUE(std::isinf(oneSided[0].spread) || std::isinf(oneSided[1].spread));
}

} // namespace
