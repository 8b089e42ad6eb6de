#include "LadderStore.h"
#include "ladder/Backends.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vorlen::ladder;

namespace {

class Store : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        std::string location = dir.file("ladder.sqlite");
        if (GetParam() == Backend::Postgres)
            VORLEN_POSTGRES_DATABASE(location);
        owned = std::make_unique<LadderStore>(location, true);
    }

    std::int64_t add(const std::string& bot) { return store().addVersion(bot, "f", "./bot", "", "t").id; }
    PlayedPair played(std::array<int, 2> failed, std::vector<double> points = {1, 0})
    {
        return {{"{}\n", "{}\n"}, std::move(points), failed};
    }

    vorlen::testing::TempDir dir;
    std::unique_ptr<LadderStore> owned;
    LadderStore& store() { return *owned; }
};

TEST_P(Store, WhoPlaysIsEachActiveBotsLatestReadyVersion)
{
    const std::int64_t a1 = add("a"), a2 = add("a"), a3 = add("a"), b1 = add("b"), c1 = add("c");
    store().setVersionState(a1, "ready");
    store().setVersionState(a2, "ready");
    store().setVersionState(a3, "failed", "its check");
    store().setVersionState(b1, "ready");
    store().setVersionState(c1, "ready");
    store().pauseBot("c", "failed 10 matches in a row");
    std::vector<std::int64_t> current;
    for (const VersionRow& version : store().currentVersions())
        current.push_back(version.id);
    EXPECT_EQ(current, (std::vector<std::int64_t>{a2, b1}));
    EXPECT_EQ(store().bot("c")->note, "failed 10 matches in a row");
    store().setBotState("c", "active");
    EXPECT_EQ(store().bot("c")->note, "");
    EXPECT_EQ(store().currentVersions().size(), 3u);
}

// Failed matches in a row: a pair with a match played to its end starts
// the count anew; one failed whole adds to it.
TEST_P(Store, FailuresInARowAndWholePairsOnly)
{
    const std::int64_t a = add("a"), b = add("b");
    struct Step {
        std::array<int, 2> failed;
        std::array<int, 2> inARow;
    };
    const std::vector<Step> steps = {{{2, 0}, {2, 0}}, {{2, 1}, {4, 1}}, {{1, 0}, {1, 0}}, {{0, 2}, {0, 2}},
                                     {{2, 2}, {2, 4}}, {{0, 0}, {0, 0}}};
    for (const Step& step : steps) {
        const PairRow pair = store().startPair(a, b, 7, "t");
        EXPECT_EQ(store().finishPair(pair, played(step.failed), "t"), step.inARow);
    }
    const PairRow cut = store().startPair(b, a, 8, "t");
    EXPECT_EQ(store().pairCounts().at({a, b}), 6);
    EXPECT_EQ(store().dropUnfinishedPairs(), std::vector<std::int64_t>{cut.id});
    EXPECT_TRUE(store().dropUnfinishedPairs().empty());
    EXPECT_EQ(store().pairCounts().at({a, b}), 6) << "a dropped pair never counts";
    // Each pair gave a a win and a loss, as its points say.
    const std::vector<VersionResults> met = store().meetings();
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(met[0].first, a);
    EXPECT_EQ(met[0].wins, 6);
    EXPECT_EQ(met[0].losses, 6);
    EXPECT_EQ(met[0].draws, 0);
    EXPECT_EQ(store().matchCount(a), 12);
}

TEST_P(Store, AnUnfinishedIntakeWaitsAgain)
{
    const std::int64_t a = add("a"), b = add("b"), c = add("c");
    store().setVersionState(a, "building");
    store().setVersionState(b, "checking");
    store().setVersionState(c, "failed", "its build");
    store().resetUnfinishedVersions();
    std::vector<std::int64_t> waiting;
    for (const VersionRow& version : store().versionsIn("waiting"))
        waiting.push_back(version.id);
    EXPECT_EQ(waiting, (std::vector<std::int64_t>{a, b}));
    EXPECT_EQ(store().version(c)->reason, "its build");
    EXPECT_FALSE(store().version(99).has_value());
}

INSTANTIATE_TEST_SUITE_P(BothDatabases, Store, ::testing::Values(Backend::Sqlite, Backend::Postgres), backendName);

} // namespace
