#include "EvaluationCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace vorlen::ladder;
using Outcome = EvaluationCache::Outcome;

TEST(EvaluationCache, MakesEachOnceOneAtATimeAndKeepsTheLatestUsed)
{
    EvaluationCache cache(2);
    int made = 0;
    const auto making = [&](std::string json) {
        return [&made, json] {
            ++made;
            return json;
        };
    };
    EXPECT_EQ(cache.get(1, 3, making("[1]")).json, "[1]");
    EXPECT_EQ(cache.get(1, 3, making("[other]")).json, "[1]") << "a match never changes: kept";
    EXPECT_EQ(cache.get(1, 4, making("[2]")).json, "[2]") << "another level is another evaluation";
    EXPECT_EQ(made, 2);
    // Two kept: using (1, 3) keeps it; a third pushes out (1, 4).
    cache.get(1, 3, making("x"));
    cache.get(2, 3, making("[3]"));
    EXPECT_EQ(cache.get(1, 3, making("x")).json, "[1]");
    EXPECT_EQ(cache.get(1, 4, making("[again]")).json, "[again]");
    // A failure is not kept.
    EXPECT_EQ(cache.get(9, 1, making("")).outcome, Outcome::Failed);
    EXPECT_EQ(cache.get(9, 1, making("[9]")).json, "[9]");

    // While one is being made, another visitor's is refused, not queued.
    std::promise<void> started;
    std::promise<void> release;
    std::future<void> released = release.get_future();
    auto slow = std::async(std::launch::async, [&] {
        return cache.get(5, 1, [&] {
            started.set_value();
            released.wait();
            return std::string("[5]");
        });
    });
    started.get_future().wait();
    EXPECT_EQ(cache.get(6, 1, making("[6]")).outcome, Outcome::Busy);
    EXPECT_EQ(cache.get(9, 1, making("x")).json, "[9]") << "what is kept is still answered";
    release.set_value();
    EXPECT_EQ(slow.get().json, "[5]");
    EXPECT_EQ(cache.get(6, 1, making("[6]")).json, "[6]");
}
