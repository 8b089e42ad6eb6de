// Bots that try to take something out of their box, or leave something in
// it for the next bot: through a link they name, a library they preload, a
// box kept for the next match, helpers that wake each other between moves,
// a debug line that looks like a move. In both governances.
#include "BoxPool.h"
#include "Boards.h"
#include "MatchPlay.h"
#include "Retirement.h"
#include "StreamPlayer.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "support/Bots.h"
#include "support/Governance.h"
#include "support/Modes.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

namespace fs = std::filesystem;

// Plays the lowest legal colour; `before` runs first.
std::string shellBot(const std::string& before)
{
    return before + "\nown=$(head -c1 vorla.in); opp=$(tail -n1 vorla.in | tail -c2 | head -c1)\n"
                    "for c in 1 2 3 4 5 6; do [ $c != $own ] && [ $c != $opp ] && { echo $c > vorla.out; exit 0; }; done";
}

class Escapes : public ::testing::TestWithParam<Governance> {
protected:
    void SetUp() override { prepareMode(Mode::Sandbox); }

    // A boxed run; each match below names its own players.
    match::MatchConfig config() const
    {
        match::MatchConfig config;
        config.first = parseSeatPlayer("program");
        config.boxes = planFor(GetParam());
        config.botLogDir = bots.file("logs");
        fs::create_directories(config.botLogDir);
        return config;
    }

    // One match of two named players, boxes kept in `pool`; the first seat's log.
    std::string play(const match::MatchConfig& config, int game, const match::NamedPlayer& first,
                     const match::NamedPlayer& second, BoxPool* pool = nullptr, std::string* retired = nullptr)
    {
        const match::MatchJob job{game, seededBoard(5, game), "seed:5", false, {first, second}, {}};
        const match::MatchResult result = match::playMatch(job, config, groups, pool);
        if (retired)
            *retired = result.record ? result.record->seats[0].retired : "no record: " + result.error;
        return readFile(bots.file("logs/game-" + std::to_string(game) + "-seat-0-" + first.name + ".log"));
    }

    TempDir bots;
    BotGroups groups;
};

} // namespace

TEST_P(Escapes, ALinkOrDotsOnTheCommandLineShowNothingBeyondTheBotsFolder)
{
    fs::create_directories(bots.file("mine/data"));
    fs::create_directories(bots.file("theirs"));
    fs::create_directories(bots.file("scripts"));
    bots.write("theirs/secret", "the other seat's\n");
    fs::create_symlink("..", bots.file("mine/book"));
    fs::create_symlink("data", bots.file("mine/inside"));
    const std::string bot = writeBot(bots, "mine/bot.sh", shellBot("ls \"$1\" >&2; cat \"$1/theirs/secret\" >&2"));
    const match::NamedPlayer stupid{"B", parseSeatPlayer("stupid")};
    std::string retired;
    // The link leads out of its folder: the box is not made at all.
    const std::string out = play(config(), 0, {"A", parseSeatPlayer("/bin/sh " + bot + " " + bots.file("mine/book"))}, stupid,
                                 nullptr, &retired);
    EXPECT_EQ(retired, "failed to start");
    EXPECT_NE(out.find("outside its own folder"), std::string::npos) << out;
    EXPECT_EQ(out.find("the other seat's"), std::string::npos) << out;
    // Within its folder, and through a folder the box does not hold, it plays.
    for (const std::string& command : {"/bin/sh " + bot + " " + bots.file("mine/inside"),
                                       "/bin/sh " + bots.file("scripts/../mine/bot.sh") + " /tmp"}) {
        const std::string log = play(config(), 1, {"A", parseSeatPlayer(command)}, stupid, nullptr, &retired);
        EXPECT_TRUE(retired == "full board" || retired == "stall") << command << ": " << retired << "\n" << log;
        EXPECT_EQ(log.find("the other seat's"), std::string::npos) << log;
    }
}

TEST_P(Escapes, LibrariesABotNamesLoadIntoTheBotAloneInsideItsBox)
{
    const std::string source = bots.write("mark.c", "#include <stdio.h>\n#include <stdlib.h>\n#include <unistd.h>\n"
                                                   "__attribute__((constructor)) static void mark(void) {\n"
                                                   "  char path[512]; snprintf(path, sizeof path, \"%s/loaded-%d\", "
                                                   "getenv(\"MARK_DIR\"), (int)getpid());\n"
                                                   "  FILE* f = fopen(path, \"w\"); if (f) fclose(f);\n"
                                                   "  fprintf(stderr, \"loaded into %d\\n\", (int)getpid()); }\n");
    fs::create_directories(bots.file("mine"));
    const std::string library = bots.file("mine/mark.so");
    ASSERT_EQ(std::system(("cc -shared -fPIC -o " + library + " " + source).c_str()), 0);
    fs::permissions(library, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    TempDir organiser; // the host's folder the library would mark, writable by all
    fs::permissions(organiser.path(), fs::perms::all);
    const std::string bot = writeBot(bots, "mine/bot.sh", shellBot(""));
    match::MatchConfig run = config();
    run.botEnv = {{"LD_PRELOAD", library}, {"MARK_DIR", organiser.path().string()}};
    std::string retired;
    const std::string log = play(run, 0, {"A", parseSeatPlayer(bot)}, {"B", parseSeatPlayer("stupid")}, nullptr, &retired);
    EXPECT_TRUE(retired == "full board" || retired == "stall") << retired << "\n" << log;
    // Loaded into the bot, in its box: never into bubblewrap or the launcher on the host.
    EXPECT_NE(log.find("loaded into"), std::string::npos) << log;
    EXPECT_TRUE(fs::is_empty(organiser.path())) << "a library of the bot's ran outside its box";

    // A compiled bot's own library, found through LD_LIBRARY_PATH.
    fs::create_directories(bots.file("mine/lib"));
    const std::string word = bots.write("word.c", "const char* word(void) { return \"from its own library\"; }\n");
    const std::string main = bots.write(
        "main.c", "#include <stdio.h>\nconst char* word(void);\nint main(void) {\n"
                  "  char row[64] = {0}, last[64] = {0}; FILE* in = fopen(\"vorla.in\", \"r\");\n"
                  "  fgets(row, sizeof row, in); while (fgets(last, sizeof last, in)) {}\n"
                  "  for (char c = '1'; c <= '6'; ++c) if (c != row[0] && c != last[44]) {\n"
                  "    fprintf(fopen(\"vorla.out\", \"w\"), \"%c\\n\", c); break; }\n"
                  "  fprintf(stderr, \"%s\\n\", word()); return 0; }\n");
    ASSERT_EQ(std::system(("cc -shared -fPIC -o " + bots.file("mine/lib/libword.so") + " " + word + " && cc -o "
                           + bots.file("mine/own") + " " + main + " -L" + bots.file("mine/lib") + " -lword")
                              .c_str()),
              0);
    for (const char* built : {"mine/lib", "mine/lib/libword.so", "mine/own"})
        fs::permissions(bots.file(built), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    match::MatchConfig own = config();
    own.botEnv = {{"LD_LIBRARY_PATH", bots.file("mine/lib")}};
    const std::string ownLog = play(own, 1, {"A", parseSeatPlayer(bots.file("mine/own"))}, {"B", parseSeatPlayer("stupid")}, nullptr, &retired);
    EXPECT_TRUE(retired == "full board" || retired == "stall") << retired << "\n" << ownLog;
    EXPECT_NE(ownLog.find("from its own library"), std::string::npos) << ownLog;
}

TEST_P(Escapes, AKeptBoxIsANewBoxForTheNextMatchWhoeverPlaysIt)
{
    // One program, three players: the plant lowers what its launcher hands
    // on, and it and the queue leave a message queue; each tells what it
    // finds first.
    const std::string program = writeBot(bots, "x.sh", shellBot(
        "if [ \"$1\" = plant ]; then renice -n 19 -p 1 >/dev/null 2>&1; prlimit --pid 1 --nofile=100:100 2>/dev/null; fi\n"
        "echo \"$1: nice $(nice) files $(ulimit -n) queues $(ls /dev/mqueue | tr '\\n' ' ')pid $$\" >&2\n"
        "[ \"$1\" = victim ] || python3 -c \"import ctypes; ctypes.CDLL('librt.so.1').mq_open(b'/planted', 0o102, 0o600, "
        "None)\""));
    const match::NamedPlayer plant{"plant", parseSeatPlayer("/bin/sh " + program + " plant")};
    const match::NamedPlayer victim{"victim", parseSeatPlayer("/bin/sh " + program + " victim")};
    const match::NamedPlayer queue{"queue", parseSeatPlayer("/bin/sh " + program + " queue")};
    const match::MatchConfig run = config();
    BoxPool pool(4);
    std::string found; // what each match's first move found
    std::string queues;
    for (int game = 0; game < 4; game += 2) {
        play(run, game, plant, victim, &pool);
        const std::string victimLog = play(run, game + 1, victim, plant, &pool);
        const std::string queueLog = play(run, 10 + game, queue, {"B", parseSeatPlayer("stupid")}, &pool);
        for (const std::string& log : {victimLog, queueLog}) {
            const std::size_t line = log.find(": nice");
            found += line == std::string::npos ? "nothing\n" : log.substr(line, log.find(" pid", line) - line) + "\n";
        }
        queues += queueLog;
    }
    std::string clean;
    for (int match = 0; match < 4; ++match)
        clean += ": nice 0 files 256 queues\n";
    EXPECT_EQ(found, clean);
    // The queue's own box was kept: its process ids go on counting.
    EXPECT_EQ(queues.find("pid 2\n"), queues.rfind("pid 2\n")) << queues;
}

namespace {

// A stream bot in Python answering the lowest legal colour: `setup` runs
// once, `arrived` when a board's first line has come, `answered` after each
// answer.
std::string pythonStreamBot(const std::string& setup, const std::string& arrived, const std::string& answered)
{
    return "exec python3 -c '\nimport os, sys, threading, time\n" + setup
           + "\nwhile True:\n"
             "    first = sys.stdin.readline()\n"
             "    if not first: break\n"
           + arrived
           + "\n    rows = [first] + [sys.stdin.readline() for _ in range(40)]\n"
             "    own, opp = rows[0][0], rows[-1].strip()[-1]\n"
             "    sys.stdout.write(next(c for c in \"123456\" if c not in (own, opp)) + \"\\n\")\n"
             "    sys.stdout.flush()\n"
           + answered + "\n'";
}

// Whole matches of a stream bot in the first seat against `second` until it
// has made `moves` moves; its log and how each match ended.
std::string streamMoves(const SandboxPlan& plan, const std::string& bot, IVorlenLogic& second, const std::string& log,
                        int moves, std::vector<std::string>& endings)
{
    std::string written;
    for (int made = 0, board = 0; made < moves && board < 8; ++board) {
        BotSettings settings;
        settings.stderrPath = log;
        settings.sandbox = plan;
        StreamPlayer first(bot, settings);
        VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
        manager.setPlayer(0, &first);
        manager.setPlayer(1, &second);
        manager.setBoard(seededBoard(8, board));
        for (int turn = 0; !manager.gameOver() && turn < 400; ++turn, made += turn % 2)
            manager.makeTurn(turn);
        first.endMatch();
        endings.push_back(retirementText(manager.retirement(0), manager.lastResult(0)));
        written += readFile(log);
        fs::remove(log);
    }
    return written;
}

} // namespace

namespace {

// Nanoseconds of processor time the processes whose command line holds
// `marker` have had.
double processorTimeOf(const std::string& marker)
{
    double total = 0;
    for (const auto& dir : processDirectories()) {
        std::string cmdline = readFile((dir / "cmdline").string());
        std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
        if (cmdline.find(marker) != std::string::npos)
            total += std::atof(readFile((dir / "schedstat").string()).c_str());
    }
    return total;
}

// The built-in player thinking a while, watching how much processor time
// its opponent's processes get meanwhile.
class Watcher : public VorlenLogicTeam02 {
public:
    explicit Watcher(std::string marker) : marker_(std::move(marker)) {}
    int makeMove(const Field& board) override
    {
        const double before = processorTimeOf(marker_);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        seen.push_back((processorTimeOf(marker_) - before) / 1e9);
        return VorlenLogicTeam02::makeMove(board);
    }
    std::vector<double> seen; // seconds, a move each

private:
    std::string marker_;
};

} // namespace

TEST_P(Escapes, HelpersThatWakeEachOtherGetNoTimeOnTheOpponentsTurn)
{
    // Six helpers continue each other without end: between two sweeps of a
    // stop, a helper not yet stopped wakes one that is.
    const std::string marker = "wakers-" + std::to_string(::getpid());
    const std::string setup = "# " + marker + "\nimport signal\nhelpers = []\n"
                              "for i in range(6):\n"
                              "    pid = os.fork()\n"
                              "    if pid == 0:\n"
                              "        while True:\n"
                              "            for other in helpers: os.kill(other, signal.SIGCONT)\n"
                              "    helpers.append(pid)";
    const std::string bot = writeBot(bots, "wakers.sh", pythonStreamBot(setup, "", ""));
    Watcher watcher(marker);
    std::vector<std::string> endings;
    streamMoves(planFor(GetParam()), bot, watcher, bots.file("wakers.log"), 60, endings);
    ASSERT_GE(watcher.seen.size(), 60U);
    // The first look may come before the first stop. Stopped, they get the
    // stop's grace and its own moment: a tenth of a millisecond as a rule,
    // a few, and beside other tests some twenty, when the host is slow to
    // wake the stopping thread. Unstopped, six helpers on two cores would
    // take some 120 ms of each 60 ms the opponent thinks, and helpers that
    // outran a stop took 240 ms and more.
    const double largest = *std::max_element(watcher.seen.begin() + 1, watcher.seen.end());
    EXPECT_LT(largest, 0.06) << ::testing::PrintToString(watcher.seen);
}

TEST_P(Escapes, ADebugLineThatStartsWithANumberIsChatterNotAMove)
{
    const std::string bot = writeBot(bots, "nodes.sh", pythonStreamBot("", "",
        "    threading.Timer(0.003, lambda: print(\"9 nodes searched\", flush=True)).start()"));
    VorlenLogicTeam02 quick;
    std::vector<std::string> endings;
    streamMoves(planFor(GetParam()), bot, quick, bots.file("nodes.log"), 100, endings);
    ASSERT_FALSE(endings.empty());
    for (const std::string& ending : endings)
        EXPECT_TRUE(ending == "full board" || ending == "stall") << ending;
}

TEST_P(Escapes, AJavaBotsHeapFitsItsMemoryLimit)
{
    if (std::system("command -v javac >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no JDK here (default-jdk-headless)";
    fs::create_directories(bots.file("java"));
    const std::string source = bots.write(
        "java/Main.java",
        "import java.nio.file.*;\npublic class Main { public static void main(String[] a) throws Exception {\n"
        "  System.err.println(\"heap \" + (Runtime.getRuntime().maxMemory() >> 20));\n"
        "  String[] l = new String(Files.readAllBytes(Paths.get(\"vorla.in\"))).trim().split(\"\\n\");\n"
        "  char own = l[0].charAt(0), opp = l[40].charAt(44);\n"
        "  for (char c = '1'; c <= '6'; c++) if (c != own && c != opp) {\n"
        "    Files.write(Paths.get(\"vorla.out\"), (c + \"\\n\").getBytes()); return; } } }\n");
    ASSERT_EQ(std::system(("javac -d " + bots.file("java") + " " + source).c_str()), 0);
    fs::permissions(bots.file("java/Main.class"), fs::perms::others_read, fs::perm_options::add);
    match::MatchConfig run = config();
    run.limits.memoryMiB = 256;
    std::string retired;
    const std::string log = play(run, 0, {"A", parseSeatPlayer("java -cp " + bots.file("java") + " Main")}, {"B", parseSeatPlayer("stupid")}, nullptr,
                                 &retired);
    EXPECT_TRUE(retired == "full board" || retired == "stall") << retired << "\n" << log;
    const std::size_t heap = log.find("heap ");
    ASSERT_NE(heap, std::string::npos) << log;
    EXPECT_LE(std::atoi(log.c_str() + heap + 5), 256) << log;
}

INSTANTIATE_TEST_SUITE_P(BothGovernances, Escapes, ::testing::Values(Governance::ControlGroups, Governance::Rlimits),
                         governanceName);
