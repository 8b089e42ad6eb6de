// Hostile bots against the referee's containment, with and without the sandbox.
#include "BotGroups.h"
#include "CgroupPlaces.h"
#include "RecordText.h"
#include "BoardSequence.h"
#include "MatchPlay.h"
#include "ScratchDir.h"
#include "Sandbox.h"
#include "StreamPlayer.h"
#include "VorlenLogicTeam01.h"
#include "support/Boards.h"
#include "support/Bots.h"
#include "support/Fakes.h"
#include "support/MatchTool.h"
#include "support/Modes.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace vorlen;
using namespace vorlen::testing;
using Outcome = VorlenLogicTeam01::Outcome;

namespace {

class Containment : public ::testing::TestWithParam<Mode> {
protected:
    void SetUp() override { prepareMode(GetParam()); }

    VorlenLogicTeam01::Settings settings(const BotLimits& limits = {}) const
    {
        auto result = exchangeSettings(exchange.path().string(), bots.file("bot.log"), Trace(nullptr, err.get()));
        result.limits = limits;
        if (GetParam() == Mode::Sandbox)
            result.sandbox = findSandbox();
        return result;
    }

    // One move of a shell bot with this body.
    int move(const std::string& body, const BotLimits& limits = {})
    {
        VorlenLogicTeam01 player(writeBot(bots, "bot.sh", body), settings(limits));
        const MoveResult result = player.play(stripedBoard(), -1);
        outcome = result.outcome;
        return result.colour;
    }

    TempDir bots;     // where the bots live: visible, read-only, in the sandbox
    TempDir exchange; // the bot's one writable place
    MemoryStream err;
    Outcome outcome = Outcome::None;
};

} // namespace

TEST_P(Containment, NothingABotStartsOutlivesItsMove)
{
    const struct {
        const char* escape;
        const char* marker;
    } cases[] = {
        {"setsid sleep 41.01 &", "41.01"},
        {"( ( sleep 41.02 & ) & )", "41.02"}, // a daemon: double fork
        {"python3 -c 'import os, time; os.setpgid(0, 0); time.sleep(41.03)' &", "41.03"},
        {"setsid sh -c 'while :; do :; done' burner-41.04 &", "burner-41.04"},
    };
    // Each mode marks its own processes: both may run at once.
    const auto marked = [](std::string text) {
        return text.replace(text.find("41.0"), 4, GetParam() == Mode::Plain ? "41.1" : "41.5");
    };
    for (const auto& c : cases) {
        EXPECT_EQ(move(marked(c.escape) + "\nsleep 0.2; echo 3 > vorla.out"), 3) << c.escape;
        EXPECT_EQ(liveProcessesWith(marked(c.marker)), 0) << c.escape;
    }
}

TEST_P(Containment, ASwappedDirectoryRedirectsNothing)
{
    TempDir elsewhere;
    // The bot moves its directory away and leaves a link to another in its place.
    const std::string swap = "mv \"$PWD\" \"$PWD.moved\" 2>/dev/null && ln -s " + elsewhere.path().string()
                             + " \"$PWD\"\necho 3 > vorla.out";
    VorlenLogicTeam01 player(writeBot(bots, "swap.sh", swap), settings());
    EXPECT_EQ(player.makeMove(stripedBoard()), 3);
    EXPECT_EQ(player.makeMove(stripedBoard()), 3);
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
    std::error_code ignored;
    std::filesystem::remove_all(exchange.path().string() + ".moved", ignored);
}

TEST_P(Containment, AMemoryHungryBotFailsAlikeAsAFileAndAStreamBot)
{
    BotLimits small;
    small.memoryMiB = 64;
    const std::string bot = writeBot(bots, "hungry.sh", "exec python3 -c 'l = []\nwhile True: l.append(bytearray(1 << 20))'");
    VorlenLogicTeam01 file(bot, settings(small));
    StreamPlayer stream(bot, settings(small));
    const std::array<ExternalPlayer*, 2> forms = {&file, &stream};
    std::array<std::string, 2> logs;
    std::array<MoveResult, 2> results;
    for (std::size_t i = 0; i < forms.size(); ++i) {
        std::filesystem::remove(bots.file("bot.log"));
        results[i] = forms[i]->play(stripedBoard(), 1);
        EXPECT_EQ(results[i].colour, -1) << i;
        forms[i]->endMatch();
        logs[i] = readFile(bots.file("bot.log"));
    }
    EXPECT_EQ(results[0].outcome, Outcome::MemoryLimit);
    EXPECT_EQ(results[1].outcome, Outcome::MemoryLimit) << logs[1];
    EXPECT_EQ(results[0].hint, results[1].hint);
    const char* said = GetParam() == Mode::Sandbox ? "memory limit" : "ended at the memory limit (64 MiB)";
    for (const std::string& log : logs)
        EXPECT_NE(log.find(said), std::string::npos) << log;
}

TEST_P(Containment, LimitsEndTheBotAndItsLogSaysWhich)
{
    BotLimits small;
    small.memoryMiB = 64;
    small.cpuSeconds = 1;
    small.fileSizeMiB = 1;
    small.openFiles = 32;
    small.logBytes = 64 << 10;
    const struct {
        const char* body;
        Outcome outcome;
        const char* note;
    } cases[] = {
        {"exec python3 -c 'l = []\nwhile True: l.append(bytearray(1 << 20))'", Outcome::MemoryLimit,
         "ended at the memory limit (64 MiB)"},
        {"exec sh -c 'while :; do :; done'", Outcome::CpuLimit, "ended by the CPU limit"},
        {"exec head -c 2000000 /dev/zero > big", Outcome::FileSizeLimit, "ended by the file size limit"},
        {"python3 -c 'f = [open(\"/dev/null\") for _ in range(100)]' && echo 3 > vorla.out",
         Outcome::NoMove, "no move in vorla.out; the bot ended with exit code 1"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(bots.file("bot.log"));
        EXPECT_EQ(move(c.body, small), -1) << c.body;
        // A box over its memory is ended as a whole.
        const bool boxed = GetParam() == Mode::Sandbox && c.outcome == Outcome::MemoryLimit;
        EXPECT_EQ(outcome, c.outcome) << c.body;
        EXPECT_NE(readFile(bots.file("bot.log")).find(boxed ? "ended by the memory limit" : c.note), std::string::npos)
            << c.body;
    }
    if (GetParam() == Mode::Plain) {
        EXPECT_LE(std::filesystem::file_size(exchange.file("big")), 1U << 20);
    }

    // A flood of standard error is cut, and the bot still answers.
    std::filesystem::remove(bots.file("bot.log"));
    EXPECT_EQ(move("head -c 3000000 /dev/zero | tr '\\0' x >&2; echo 3 > vorla.out", small), 3);
    const std::string log = readFile(bots.file("bot.log"));
    EXPECT_EQ(log.find_first_not_of('x'), 64U << 10);
    EXPECT_NE(log.find("[vorlen] log cut at 65536 bytes"), std::string::npos);
    EXPECT_LT(log.size(), (64U << 10) + 200);
}

INSTANTIATE_TEST_SUITE_P(BothModes, Containment, ::testing::Values(Mode::Plain, Mode::Sandbox), modeName);

class SandboxOnly : public Containment {};

TEST_P(SandboxOnly, NothingOutsideItsBoxIsWritable)
{
    TempDir neighbour; // another match's folder, say
    const std::string bot = "touch " + neighbour.file("planted") + " /tmp/vorlen-planted " + bots.file("planted")
                            + " 2>/dev/null\ntouch mine /tmp/scratch && echo 3 > vorla.out";
    EXPECT_EQ(move(bot), 3);
    EXPECT_FALSE(std::filesystem::exists(neighbour.file("planted")));
    EXPECT_FALSE(std::filesystem::exists(bots.file("planted")));
    EXPECT_FALSE(std::filesystem::exists("/tmp/vorlen-planted"));
    EXPECT_FALSE(std::filesystem::exists("/tmp/scratch")); // its /tmp is its own
    EXPECT_FALSE(std::filesystem::exists(exchange.file("mine"))); // so is its seat folder
}

// vorlen-match started with these options, its output thrown away; its id.
pid_t startRunner(const std::vector<std::string>& options)
{
    std::vector<char*> argv{const_cast<char*>(VORLEN_MATCH_BIN)};
    for (const std::string& option : options)
        argv.push_back(const_cast<char*>(option.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t runner = 0;
    const bool started = posix_spawn(&runner, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return started ? runner : -1;
}

TEST_P(SandboxOnly, BotsDieWithAKilledReferee)
{
    const std::string bot = writeBot(bots, "sleeper.sh", "setsid sleep 41.21 &\nsleep 41.22");
    const std::string first = "--first=" + bot;
    const pid_t runner = startRunner({first, "--sandbox"});
    ASSERT_GT(runner, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (liveProcessesWith("41.22", {}) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_GT(liveProcessesWith("41.22", {}), 0);
    ::kill(runner, SIGKILL);
    ::waitpid(runner, nullptr, 0);
    EXPECT_EQ(liveProcessesWith("41.2", std::chrono::seconds(1)), 0);
}

// One walk of the control-group tree for a runner's groups; false when a
// group vanished under the walk (other runs' groups come and go).
bool walkBoxGroups(const std::string& prefix, std::vector<std::string>& groups)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator entry("/sys/fs/cgroup", fs::directory_options::skip_permission_denied, error);
    if (error)
        return true; // no control groups here
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        std::error_code gone;
        if (entry->is_directory(gone) && entry->path().filename().string().rfind(prefix, 0) == 0)
            groups.push_back(entry->path().string());
    }
    return !error;
}

// The control groups of runs whose runner is gone.
std::vector<std::string> boxGroupsOf(pid_t runner)
{
    const std::string prefix = "vorlen-box-" + std::to_string(runner) + "-";
    std::vector<std::string> groups;
    for (int attempt = 0; attempt < 20; ++attempt) {
        groups.clear();
        if (walkBoxGroups(prefix, groups))
            return groups;
    }
    ADD_FAILURE() << "the control-group tree kept changing under every walk";
    return groups;
}

TEST_P(SandboxOnly, AStreamBotStoppedOnItsOpponentsTurnDiesWithAKilledRefereeAndItsGroupsGoNextRun)
{
    // The stream bot answers at once; the file bot takes its time, so the
    // stream bot is stopped, with its helper, while the runner is killed.
    // It answers only once its helper is the sleep it looks for: stopped
    // between its fork and its exec, the helper would not be found by name.
    const std::string stream = writeBot(bots, "stream.sh",
                                        "sleep 43.31 & helper=$!\n"
                                        "until tr '\\0' ' ' < /proc/$helper/cmdline | grep -q 43.31; do sleep 0.01; done\n"
                                        "while true; do i=0; while [ $i -lt 41 ]; do read -r line || exit 0; "
                                        "i=$((i+1)); done; echo 3; done");
    const std::string slow = writeBot(bots, "slow.sh", "sleep 43.32 & sleep 5; echo 4 > vorla.out");
    const std::string first = "--first=stream:" + stream;
    const std::string second = "--second=" + slow;
    const pid_t runner = startRunner({first, second, "--sandbox", "--no-preflight"});
    ASSERT_GT(runner, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (liveProcessesWith("43.32", {}) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_GT(liveProcessesWith("43.32", {}), 0) << "the file bot thinks";
    ASSERT_GT(liveProcessesWith("43.31", {}), 0) << "the stream bot's helper waits, stopped";
    const bool grouped = !boxGroupsOf(runner).empty();
    ::kill(runner, SIGKILL);
    ::waitpid(runner, nullptr, 0);
    EXPECT_EQ(liveProcessesWith("43.3", std::chrono::seconds(2)), 0);
    // The next run removes what the killed one could not.
    const ToolRun next = runTool("--sandbox --games 1 --first " + writeBot(bots, "quick.sh", "echo 3 > vorla.out"));
    EXPECT_EQ(next.exitCode, 0);
    EXPECT_EQ(boxGroupsOf(runner), std::vector<std::string>{}) << (grouped ? "" : "(no control groups here)");
}

// A box killed while it started can wait for ever on a parent that is gone
// (bubblewrap's own start-up): the next run kills what is still in a dead
// runner's group before removing it.
TEST(AbandonedGroups, WhatADeadRunnersGroupStillHoldsIsKilledAndTheGroupRemoved)
{
    std::string parent;
    for (const Mount& mount : cgroupMounts())
        if (mount.v2 ? ownPath("").size() > 0 : mount.controllers.find(",pids,") != std::string::npos)
            parent = mount.point + ownPath(mount.v2 ? "" : "pids");
    if (::geteuid() != 0 || parent.empty())
        GTEST_SKIP() << "no control group of tasks to make here";
    // A runner that is gone: a child that has ended, its id free.
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string group = parent + "/vorlen-box-" + std::to_string(dead) + "-1";
    if (::mkdir(group.c_str(), 0755) != 0)
        GTEST_SKIP() << "cannot make a control group under " << parent;
    const pid_t left = ::fork();
    if (left == 0) {
        ::execl("/bin/sleep", "sleep", "61.7", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_TRUE(writeSmallFile(group + "/cgroup.procs", std::to_string(left)));
    removeAbandonedBoxGroups();
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::waitpid(left, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    if (!killed) {
        ::kill(left, SIGKILL); // the test's own process, ended by its pid either way
        ::waitpid(left, nullptr, 0);
    }
    EXPECT_TRUE(killed) << "a dead runner's group kept its process";
    EXPECT_FALSE(std::filesystem::exists(group));
    ::rmdir(group.c_str());
}

INSTANTIATE_TEST_SUITE_P(Sandbox, SandboxOnly, ::testing::Values(Mode::Sandbox), modeName);

class MatchContainment : public Containment {};

TEST_P(MatchContainment, ASaboteurSpoilsOnlyItsOwnFiles)
{
    const std::string honest = "head -c 1 vorla.in | tr 123456 345612 > vorla.out";
    // Answers like the honest bot, then leaves a non-empty directory where
    // the next board goes.
    const std::string saboteur = honest + "\nrm -f vorla.in; mkdir -p vorla.in/x vorla.out.d; touch vorla.in/x/y";
    match::MatchConfig config;
    config.second = parseSeatPlayer(writeBot(bots, "honest.sh", honest));
    if (GetParam() == Mode::Sandbox)
        config.boxes = findSandbox();
    BotGroups groups;
    match::MatchJob job{0, seededBoard(3, 0), "seed:3:0", false, {}, {}};
    config.first = parseSeatPlayer(writeBot(bots, "plain.sh", honest));
    job.seats = config.seatsFor({});
    const match::MatchRecord plain = *match::playMatch(job, config, groups).record;
    config.first = parseSeatPlayer(writeBot(bots, "saboteur.sh", saboteur));
    job.seats = config.seatsFor({});
    const match::MatchRecord spoiled = *match::playMatch(job, config, groups).record;
    // The records past the bots' names, and without the times.
    const auto rest = [](const match::MatchRecord& record, std::size_t nameSize) {
        const std::string core = withoutTimes(toCsv(record));
        return core.substr(core.find(",A,") + 3 + nameSize);
    };
    EXPECT_EQ(rest(spoiled, config.first.text().size()), rest(plain, std::string(bots.file("plain.sh")).size()));
    EXPECT_GT(spoiled.turns, 2);
}

INSTANTIATE_TEST_SUITE_P(BothModes, MatchContainment, ::testing::Values(Mode::Plain, Mode::Sandbox), modeName);

TEST(BoxCommand, TheSystemReadOnlyTheBotsFolderLessWhatIsNotItsAndNothingElseOfTheHost)
{
    TempDir bots;
    const std::string bot = writeBot(bots, "bot.sh", "true");
    const std::vector<std::string> named = namedPaths({"sh", bot, "fast", "/", "/tmp", "/usr/bin/env", "missing.py"});
    // The named file; nothing the box shows anyway, no word that names nothing.
    EXPECT_EQ(named, (std::vector<std::string>{bot}));
    std::filesystem::create_directory(bots.file("logs"));
    const std::string results = bots.write("runs.jsonl", "");

    std::string text;
    const BoxView view{named, bots.path(), {bots.file("logs"), results, bots.file("gone")}};
    for (const std::string& part : boxCommand({"/usr/bin/bwrap", "/opt/vorlen-box"}, view, 8))
        text += part + " ";
    EXPECT_EQ(text.rfind("/usr/bin/bwrap --unshare-all --unshare-user --disable-userns --die-with-parent --as-pid-1 "
                         "--cap-drop ALL --ro-bind /usr /usr --ro-bind /etc /etc ",
                         0),
              0U)
        << text;
    // The folder, then what is hidden in it, then the named files; a hidden
    // path that is not there is not mounted over.
    const std::string dir = bots.path();
    EXPECT_NE(text.find("--perms 1777 --size 8388608 --tmpfs /tmp --perms 1777 --size 8388608 --tmpfs /dev/shm "
                        "--dir /tmp/seat --ro-bind " + dir + " " + dir + " --perms 0555 --size 4096 --tmpfs " + dir
                        + "/logs --remount-ro " + dir + "/logs --ro-bind /dev/null " + results + " --ro-bind " + bot
                        + " " + bot + " --ro-bind /opt/vorlen-box /vorlen-box --remount-ro / "),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("gone"), std::string::npos) << text;
    EXPECT_NE(text.find("--chdir /tmp/seat -- /vorlen-box 3 "), std::string::npos) << text;
    for (const char* hidden : {"/home", "/root", "/run", "/var", "/srv", "/mnt", "/opt ", "--setenv"})
        EXPECT_EQ(text.find(std::string(" ") + hidden), std::string::npos) << hidden;

    // A folder of the system's is shown anyway, and not again.
    text.clear();
    for (const std::string& part : boxCommand({"/usr/bin/bwrap", "/opt/vorlen-box"}, {{}, "/usr/games", {}}, 8))
        text += part + " ";
    EXPECT_EQ(text.find("/usr/games"), std::string::npos) << text;
}

TEST(Leftovers, PlainSeatFoldersLiveInMemoryWhereTheyCanAndGoWithTheirMatch)
{
    if (match::scratchRoot() != "/dev/shm")
        GTEST_SKIP() << "/dev/shm is not a writable folder in memory here";
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    writeBot(dir, "where.sh", "echo \"at $(pwd) on $(stat -f -c %T .)\" >&2; echo 3 > vorla.out");
    ASSERT_EQ(runTool("--no-sandbox --games 1 --first ./where.sh --bot-logs logs").exitCode, 0);
    const std::string log = readFile(dir.file("logs/game-0-seat-0-A.log"));
    const std::size_t at = log.find("\nat /dev/shm/vorlen-match-");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_NE(log.find(" on tmpfs\n"), std::string::npos) << log;
    const std::string seat = log.substr(at + 4, log.find(" on ", at) - at - 4);
    EXPECT_FALSE(std::filesystem::exists(seat)) << seat << " is removed with its match";
}

TEST(Leftovers, OnlyScratchFoldersOfRunnersThatAreGoneAreRemoved)
{
    TempDir tmp;
    TempDir elsewhere;
    const std::string own = std::to_string(::getpid());
    const struct {
        std::string name;
        bool removed;
    } cases[] = {
        {"vorlen-match-2147483646-100-aaaaaa", true},        // no such process
        {"vorlen-match-" + own + "-1-bbbbbb", true},          // this id, but another process's start
        {match::scratchPrefix() + "cccccc", false},           // this process's own
        {"vorlen-match-junk", false},
        {"vorlen-matches", false},
        {"other-2147483646-100-dddddd", false},
    };
    for (const auto& c : cases)
        std::filesystem::create_directories(tmp.path() / c.name / "seat-0");
    // A link with a leftover's name is not followed.
    std::filesystem::create_directory_symlink(elsewhere.path(), tmp.path() / "vorlen-match-2147483646-100-eeeeee");
    elsewhere.write("kept", "1");

    EXPECT_EQ(match::removeAbandonedScratch(tmp.path().string()), 2);
    for (const auto& c : cases)
        EXPECT_EQ(std::filesystem::exists(tmp.path() / c.name), !c.removed) << c.name;
    EXPECT_TRUE(std::filesystem::exists(elsewhere.file("kept")));
}

TEST(Leftovers, TheNextRunRemovesWhatAKilledRunnerLeft)
{
    TempDir tmp;
    TempDir bots;
    const std::string bot = writeBot(bots, "sleeper.sh", "exec sleep 43.51");
    const std::string env = "TMPDIR=" + tmp.path().string();
    const std::string first = "--first=" + bot;
    const char* argv[] = {VORLEN_MATCH_BIN, first.c_str(), "--no-sandbox", "--no-preflight", nullptr};
    const char* envp[] = {env.c_str(), "PATH=/usr/bin:/bin", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t runner = 0;
    ASSERT_EQ(posix_spawn(&runner, argv[0], &actions, nullptr, const_cast<char**>(argv), const_cast<char**>(envp)), 0);
    posix_spawn_file_actions_destroy(&actions);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (liveProcessesWith("43.51", {}) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(runner, SIGKILL);
    ::waitpid(runner, nullptr, 0);
    ASSERT_FALSE(std::filesystem::is_empty(tmp.path()));

    const std::string next = env + " " VORLEN_MATCH_BIN " --no-sandbox --no-preflight --games 1 --first "
                             + writeBot(bots, "mute.sh", "true") + " 2>/dev/null";
    EXPECT_EQ(finish(popen(next.c_str(), "r")).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
    EXPECT_EQ(liveProcessesWith("43.51"), 0);
}
