#include "DatabaseLocation.h"
#include "LadderStandings.h"
#include "LadderStore.h"
#include "Schema.h"
#include "ladder/Backends.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace vorlen::ladder;

namespace {

class Store : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        location = dir.file("ladder.sqlite");
        if (GetParam() == Backend::Postgres)
            VORLEN_POSTGRES_DATABASE(location);
        if (!std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()).starts_with("AnOlder"))
            owned = std::make_unique<LadderStore>(location, true);
    }
    std::string location;

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
    EXPECT_EQ(store().pairCounts().at({a, b}), 7) << "a pair under way counts where the next ones go";
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

// Standings read from their kept copy are the ones computed afresh: a
// match landing or a version coming makes the copy stale.
TEST_P(Store, KeptStandingsAreAlwaysTheCurrentOnes)
{
    const std::int64_t a = add("a"), b1 = add("b"), c = add("c");
    for (const std::int64_t version : {a, b1, c})
        store().setVersionState(version, "ready");
    const auto playPair = [&](std::int64_t first, std::int64_t second) {
        store().finishPair(store().startPair(first, second, 1, "t"), played({0, 0}, {1, 0.5}), "t");
    };
    playPair(a, b1);
    playPair(b1, c);
    const std::string first = currentStandings(store(), 20);
    EXPECT_EQ(first, computeStandings(store(), 20));
    EXPECT_TRUE(store().keptStandings(store().standingsState(), 20).has_value());
    EXPECT_EQ(currentStandings(store(), 20), first);
    playPair(a, c);
    const std::string second = currentStandings(store(), 20);
    EXPECT_NE(second, first);
    EXPECT_EQ(second, computeStandings(store(), 20));
    const std::int64_t b2 = add("b");
    store().setVersionState(b2, "ready");
    const std::string third = currentStandings(store(), 20);
    EXPECT_NE(third.find("b.v2"), std::string::npos) << third;
    EXPECT_EQ(third.find("b.v1"), std::string::npos) << third;
    EXPECT_EQ(currentStandings(store(), 2), computeStandings(store(), 2)) << "each top its own copy";
}

// A ladder of an older schema comes up to date with what it holds: the
// pairs it played are summed into the results the standings read.
TEST_P(Store, AnOlderLadderIsBroughtUpToDateWithItsResultsSummed)
{
    {
        const auto db = openDatabase(location, true);
        for (std::size_t step = 0; step < 2; ++step)
            applyMigration(*db, step);
        db->setSchemaVersion(2);
        db->execute("INSERT INTO bots (name, added) VALUES ('a', 't'), ('b', 't')");
        db->execute("INSERT INTO versions (bot, number, folder, command, added) VALUES (1, 1, 'f', 'c', 't'), "
                    "(2, 1, 'f', 'c', 't')");
        // Pair 1: a took both; pair 2: one each; pair 3: a draw and a loss; a
        // match of no pair (an older record) counts in no board.
        const std::vector<std::pair<int, double>> played = {{1, 1}, {1, 1}, {2, 1}, {2, 0}, {3, 0.5}, {3, 0}};
        for (int pair = 1; pair <= 3; ++pair)
            db->execute("INSERT INTO pairs (first, second, seed, state, started) VALUES (1, 2, 0, 'done', 't')");
        for (const auto& [pair, points] : played)
            db->execute("INSERT INTO matches (first, second, record, played, pair, points) VALUES (1, 2, '{}', 't', ?1, ?2)",
                        {static_cast<std::int64_t>(pair), points});
    }
    LadderStore upgraded(location, false);
    EXPECT_EQ(upgraded.schemaVersion(), static_cast<int>(migrations().size()));
    const std::vector<VersionResults> met = upgraded.meetings();
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(std::make_tuple(met[0].wins, met[0].draws, met[0].losses), std::make_tuple(3, 1, 2));
    EXPECT_EQ(met[0].pairs, (std::array<long long, 5>{0, 1, 1, 0, 1}));
}

// Accounts: a name once, an invitation once, a session until it expires,
// a token found by its hash only; a rating kept an hour after the last.
TEST_P(Store, AccountsSessionsInvitationsAndRatingsKeepTheirRules)
{
    const std::optional<std::int64_t> alice = store().addUser("alice", "hash", "t");
    ASSERT_TRUE(alice);
    EXPECT_THROW(store().addUser("alice", "other", "t"), SqlError);
    store().addInvitation("code");
    EXPECT_FALSE(store().addUser("bob", "hash", "t", "wrong"));
    EXPECT_FALSE(store().user("bob")) << "a refused invitation leaves no user";
    EXPECT_TRUE(store().addUser("bob", "hash", "t", "code"));
    EXPECT_FALSE(store().addUser("carol", "hash", "t", "code")) << "used once";
    store().addSession("s1", *alice, "csrf1", 100);
    EXPECT_EQ(store().session("s1", 99)->second, "csrf1");
    EXPECT_EQ(store().session("s1", 99)->first.name, "alice");
    EXPECT_FALSE(store().session("s1", 100)) << "expired";
    EXPECT_FALSE(store().session("s2", 0));
    store().dropUserSessions(*alice);
    EXPECT_FALSE(store().session("s1", 0));
    EXPECT_FALSE(store().userByToken(""));
    store().setUserToken(*alice, "tokenhash");
    EXPECT_EQ(store().userByToken("tokenhash")->name, "alice");
    store().setLoginFailures(*alice, 6, 1234);
    EXPECT_EQ(store().user("alice")->lockedUntil, 1234);

    const std::int64_t version = add("rated");
    store().setBotOwner("rated", *alice);
    EXPECT_EQ(store().bot("rated")->owner, "alice");
    EXPECT_EQ(store().botsOwnedBy(*alice), 1);
    for (const char* at : {"2026-12-11T12:00:00Z", "2026-12-11T12:59:00Z", "2026-12-11T13:01:00Z", "2026-12-11T11:00:00Z"})
        store().keepRating(version, {at, 10, 0, 20});
    const std::vector<RatingPoint> points = store().ratingsOf(version);
    ASSERT_EQ(points.size(), 2U);
    EXPECT_EQ(points[1].at, "2026-12-11T13:01:00Z");
    EXPECT_DOUBLE_EQ(points[1].high, 20);
}

INSTANTIATE_TEST_SUITE_P(BothDatabases, Store, ::testing::Values(Backend::Sqlite, Backend::Postgres), backendName);

} // namespace
