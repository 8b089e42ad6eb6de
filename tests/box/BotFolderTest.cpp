// A bot is its folder and starts with a clean environment: what its box
// shows it, what it hides, and what it is told.
#include "BotEnvironment.h"
#include "BotFolder.h"
#include "Boards.h"
#include "PlayerFactory.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/Modes.h"
#include "support/Processes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlen;
using namespace vorlen::testing;

TEST(BotEnvironments, AFixedPartAndWhatIsPassedOnPurposeAndNothingElse)
{
    const char* ours[] = {"PATH=/root/.pyenv/shims:/usr/bin", "HOME=/root", "DISPLAY=:0", "SSH_AUTH_SOCK=/run/agent",
                          "AWS_SECRET_ACCESS_KEY=hush", "OMP_NUM_THREADS=4", "LANG=de_DE.UTF-8", nullptr};
    const std::string path = std::string("PATH=") + kSystemPath;
    const struct {
        std::vector<EnvPass> passes;
        std::vector<std::string> environment;
    } cases[] = {
        {{}, {path, "HOME=/seat", "TMPDIR=/seat", "LANG=C.UTF-8", "LC_ALL=C.UTF-8"}},
        // A variable passed, one set, one passed that is not set here.
        {{{"OMP_NUM_THREADS", {}}, {"SEED", "7"}, {"NOT_SET_HERE", {}}},
         {path, "HOME=/seat", "TMPDIR=/seat", "LANG=C.UTF-8", "LC_ALL=C.UTF-8", "OMP_NUM_THREADS=4", "SEED=7"}},
        // Passes replace the fixed part; a locale passed is not overruled.
        {{{"PATH", {}}, {"LANG", {}}, {"HOME", "/elsewhere"}},
         {"TMPDIR=/seat", "PATH=/root/.pyenv/shims:/usr/bin", "LANG=de_DE.UTF-8", "HOME=/elsewhere"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(botEnvironment(c.passes, "/seat", ours), c.environment) << envPassNames(c.passes);
    EXPECT_EQ(envPassNames({{"A", {}}, {"B", "1"}, {"A", "2"}}), "A B");

    EnvPass pass;
    EXPECT_FALSE(parseEnvPass("OMP_NUM_THREADS", pass));
    EXPECT_EQ(pass, (EnvPass{"OMP_NUM_THREADS", {}}));
    EXPECT_FALSE(parseEnvPass("_X1=a=b", pass));
    EXPECT_EQ(pass, (EnvPass{"_X1", "a=b"}));
    for (const char* bad : {"", "=x", "1A", "A-B", "A B", "Ä"})
        EXPECT_TRUE(parseEnvPass(bad, pass)) << bad;
}

TEST(BotFolders, TheProgramsFolderOrAnInterpretersFirstFile)
{
    TempDir dir;
    const std::string root = dir.path().string();
    std::filesystem::create_directories(dir.file("bots/mine"));
    std::filesystem::create_directories(dir.file("bots/java"));
    const std::string program = writeBot(dir, "bots/mine/run.sh", "true");
    const std::string script = dir.write("bots/mine/main.py", "");
    const struct {
        std::vector<std::string> argv;
        std::string folder;
    } cases[] = {
        {{program}, root + "/bots/mine"},
        {{"/usr/bin/python3", script}, root + "/bots/mine"},
        {{"python3", "-u", script, "--fast"}, root + "/bots/mine"},
        {{"java", "-cp", root + "/bots/java", "Main"}, root + "/bots/java"},
        {{"node", root + "/bots/mine/../mine/main.py"}, root + "/bots/mine"},
        // Nothing of its own: a system program alone, or given only system files.
        {{"python3", "-c", "print(3)"}, ""},
        {{"/bin/sh", "/usr/share/doc"}, ""},
        {{"no-such-program", script}, ""},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ownFolderOf(c.argv, kSystemPath), c.folder) << (c.argv.empty() ? "" : c.argv.back());
}

TEST(BotFolders, TheRootTheBoxesTmpAndHomeFoldersAreNoBotsOwn)
{
    TempDir home;
    const std::string ownHome = home.path().string();
    for (const std::string& refused : std::vector<std::string>{"/", "/tmp", "/tmp/", "/root", ownHome, ownHome + "/"}) {
        const auto problem = ownFolderProblem(refused, ownHome);
        ASSERT_TRUE(problem) << refused;
        EXPECT_NE(problem->find(",dir=PATH"), std::string::npos) << "says what to do: " << *problem;
    }
    for (const std::string& fine : std::vector<std::string>{ownHome + "/bots", "/root/bots/mine", "/srv/bots", "/tmp/x"})
        EXPECT_FALSE(ownFolderProblem(fine, ownHome)) << fine;
}

TEST(BotFolders, TheBoxHidesTheRunsOutputsAndTheOtherSeatsFilesInTheBotsFolder)
{
    const std::string f = "/srv/bots";
    const BoxView mine{{f + "/mine.sh", f + "/rule.py"}, f, {}};
    const struct {
        const char* what;
        BoxView other;
        std::vector<std::string> outputs;
        std::vector<std::string> hidden;
    } cases[] = {
        {"both in one folder, with the run's outputs there and elsewhere",
         {{f + "/theirs.sh", f + "/theirs.dat", "/srv/other.dat"}, f, {}},
         {f + "/runs.jsonl", f + "/logs/", "/var/replays", f},
         {f + "/runs.jsonl", f + "/logs", f + "/theirs.sh", f + "/theirs.dat"}},
        {"the other in a folder inside", {{f + "/old/run.sh"}, f + "/old", {}}, {}, {f + "/old"}},
        {"the same program: nothing of its own is hidden", mine, {}, {}},
        {"the other's folder around this one", {{"/srv/x.sh", f + "/rule.py"}, "/srv", {}}, {}, {}},
        {"a built-in opponent", {}, {f + "/report"}, {f + "/report"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hiddenPaths(mine, c.other, c.outputs), c.hidden) << c.what;
    EXPECT_TRUE(hiddenPaths({{}, "", {}}, {{f + "/x"}, f, {}}, {f + "/y"}).empty()) << "no folder, nothing to hide";
}

class BotEnvironmentRuns : public ::testing::TestWithParam<Mode> {
protected:
    void SetUp() override { prepareMode(GetParam()); }
};

TEST_P(BotEnvironmentRuns, FileAndStreamBotsSeeTheFixedPartAndWhatIsPassedOnly)
{
    TempDir dir;
    TempDir seat;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "env.sh",
                                     "env | sort | sed 's/^/env: /' >&2\n"
                                     "if [ -n \"$STREAM\" ]; then head -n 41 >/dev/null; echo 2; else echo 2 > vorla.out; fi");
    ::setenv("VORLEN_TEST_SECRET", "hush", 1);
    ::setenv("VORLEN_TEST_PASSED", "yes", 1);
    ::setenv("DISPLAY", ":77", 1);
    for (const std::string& command : {bot, "stream:" + bot}) {
        BotSettings settings = exchangeSettings(seat.path().string(), dir.file("env.log"), Trace::silent());
        if (GetParam() == Mode::Sandbox)
            settings.sandbox = findSandbox();
        settings.env = {{"VORLEN_TEST_PASSED", {}}, {"STREAM", command == bot ? "" : "1"}};
        const std::unique_ptr<ExternalPlayer> player = createProgramPlayer(command, settings);
        Field board = seededBoard(1, 0);
        board[0][0] = 1;
        board[kBoardRows - 1][kBoardColumns - 1] = 3;
        EXPECT_EQ(player->makeMove(board), 2) << command;
        player->endMatch();
        const std::string log = readFile(dir.file("env.log"));
        const std::string home = GetParam() == Mode::Sandbox ? "/tmp" : seat.path().string();
        for (const std::string& line : {std::string("PATH=") + kSystemPath, "HOME=" + home, "TMPDIR=" + home,
                                        std::string("LANG=C.UTF-8"), std::string("LC_ALL=C.UTF-8"),
                                        std::string("VORLEN_TEST_PASSED=yes")})
            EXPECT_NE(log.find("env: " + line + "\n"), std::string::npos) << command << ": " << line << "\n" << log;
        for (const char* absent : {"VORLEN_TEST_SECRET", "DISPLAY", "SSH_AUTH_SOCK", "DBUS_SESSION", "/root"})
            EXPECT_EQ(log.find(absent), std::string::npos) << command << ": " << absent << "\n" << log;
    }
    for (const char* name : {"VORLEN_TEST_SECRET", "VORLEN_TEST_PASSED", "DISPLAY"})
        ::unsetenv(name);
}

INSTANTIATE_TEST_SUITE_P(BothModes, BotEnvironmentRuns, ::testing::Values(Mode::Plain, Mode::Sandbox), modeName);

#ifdef VORLEN_MATCH_BIN

namespace {

// A bot of several files in its own folder: it reads a file beside it,
// looks at what is not its own, and plays the lowest legal colour.
const std::string kSnoopingBot =
    "here=$(dirname \"$0\")\n"
    "cat \"$here/rule.txt\" >&2\n"
    "case $0 in *mine.sh) other=theirs.sh ;; *) other=mine.sh ;; esac\n"
    "[ -s \"$here/$other\" ] && echo \"sees: $other\" >&2\n"
    "[ -s \"$here/runs.jsonl\" ] && echo 'sees: runs.jsonl' >&2\n"
    "[ -n \"$(ls -A \"$here/logs\" 2>/dev/null)\" ] && echo 'sees: logs' >&2\n"
    "env | sort | sed 's/^/env: /' >&2\n"
    "own=$(head -c1 vorla.in); opp=$(tail -n1 vorla.in | tail -c2 | head -c1)\n"
    "for c in 1 2 3 4 5 6; do [ $c != $own ] && [ $c != $opp ] && { echo $c > vorla.out; exit 0; }; done\n";

// As a bot would run, its folders readable by all or not.
bool boxesRunHere(std::string& why) { return probeSandbox(findSandbox(), why); }

} // namespace

// In the default mode, as root (control groups) and as an unprivileged
// referee (limits alone): a bot of two files in one folder with its
// opponent, the results and the logs.
TEST(BoxedBots, SeeTheirOwnFolderButNotTheOpponentsFilesOrTheRunsOutputs)
{
    std::string why;
    if (!boxesRunHere(why))
        GTEST_SKIP() << why;
    const bool root = ::geteuid() == 0;
    for (const bool unprivileged : {false, true}) {
        if (unprivileged && !root)
            continue;
        TempDir dir;
        ::chmod(dir.path().c_str(), 0777); // the unprivileged referee writes its outputs here
        WorkingDirectory cwd(dir.path());
        dir.write("rule.txt", "rule: read\n");
        ::chmod(dir.file("rule.txt").c_str(), 0644);
        writeBot(dir, "mine.sh", kSnoopingBot);
        writeBot(dir, "theirs.sh", kSnoopingBot);
        ::setenv("VORLEN_TEST_SECRET", "hush", 1);
        const std::string as = unprivileged ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        const ToolRun run = finish(popen((as + VORLEN_MATCH_BIN " --games 1 --first ./mine.sh --second ./theirs.sh "
                                               "--results runs.jsonl --bot-logs logs --bot-env OMP_NUM_THREADS=2 "
                                               "--bot-env VORLEN_TEST_SECRET 2>&1")
                                              .c_str(),
                                          "r"));
        ::unsetenv("VORLEN_TEST_SECRET");
        const char* who = unprivileged ? "unprivileged" : "root";
        ASSERT_EQ(run.exitCode, 0) << who << ": " << run.out;
        EXPECT_NE(run.out.find("in a box per seat"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("with a fixed environment and OMP_NUM_THREADS VORLEN_TEST_SECRET passed on"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(readFile(dir.file("runs.jsonl")).find("\"bot_env\":\"OMP_NUM_THREADS VORLEN_TEST_SECRET\""),
                  std::string::npos);
        for (const char* seat : {"game-0-seat-0-A.log", "game-0-seat-1-B.log"}) {
            const std::string log = readFile(dir.file(std::string("logs/") + seat));
            EXPECT_NE(log.find("rule: read"), std::string::npos) << who << " " << seat << ":\n" << log;
            EXPECT_EQ(log.find("sees:"), std::string::npos) << who << " " << seat << ":\n" << log;
            EXPECT_NE(log.find("env: HOME=/tmp\n"), std::string::npos) << log;
            EXPECT_NE(log.find("env: OMP_NUM_THREADS=2\n"), std::string::npos) << log;
            EXPECT_NE(log.find("env: VORLEN_TEST_SECRET=hush\n"), std::string::npos) << "passed on purpose";
            EXPECT_EQ(log.find("env: DISPLAY"), std::string::npos) << log;
            EXPECT_EQ(log.find("/root"), std::string::npos) << log;
        }
        // Both seats ran to the game's own end.
        const std::string record = readFile(dir.file("runs.jsonl"));
        for (const char* failure : {"failed to start", "no move", "colour outside", "own or opponent"})
            EXPECT_EQ(record.find(failure), std::string::npos) << who << ": " << record;
    }
}

TEST(BoxedBots, AFolderThatWouldShowTooMuchIsRefusedBeforeAnyMatch)
{
    std::string why;
    if (!boxesRunHere(why))
        GTEST_SKIP() << why;
    TempDir home;
    WorkingDirectory cwd(home.path());
    writeBot(home, "bot.sh", "echo 3 > vorla.out");
    const std::string was = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.path().c_str(), 1);
    const struct {
        std::string player;
        std::string problem;
    } cases[] = {
        {"./bot.sh", "vorlen-match: --first: cannot box './bot.sh': its own folder would be " + home.path().string()
                         + ", a home folder"},
        {"/bin/sh bot.sh,dir=/", "vorlen-match: --first: cannot box '/bin/sh': its own folder would be /, "},
        {"stream:./bot.sh,dir=/tmp", "vorlen-match: --first: cannot box './bot.sh': its own folder would be /tmp, "},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool("--sandbox --first '" + c.player + "'", "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.player << ": " << run.out;
        EXPECT_EQ(run.out.rfind(c.problem, 0), 0U) << run.out;
        EXPECT_NE(run.out.find("put the bot in a folder of its own"), std::string::npos) << run.out;
    }
    // Plain, a bot sees everything anyway: nothing to refuse.
    EXPECT_EQ(runTool("--no-sandbox --first ./bot.sh", "2>&1").exitCode, 0);
    ::setenv("HOME", was.c_str(), 1);

    // A root referee's bot runs as nobody: a folder nobody may read is said so.
    if (::geteuid() == 0) {
        std::filesystem::create_directory(home.file("private"));
        writeBot(home, "private/bot.sh", "echo 3 > vorla.out");
        ::chmod(home.file("private").c_str(), 0700);
        const std::string nobody =
            "(the bot runs as nobody: its files, and the folders they are in, must be readable by all)";
        const ToolRun tried = runTool("--sandbox --first private/bot.sh", "2>&1");
        EXPECT_EQ(tried.exitCode, 2) << tried.out;
        EXPECT_NE(tried.out.find("before any match, it failed: failed to start"), std::string::npos) << tried.out;
        EXPECT_NE(tried.out.find(nobody), std::string::npos) << tried.out;
        const ToolRun run = runTool("--sandbox --no-preflight --first private/bot.sh --bot-logs logs", "2>&1");
        EXPECT_NE(run.out.find("failed to start"), std::string::npos) << run.out;
        EXPECT_NE(readFile(home.file("logs/game-0-seat-0-A.log"))
                      .find("(the bot runs as nobody: its files, and the folders they are in, must be readable by all)"),
                  std::string::npos);
    }
}

#endif
