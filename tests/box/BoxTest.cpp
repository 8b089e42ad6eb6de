// Hostile bots against the box each seat plays in: limits, what a bot sees,
// what it may do between its moves, and what the runner is left with.
#include "BoardSequence.h"
#include "RecordText.h"
#include "BotGroups.h"
#include "BoxPool.h"
#include "MatchPlay.h"
#include "Sandbox.h"
#include "Retirement.h"
#include "StreamPlayer.h"
#include "VorlenLogicTeam01.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "support/Boards.h"
#include "support/Bots.h"
#include "support/Fakes.h"
#include "support/Governance.h"
#include "support/MatchTool.h"
#include "support/Modes.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <sstream>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <sys/file.h>
#include <sys/syscall.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

class Boxes : public ::testing::TestWithParam<Governance> {
protected:
    void SetUp() override { prepareMode(Mode::Sandbox); }

    SandboxPlan plan() const { return planFor(GetParam()); }

    // A whole match on a fixed board, both seats boxed.
    match::MatchRecord play(const std::string& first, const std::string& second, const BotLimits& limits = {})
    {
        match::MatchConfig config;
        config.first = parseSeatPlayer(first);
        config.second = parseSeatPlayer(second);
        config.boxes = plan();
        config.limits = limits;
        match::MatchJob job{0, seededBoard(3, 0), "seed:3:0", false, config.seatsFor({}), {}};
        return *match::playMatch(job, config, groups).record;
    }

    TempDir bots;
    BotGroups groups; // one for all matches at once, as a runner has
};

// The second seat's side of a match: what it scored, and how it ended.
std::string secondSeat(const match::MatchRecord& record)
{
    return std::to_string(record.seats[1].score) + " " + record.seats[1].retired + " after " + std::to_string(record.turns);
}

} // namespace

TEST_P(Boxes, HostileBotsStopAtTheirLimitsAndTheirOpponentPlaysOn)
{
    BotLimits limits;
    limits.memoryMiB = 96;
    limits.diskMiB = 16;
    const std::string fill = "head -c 40000000 /dev/zero > ";
    // Without a control group the task limit holds all the same, but what a
    // bot ran into is not known: it fails as what it did then (any reason,
    // "" below). Shared memory is not held there (null: not tried).
    const struct {
        std::string bot;
        const char* reason;
        const char* reasonUnderRlimits;
    } cases[] = {
        {writeBot(bots, "forks.sh", "for i in $(seq 300); do sleep 5 & done 2>/dev/null; wait"), "task limit",
         ""},
        {writeBot(bots, "threads.sh",
                  "exec python3 -c 'import threading, time\nfor _ in range(300): "
                  "threading.Thread(target=time.sleep, args=(5,)).start()'"),
         "task limit", ""},
        {"stream:" + writeBot(bots, "stream-forks.sh", "for i in $(seq 300); do sleep 5 & done 2>/dev/null; wait"),
         "task limit", ""},
        {writeBot(bots, "memfd.sh",
                  "exec python3 -c 'import os, mmap\nmaps = []\nfor _ in range(20):\n"
                  "    f = os.memfd_create(\"x\"); os.ftruncate(f, 32 << 20); m = mmap.mmap(f, 32 << 20)\n"
                  "    for i in range(0, 32 << 20, 4096): m[i] = 1\n    maps.append(m)'"),
         "memory limit", nullptr},
        {writeBot(bots, "shm.sh", fill + "/dev/shm/x"), "disk limit", "disk limit"},
        {writeBot(bots, "tmp.sh", fill + "/tmp/x"), "disk limit", "disk limit"},
        {writeBot(bots, "seat.sh", fill + "x"), "disk limit", "disk limit"},
        // Empty files fill no disk, but cost the kernel memory: counted too.
        {writeBot(bots, "files.sh", "i=0; while :; do : > /tmp/f$i; i=$((i+1)); done"), "disk limit", "disk limit"},
        {"stream:" + writeBot(bots, "shm-files.sh", "i=0; while :; do : > /dev/shm/f$i; i=$((i+1)); done"),
         "disk limit", "disk limit"},
    };
    const bool held = GetParam() == Governance::ControlGroups;
    // Against a bot that never answers, the second seat plays alone.
    const match::MatchRecord alone = play(writeBot(bots, "mute.sh", "true"), VORLEN_LOOKAHEAD_BOT, limits);
    ASSERT_EQ(alone.seats[0].retired, "no move in vorla.out");
    // A match of two honest bots, with the hostile ones running beside it.
    const match::MatchRecord honest = play(VORLEN_LOOKAHEAD_BOT, "stream:" VORLEN_LOOKAHEAD_STREAM_BOT);
    match::MatchRecord beside;
    std::thread neighbour([&] {
        for (int i = 0; i < 3; ++i)
            beside = play(VORLEN_LOOKAHEAD_BOT, "stream:" VORLEN_LOOKAHEAD_STREAM_BOT);
    });
    for (const auto& c : cases) {
        if (!held && !c.reasonUnderRlimits)
            continue;
        const match::MatchRecord record = play(c.bot, VORLEN_LOOKAHEAD_BOT, limits);
        const std::string expected = held ? c.reason : c.reasonUnderRlimits;
        if (expected.empty())
            EXPECT_NE(record.seats[0].retired, "") << c.bot;
        else
            EXPECT_EQ(record.seats[0].retired, expected) << c.bot;
        EXPECT_EQ(record.seats[0].retiredTurn, 0) << c.bot;
        EXPECT_EQ(secondSeat(record), secondSeat(alone)) << c.bot;
        EXPECT_EQ(record.governance, held ? alone.governance : "rlimits");
    }
    neighbour.join();
    EXPECT_EQ(withoutTimes(toCsv(beside)), withoutTimes(toCsv(honest)));
}

TEST_P(Boxes, ABotSeesTheSystemItsOwnFilesAndItsSeatOnly)
{
    TempDir organiser; // the run's results, another match's folder
    const std::string results = organiser.write("results.jsonl", "{\"game\":0}\n");
    const std::string beside = organiser.write("neighbour-seat/vorla.in", "1\n");
    const std::string socketPath = "/run/vorlen-box-test-" + std::to_string(::getpid()) + ".sock";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    const bool listening = ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                           && ::listen(listener, 4) == 0;
    // The paths are in the bot, not on its command line: named paths are shown on purpose.
    const std::string probe =
        "for p in " + results + " " + beside + " /etc/shadow " + organiser.path().string() + " /root /home /var/log "
        + "/run " + std::filesystem::current_path().string() + "; do\n"
        + "  ls \"$p\" >/dev/null 2>&1 && { cat \"$p\" >/dev/null 2>&1 || [ -d \"$p\" ]; } && echo \"SEEN $p\" >&2\n"
        + "done\n"
        + "python3 -c 'import socket, sys\ns = socket.socket(socket.AF_UNIX)\ns.connect(sys.argv[1])' " + socketPath
        + " 2>/dev/null && echo 'SEEN socket' >&2\n"
        // Its own few processes, numbered from 1 in its own namespace.
        + "[ $(ls /proc | grep '^[0-9]' | sort -n | tail -n 1) -lt 100 ] || echo 'SEEN processes' >&2\n"
        + "echo 3 > vorla.out\n";
    // The bot in a folder of its own, directly in the temporary folder, and
    // with a command line that names /tmp.
    const std::string inTmp = "/tmp/vorlen-box-test-" + std::to_string(::getpid()) + ".sh";
    std::filesystem::copy_file(writeBot(bots, "probe.sh", probe), inTmp);
    for (const std::string& command : {bots.file("probe.sh"), inTmp, "/bin/sh " + inTmp + " /tmp"}) {
        BotSettings settings = exchangeSettings({}, bots.file("probe.log"), Trace::silent());
        settings.sandbox = plan();
        VorlenLogicTeam01 bot(command, settings);
        EXPECT_EQ(bot.makeMove(stripedBoard()), 3) << command;
        bot.endMatch();
        const std::string log = readFile(bots.file("probe.log"));
        EXPECT_EQ(log.find("SEEN"), std::string::npos) << command << ": " << log;
        std::filesystem::remove(bots.file("probe.log"));
    }
    std::filesystem::remove(inTmp);
    ::close(listener);
    ::unlink(socketPath.c_str());
    EXPECT_TRUE(listening);
}

TEST_P(Boxes, NoKeyringNoOtherSocketsNoSharedLocksAndARefusedCallIsSaid)
{
#ifndef __x86_64__
    GTEST_SKIP() << "the probe calls the kernel by x86_64's numbers";
#endif
    // The organiser's session keyring holds a secret, as a login's does.
    const long session = ::syscall(SYS_keyctl, 1 /* KEYCTL_JOIN_SESSION_KEYRING */, "vorlen-test-session");
    ASSERT_GE(session, 0) << std::strerror(errno);
    const long secret = ::syscall(SYS_add_key, "user", "organiser-token", "hush", 4, -3 /* session */);
    ASSERT_GE(secret, 0) << std::strerror(errno);
    // Every try is said on standard error; the answer comes last, unless told to fail.
    const std::string probe = bots.write("probe.py", R"(
import ctypes, errno, fcntl, os, socket, sys
libc = ctypes.CDLL(None, use_errno=True)
def call(name, *args):
    result = libc.syscall(*args)
    print(name, "done" if result >= 0 else errno.errorcode[ctypes.get_errno()], file=sys.stderr)
call("read", 250, 11, -3, None, 0)             # KEYCTL_READ of the session keyring
call("clear", 250, 7, -3)                      # KEYCTL_CLEAR
call("plant", 248, b"user", b"planted", b"x", 1, -3)
call("join", 250, 1, None)                     # a keyring of its own
for family, kind in (("vsock", 40), ("netlink", 16), ("bluetooth", 31), ("inet", 2), ("unix", 1)):
    try:
        socket.socket(kind, socket.SOCK_DGRAM if kind != 40 else socket.SOCK_STREAM).close()
        print(family, "done", file=sys.stderr)
    except OSError as e:
        print(family, errno.errorcode[e.errno], file=sys.stderr)
shared = open("/etc/hostname")
fcntl.flock(shared, fcntl.LOCK_EX | fcntl.LOCK_NB)
fcntl.lockf(open("/tmp/own", "w"), fcntl.LOCK_EX | fcntl.LOCK_NB)
print("locks done", file=sys.stderr)
call("ptrace", 101, 16, 1, 0, 0)               # PTRACE_ATTACH to the launcher
call("bpf", 321, 0, 0, 0)
call("io_uring", 425, 1, 0)
call("personality", 135, 0x0040000)            # ADDR_NO_RANDOMIZE
call("personality query", 135, 0xffffffff)
if len(sys.argv) > 1:
    sys.exit(1)
open("vorla.out", "w").write("3")
)");
    std::filesystem::permissions(probe, std::filesystem::perms::others_read, std::filesystem::perm_options::add);
    // An organiser's process holds a lock on the shared file: the bot's try does not wait for it.
    const int shared = ::open("/etc/hostname", O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(shared, LOCK_EX), 0);
    for (const bool failing : {false, true}) {
        BotSettings settings = exchangeSettings({}, bots.file("probe.log"), Trace::silent());
        settings.sandbox = plan();
        VorlenLogicTeam01 bot("python3 " + probe + (failing ? " fail" : ""), settings);
        const MoveResult result = bot.play(stripedBoard(), 1);
        EXPECT_EQ(result.colour, failing ? -1 : 3);
        bot.endMatch();
        const std::string log = readFile(bots.file("probe.log"));
        for (const char* line : {"read EPERM", "clear EPERM", "plant EPERM", "join EPERM", "vsock EPERM",
                                 "netlink EPERM", "bluetooth EPERM", "inet done", "unix done", "locks done",
                                 "ptrace EPERM", "bpf EPERM", "io_uring EPERM", "personality EPERM",
                                 "personality query done", "its box refused a system call: keyctl"})
            EXPECT_NE(log.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << log;
        if (failing) {
            EXPECT_EQ(result.hint.rfind("it made a system call the box does not allow: keyctl", 0), 0U)
                << result.hint;
        }
        std::filesystem::remove(bots.file("probe.log"));
    }
    ::close(shared);
    // The secret is there and whole, and nothing was planted beside it.
    char text[16] = {};
    EXPECT_EQ(::syscall(SYS_keyctl, 11 /* KEYCTL_READ */, secret, text, sizeof text), 4);
    EXPECT_STREQ(text, "hush");
    std::int32_t keys[8] = {};
    EXPECT_EQ(::syscall(SYS_keyctl, 11, session, keys, sizeof keys), 4) << "one key in the session keyring";
}

TEST_P(Boxes, ABoxTakesNoMoreProcessorTimeThanItsCoresWhereControlGroupsHoldIt)
{
    if (GetParam() == Governance::Rlimits)
        GTEST_SKIP() << "limits of each process cannot cap a box's share";
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one core: nothing to cap";
    // Three busy loops for two seconds, then their processor time in ticks.
    const std::string greedy = writeBot(bots, "greedy.sh",
                                        "for i in 1 2 3; do (while :; do :; done) & pids=\"$pids $!\"; done\n"
                                        "sleep 2; ticks=0\n"
                                        "for p in $pids; do set -- $(cut -d')' -f2 /proc/$p/stat); "
                                        "ticks=$((ticks + ${12} + ${13})); kill $p; done\n"
                                        "echo \"ticks $ticks\" >&2; echo 3 > vorla.out");
    const auto ticksWith = [&](std::uint64_t cores) {
        BotSettings settings = exchangeSettings({}, bots.file("greedy.log"), Trace::silent());
        settings.sandbox = plan();
        settings.limits.cpus = cores;
        settings.moveLimit = std::chrono::seconds(5);
        VorlenLogicTeam01 bot(greedy, settings);
        EXPECT_EQ(bot.makeMove(stripedBoard()), 3);
        bot.endMatch();
        const std::string log = readFile(bots.file("greedy.log"));
        std::filesystem::remove(bots.file("greedy.log"));
        const std::size_t at = log.find("ticks ");
        EXPECT_NE(at, std::string::npos) << log;
        return at == std::string::npos ? 0L : std::atol(log.c_str() + at + 6) * 100 / ::sysconf(_SC_CLK_TCK);
    };
    // Uncapped first: the cap shows only where another core is free to take.
    const long free = ticksWith(0);
    ASSERT_GT(free, 100) << "the loops ran";
    if (free < 300)
        GTEST_SKIP() << "no second core free now (uncapped: " << free << " ticks in two seconds)";
    const long capped = ticksWith(1);
    EXPECT_GT(capped, 100) << "the loops ran";
    EXPECT_LE(capped, 220) << "at most 1.1 cores: two seconds' worth, and a little for the scheduler's period";
}

TEST_P(Boxes, ABoxedBotCannotStopOrKillTheRefereeOrItsOpponent)
{
    const std::string honest = "head -c 1 vorla.in | tr 123456 345612 > vorla.out";
    const std::string attacks = honest + "\nkill -STOP 1; kill -KILL 1; kill -STOP -1 2>/dev/null\n"
                                         "pkill -KILL -f lookahead; pkill -STOP -f lookahead; pkill -KILL vorlen";
    const match::MatchRecord plain = play(writeBot(bots, "honest.sh", honest), VORLEN_LOOKAHEAD_BOT);
    const match::MatchRecord attacked = play(writeBot(bots, "attack.sh", attacks), VORLEN_LOOKAHEAD_BOT);
    EXPECT_GT(attacked.turns, 4);
    EXPECT_EQ(secondSeat(attacked), secondSeat(plain));
    EXPECT_EQ(attacked.seats[0].retired, plain.seats[0].retired);
}

namespace {

// A few turns of a stream bot in the first seat against `second`; the
// stream bot's log.
std::string streamTurns(const SandboxPlan& plan, const std::string& bot, IVorlenLogic& second, const std::string& log,
                        int turns)
{
    BotSettings settings = exchangeSettings({}, log, Trace::silent());
    settings.sandbox = plan;
    StreamPlayer first(bot, settings);
    VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
    manager.setPlayer(0, &first);
    manager.setPlayer(1, &second);
    manager.setBoard(seededBoard(6, 0));
    for (int turn = 0; turn < turns && !manager.gameOver(); ++turn)
        manager.makeTurn(turn);
    first.endMatch();
    // What the bot wrote, without the log's turn marks: a starved referee
    // may stop a box a little later, and a stray line land a turn apart.
    std::string written;
    std::istringstream lines(readFile(log));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("[vorlen] turn ", 0) != 0)
            written += line + "\n";
    return written + "retired: " + retirementText(manager.retirement(0), manager.lastResult(0));
}

// A stream bot in Python: reads a board, answers the lowest legal colour;
// `extra` runs after each answer.
std::string pythonStreamBot(const std::string& setup, const std::string& extra)
{
    return "exec python3 -c '\nimport sys, threading, time\n" + setup
           + "\nwhile True:\n"
             "    rows = [sys.stdin.readline() for _ in range(41)]\n"
             "    if not rows[-1]: break\n"
             "    own, opp = rows[0][0], rows[-1].strip()[-1]\n"
             "    sys.stdout.write(next(c for c in \"123456\" if c not in (own, opp)) + \"\\n\")\n"
             "    sys.stdout.flush()\n"
           + extra + "\n'";
}

// The built-in player, slowed down.
class SlowPlayer : public VorlenLogicTeam02 {
public:
    int makeMove(const Field& board) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return VorlenLogicTeam02::makeMove(board);
    }
};

} // namespace

TEST_P(Boxes, AStreamBotGetsNoProcessorTimeOnItsOpponentsTurn)
{
    // Two busy threads; the bot logs the processor time it got from one
    // answer to the arrival of its next board.
    const std::string busy = pythonStreamBot(
        "def spin():\n    while True: pass\nfor _ in range(2): threading.Thread(target=spin, daemon=True).start()\n"
        "last = None",
        "    if last is not None: sys.stderr.write(\"gap %.3f\\n\" % (gap - last)); sys.stderr.flush()\n"
        "    last = time.process_time()");
    // The gap is measured when the board has come: read before the answer.
    std::string bot = busy;
    bot.replace(bot.find("    own, opp"), 0, "    gap = time.process_time()\n");
    SlowPlayer slow;
    const std::string log = streamTurns(plan(), writeBot(bots, "busy.sh", bot), slow, bots.file("busy.log"), 8);
    std::istringstream lines(log);
    int gaps = 0;
    for (std::string word; lines >> word;) {
        if (word != "gap")
            continue;
        double seconds = 0;
        lines >> seconds;
        ++gaps;
        // Frozen, it gets what it takes to stop it and to read its board (on a
        // loaded machine, some tens of ms); unfrozen, two threads would take
        // 0.4 s of the opponent's 0.2 s.
        EXPECT_LT(seconds, 0.15) << log;
    }
    EXPECT_GE(gaps, 3) << log;
}

TEST_P(Boxes, StrayAndChattyLinesDoNotDependOnTheOpponentsSpeed)
{
    // A stray line 30 ms after each answer answers the next board, whoever
    // the opponent; chatter written with the answer is dropped.
    const std::string stray = writeBot(bots, "stray.sh", pythonStreamBot("", "    time.sleep(0.03); print(5, flush=True)"));
    std::string chattyBody = pythonStreamBot("import os", "");
    // 10 KB of short lines in the very write that answers.
    const std::string answer = "    sys.stdout.write(next(c for c in \"123456\" if c not in (own, opp)) + \"\\n\")\n"
                               "    sys.stdout.flush()\n";
    chattyBody.replace(chattyBody.find(answer), answer.size(),
                       "    os.write(1, (next(c for c in \"123456\" if c not in (own, opp)) + \"\\n\" + "
                       "\"x\\n\" * 5000).encode())\n");
    const std::string chatty = writeBot(bots, "chatty.sh", chattyBody);
    for (const std::string& bot : {stray, chatty}) {
        VorlenLogicTeam02 fast;
        SlowPlayer slow;
        const std::string againstFast = streamTurns(plan(), bot, fast, bots.file("fast.log"), 8);
        const std::string againstSlow = streamTurns(plan(), bot, slow, bots.file("slow.log"), 8);
        EXPECT_EQ(againstFast, againstSlow) << bot;
        // The chatty bot plays on: its chatter came before its next board.
        if (bot == chatty) {
            EXPECT_EQ(againstFast.substr(againstFast.size() - 9), "retired: ") << againstFast;
        }
    }
}

TEST_P(Boxes, ADebugLineAfterEachAnswerNeverCostsAMatchOnALoadedMachine)
{
    // The debug line comes 3 ms after each answer, from another thread:
    // after the bot is stopped, and often after its next board is taken.
    const std::string bot = writeBot(bots, "debug.sh", pythonStreamBot("",
        "    threading.Timer(0.003, lambda: print(\"debug: answered\", flush=True)).start()"));
    std::atomic<bool> loaded{true};
    std::vector<std::thread> load;
    for (unsigned i = 0; i < std::max(2U, std::thread::hardware_concurrency()); ++i)
        load.emplace_back([&loaded] {
            while (loaded)
                for (int spin = 0; spin < 100000; spin = spin + 1)
                    std::atomic_signal_fence(std::memory_order_seq_cst);
        });
    for (int match = 0; match < 3; ++match) {
        VorlenLogicTeam02 fast;
        const std::string played = streamTurns(plan(), bot, fast, bots.file("debug.log"), 400);
        const std::string reason = played.substr(played.rfind("retired: ") + 9);
        EXPECT_TRUE(reason == "full board" || reason == "stall") << reason;
        std::filesystem::remove(bots.file("debug.log"));
    }
    loaded = false;
    for (std::thread& spinner : load)
        spinner.join();
}

TEST_P(Boxes, ABoxKeptForTheNextMatchKeepsNothingOfTheLast)
{
    // A stream bot that tells what the last match left, then leaves all it
    // can: files everywhere it may write, shared memory, a process.
    const std::string bot = writeBot(bots, "leaver.sh",
        "echo \"pid $$\" >&2\n"
        "for f in /tmp/left /tmp/seat/left /dev/shm/left; do [ -e $f ] && echo \"LEFT $f\" >&2; done\n"
        "ipcs -m | grep -q '^0x' && echo 'LEFT shared memory' >&2\n"
        "for f in /tmp/left /tmp/seat/left /dev/shm/left; do echo x > $f; done\n"
        "mkdir -p /tmp/deep/er && touch /tmp/deep/er/file && chmod 0 /tmp/deep/er /tmp/deep\n"
        "python3 -c 'import sys, sysv_ipc' 2>/dev/null; ipcmk -M 4096 >/dev/null\n"
        "sleep 41.71 &\n"
        "while true; do i=0; while [ $i -lt 41 ]; do read -r line || exit 0; i=$((i+1)); done; "
        "echo \"$line\" | cut -c1 | tr 123456 345612; done");
    match::MatchConfig config;
    config.first = parseSeatPlayer("stream:" + bot);
    config.boxes = plan();
    BoxPool pool(2);
    std::string logs;
    for (int game = 0; game < 3; ++game) {
        config.botLogDir = bots.file("logs");
        std::filesystem::create_directories(config.botLogDir);
        match::MatchJob job{game, seededBoard(3, game), "seed:3:0", false, config.seatsFor({}), {}};
        ASSERT_TRUE(match::playMatch(job, config, groups, &pool).record);
        logs += readFile(bots.file("logs/game-" + std::to_string(game) + "-seat-0-A.log"));
    }
    EXPECT_EQ(logs.find("LEFT"), std::string::npos) << logs;
    // The same box served every match: its bot's process ids go on counting.
    EXPECT_NE(logs.find("pid 2\n"), std::string::npos) << logs;
    EXPECT_EQ(logs.rfind("pid 2\n"), logs.find("pid 2\n")) << "one box, started once: " << logs;
    EXPECT_EQ(liveProcessesWith("41.71", std::chrono::seconds(1)), 0);
}

INSTANTIATE_TEST_SUITE_P(BothGovernances, Boxes,
                         ::testing::Values(Governance::ControlGroups, Governance::Rlimits), governanceName);

TEST(BoxRuns, NoZombiesPileUpInARun)
{
    for (const char* mode : {"--no-sandbox", "--sandbox"}) {
        const std::string command = std::string(VORLEN_MATCH_BIN) + " " + mode + " --concurrency 2 --games 5 --swap "
                                    + "--first " VORLEN_LOOKAHEAD_BOT " >/dev/null 2>&1 & echo $!";
        std::FILE* shell = popen(command.c_str(), "r");
        int runner = 0;
        ASSERT_EQ(std::fscanf(shell, "%d", &runner), 1);
        pclose(shell);
        int most = 0;
        // Zombie children of the runner, sampled while it runs.
        while (::kill(runner, 0) == 0) {
            int zombies = 0;
            // The runner and its threads may end while we read: never throw.
            std::error_code gone;
            for (std::filesystem::directory_iterator task("/proc/" + std::to_string(runner) + "/task", gone), end;
                 !gone && task != end; task.increment(gone)) {
                std::istringstream children(readFile((task->path() / "children").string()));
                for (int child = 0; children >> child;) {
                    const std::string stat = readFile("/proc/" + std::to_string(child) + "/stat");
                    const std::size_t close = stat.rfind(')');
                    zombies += close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z';
                }
            }
            most = std::max(most, zombies);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (readFile("/proc/" + std::to_string(runner) + "/stat").find(") Z") != std::string::npos)
                break;
        }
        EXPECT_LE(most, 4) << mode;
    }
}

TEST(BoxRuns, AnUnprivilegedRefereeBoxesItsBotsWithoutControlGroups)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "run as root, it checks a referee that is not";
    const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    if (std::system((asNobody + "test -x " VORLEN_MATCH_BIN " -a -x " VORLEN_LOOKAHEAD_BOT).c_str()) != 0)
        GTEST_SKIP() << "the build is out of an unprivileged user's reach";
    const ToolRun run = finish(popen(
        (asNobody + VORLEN_MATCH_BIN " --sandbox --games 2 --first " VORLEN_LOOKAHEAD_BOT " 2>&1").c_str(), "r"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("in a box per seat (bubblewrap), held by rlimits"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("failed to start"), std::string::npos) << run.out;
}
