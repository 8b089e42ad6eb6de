#include "DatabaseLocation.h"
#include "LadderPaths.h"
#include "LadderStore.h"
#include "RecordCommands.h"
#include "RecordText.h"
#include "RunLock.h"
#include "ladder/LadderRuns.h"
#include "support/Modes.h"
#include "support/Processes.h"
#include "support/Records.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vorlen::ladder;

namespace fs = std::filesystem;

namespace {

TEST_P(LadderRuns, VersionsAreBuiltAndCheckedInBoxesAndOnlyTheSoundOnesPlay)
{
    addMadeBot("made");
    addScriptBot("plain", kFirstLegal);
    addScriptBot("last", kLastLegal);
    {
        const std::string folder = botFolder("broken", {{"Makefile", "bot:\n\techo no compiler here >&2; false\n"}});
        ASSERT_EQ(run({"add", "broken", folder}).code, 0);
    }
    addScriptBot("crasher", std::string("n=$(cat /tmp/n 2>/dev/null || echo 0); echo $((n + 1)) > /tmp/n\n"
                                        "[ \"$n\" -ge 2 ] && { echo 'crash at my third move' >&2; exit 1; }\n")
                                + kFirstLegal);
    const CommandOutcome ran = run({"run", "--matches", "6", "--concurrency", "2"});
    ASSERT_EQ(ran.code, 0) << ran.err << ran.out;
    EXPECT_EQ(stateOf("made", 1), "ready");
    EXPECT_EQ(stateOf("plain", 1), "ready");
    EXPECT_EQ(stateOf("broken", 1), "failed: the build failed: exit code 2 (its log: storage/bots/broken/v1/build.log)");
    EXPECT_NE(vorlen::testing::readFile(root + "/storage/bots/broken/v1/build.log").find("no compiler here"),
              std::string::npos);
    EXPECT_NE(stateOf("crasher", 1).find("failed: its check against the built-in player: match 1, turn 4: "),
              std::string::npos)
        << stateOf("crasher", 1);
    EXPECT_NE(stateOf("crasher", 1).find("crash at my third move"), std::string::npos);
    EXPECT_NE(run({"bot", "crasher"}).out.find("crasher: paused (crasher.v1 failed every match of its check)"),
              std::string::npos)
        << run({"bot", "crasher"}).out;
    EXPECT_NE(run({"bot", "broken"}).out.find("broken: active"), std::string::npos) << "a failed build played no check to fail";
    EXPECT_NE(ran.out.find("6 matches played"), std::string::npos) << ran.out;
    expectWholePairs(3);
    const CommandOutcome standings = run({"standings"});
    EXPECT_NE(standings.out.find("made.v1"), std::string::npos) << standings.out;
    EXPECT_NE(standings.out.find("plain.v1"), std::string::npos);
    EXPECT_EQ(standings.out.find("crasher"), std::string::npos) << "a failed version never plays";
    // vorlen-match sums up the same matches to the same standings.
    const std::string records = dir.write("ladder.jsonl", run({"matches", "--records"}).out);
    const vorlen::match::CommandOutcome summed = vorlen::match::summarizeCommand({records});
    ASSERT_EQ(summed.exitCode, 0) << summed.err;
    const auto table = [](const std::string& text) {
        const std::size_t from = text.find("Standings");
        return text.substr(from, text.find("\n\n", from) - from);
    };
    EXPECT_EQ(table(summed.out), table(standings.out)) << summed.out << standings.out;

    // A new version takes its bot's place; the old one keeps its matches.
    addMadeBot("made");
    ASSERT_EQ(run({"run", "--matches", "2"}).code, 0);
    EXPECT_EQ(stateOf("made", 2), "ready");
    const CommandOutcome after = run({"standings"});
    EXPECT_NE(after.out.find("made.v2"), std::string::npos) << after.out;
    EXPECT_EQ(after.out.find("made.v1"), std::string::npos) << after.out;
    const std::string shown = run({"bot", "made"}).out;
    const std::size_t v2 = shown.find("\n  v2");
    ASSERT_NE(v2, std::string::npos) << shown;
    EXPECT_NE(shown.rfind("matches, the latest:\n", v2), std::string::npos) << "v1 keeps its matches:\n" << shown;
    expectWholePairs(4);
}

// A run without an end keeps waiting while there is nothing to play, and
// takes in what is handed in meanwhile: a ladder runs itself.
TEST_P(LadderRuns, AnEndlessRunWaitsForBotsAndPlaysThemWhenTheyCome)
{
    addScriptBot("first", kFirstLegal);
    volatile std::sig_atomic_t stop = 0;
    CommandOutcome ran;
    std::thread runner([&] {
        ran = runLadderCommand({"--ladder", root, "run"}, "2026-12-10T12:00:00Z", {}, &stop);
    });
    const auto matches = [&] {
        LadderStore store(location, false);
        return store.matches(10).size();
    };
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_EQ(matches(), 0U);
    addScriptBot("second", kLastLegal);
    for (int tries = 0; tries < 300 && matches() < 2; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GE(matches(), 2U) << "a bot handed in while the run waited was not played";
    stop = SIGINT;
    runner.join();
    EXPECT_EQ(ran.code, 0) << ran.err;
}

TEST_P(LadderRuns, OneRunAtATimeAndWhatAStoppedRunLeftIsTakenUpAgain)
{
    addScriptBot("one", kFirstLegal);
    addScriptBot("two", kFirstLegal);
    {
        const RunLock held(root + "/run.lock");
        ASSERT_TRUE(held.held());
        const CommandOutcome refused = run({"run", "--matches", "2"});
        EXPECT_EQ(refused.code, 1);
        EXPECT_NE(refused.err.find("another run plays this ladder now"), std::string::npos) << refused.err;
    }
    ASSERT_EQ(run({"run", "--matches", "2"}).code, 0);
    // As a run killed in the middle leaves it: a pair under way with a
    // match's files, a version halfway through its intake.
    {
        LadderStore store(location, false);
        const std::vector<VersionRow> current = store.currentVersions();
        ASSERT_EQ(current.size(), 2u);
        const PairRow cut = store.startPair(current[0].id, current[1].id, 5, "now");
        fs::create_directories(root + "/" + LadderPaths::pairOf(cut.id));
        store.setVersionState(current[1].id, "checking");
    }
    ASSERT_EQ(run({"run", "--matches", "2", "--keep-pairs", "2"}).code, 0);
    EXPECT_EQ(stateOf("two", 1), "ready");
    expectWholePairs(2);
    EXPECT_FALSE(fs::exists(root + "/storage/pairs/2")) << "the cut pair's files went with it";
    EXPECT_TRUE(fs::exists(root + "/storage/pairs/3/game-1-two.v1-one.v1.json") || fs::exists(root + "/storage/pairs/3/game-1-one.v1-two.v1.json"));
    EXPECT_FALSE(fs::exists(root + "/storage/pairs/1")) << "the files of the pairs before the latest 2 go";
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"run", "--matches", "0"}, {"run", "--matches", "x"}, {"run", "--concurrency", "0"},
             {"run", "--concurrency", "1000"}, {"run", "--seed", "-1"}, {"run", "extra"}, {"run", "--matches"},
             {"run", "--keep-pairs", "-1"}, {"run", "--batch", "0"}})
        EXPECT_EQ(run(bad).code, 2) << bad.back();
    if (GetParam() == Backend::Sqlite) {
        const CommandOutcome alone = run({"run", "--slurm"});
        EXPECT_EQ(alone.code, 2);
        EXPECT_NE(alone.err.find("--slurm needs the ladder's database in PostgreSQL"), std::string::npos) << alone.err;
    }
}

// The real program killed outright, while it plays and while it builds:
// the next run counts every pair once and finishes the build.
TEST_P(LadderRuns, AKilledRunLosesNothingAndCountsNothingTwice)
{
    addScriptBot("one", kFirstLegal);
    addScriptBot("two", kFirstLegal);
    const auto killWhenSaid = [&](const std::string& said) {
        const std::string out = dir.file("run.out");
        const pid_t child = fork();
        if (child == 0) {
            const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, STDOUT_FILENO);
            ::close(fd);
            ::execl(VORLEN_LADDER_BIN, VORLEN_LADDER_BIN, "--ladder", root.c_str(), "run", "--concurrency", "2",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        bool ended = false;
        while (vorlen::testing::readFile(out).find(said) == std::string::npos && std::chrono::steady_clock::now() < until
               && !(ended = ::waitpid(child, nullptr, WNOHANG) == child))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!ended) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        return vorlen::testing::readFile(out);
    };
    EXPECT_NE(killWhenSaid("pair 3:").find("pair 3:"), std::string::npos);
    // A version whose build takes its time, killed while it builds.
    const std::string slow = botFolder("slow", {{"play.sh", std::string("#!/bin/sh\n") + kFirstLegal},
                                                {"build.sh", "sleep 2; cp play.sh bot; chmod +x bot\n"}});
    ASSERT_EQ(run({"add", "slow", slow, "--command", "./bot"}).code, 0);
    EXPECT_NE(killWhenSaid("slow.v1: building").find("slow.v1: building"), std::string::npos);

    ASSERT_EQ(run({"run", "--matches", "2"}).code, 0);
    EXPECT_EQ(stateOf("slow", 1), "ready");
    const auto db = openDatabase(location, false);
    const long long done = asInt(db->query("SELECT COUNT(*) FROM pairs WHERE state = 'done'").at(0).at(0));
    EXPECT_GE(done, 4);
    expectWholePairs(done);
    for (const SqlRow& row : db->query("SELECT id FROM pairs WHERE state = 'dropped'"))
        EXPECT_FALSE(fs::exists(root + "/" + LadderPaths::pairOf(asInt(row[0]))));
}

INSTANTIATE_TEST_SUITE_P(BothDatabases, LadderRuns, ::testing::Values(Backend::Sqlite, Backend::Postgres), backendName);

} // namespace
