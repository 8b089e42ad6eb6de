// Boxes kept between matches: which thread gets a kept box back, and when a
// thread's boxes end.
#include "Boards.h"
#include "BotGroups.h"
#include "BoxPool.h"
#include "BoxStopper.h"
#include "MatchPlay.h"
#include "Sandbox.h"
#include "support/Bots.h"
#include "support/Modes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

class KeptBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        prepareMode(Mode::Sandbox);
        config.first = parseSeatPlayer(writeBot(bots, "counter.sh", "echo \"pid $$\" >&2\n"
                                                                     "head -c 1 vorla.in | tr 123456 345612 > vorla.out"));
        config.boxes = findSandbox();
        config.botLogDir = bots.file("logs");
        std::filesystem::create_directories(config.botLogDir);
    }

    // How the boxed seat's match went: how it left, and the process id of
    // its first move's bot (a fresh box starts it as process 2; -1: none ran).
    struct Played {
        std::string retired;
        int firstPid = -1;
    };
    Played play(int game)
    {
        match::MatchJob job{game, seededBoard(3, game), "seed:3:0", false, config.seatsFor({}), {}};
        const match::MatchResult result = match::playMatch(job, config, groups, &pool);
        if (!result.record)
            return {"no record: " + result.error};
        const std::string log = readFile(bots.file("logs/game-" + std::to_string(game) + "-seat-0-A.log"));
        const std::size_t pid = log.find("pid ");
        return {result.record->seats[0].retired, pid == std::string::npos ? -1 : std::atoi(log.c_str() + pid + 4)};
    }

    TempDir bots;
    match::MatchConfig config;
    BotGroups groups;
    BoxPool pool{2};
};

TEST_F(KeptBoxes, GoBackOnlyToTheThreadThatStartedThemAndEndWithItsLeave)
{
    // The kernel ends a box with the thread that started it: a box another
    // thread kept must never serve here, where it would die mid-match.
    Played elsewhere;
    std::thread([&] { elsewhere = play(0); }).join();
    const Played fresh = play(1);
    const Played kept = play(2);
    pool.endKept();
    const Played afterEnd = play(3);
    for (const Played& played : {elsewhere, fresh, kept, afterEnd})
        EXPECT_NE(played.retired, "failed to start");
    EXPECT_EQ(elsewhere.firstPid, 2);
    EXPECT_EQ(fresh.firstPid, 2) << "a fresh box, not the ended thread's";
    EXPECT_GT(kept.firstPid, 2) << "the box this thread kept";
    EXPECT_EQ(afterEnd.firstPid, 2) << "its kept box ended";
}

} // namespace

// A stop called off just as it comes due leaves the stopping thread free to
// end: the box's end never waits for a timer that was disarmed under it.
TEST(DeferredStops, CalledOffAsTheyComeDueNeverHoldUpTheEnd)
{
    const pid_t launcher = ::fork();
    ASSERT_GE(launcher, 0);
    if (launcher == 0) {
        ::pause();
        std::_Exit(0);
    }
    std::atomic<bool> ended = false;
    std::thread racing([&] {
        for (int round = 0; round < 4000; ++round) {
            DeferredStop stop(launcher, std::chrono::microseconds(20));
            stop.arm();
            const auto due = std::chrono::steady_clock::now() + std::chrono::microseconds(round % 40);
            while (std::chrono::steady_clock::now() < due) {
            }
            stop.letGo();
        }
        ended = true;
    });
    for (int waited = 0; waited < 300 && !ended; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(launcher, SIGKILL);
    ::waitpid(launcher, nullptr, 0);
    if (!ended) {
        ADD_FAILURE() << "a box's end waits for its stopping thread, which waits for a timer called off";
        std::_Exit(1); // the racing thread cannot be joined
    }
    racing.join();
}
