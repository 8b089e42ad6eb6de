// Bad input and hostile files at the referee's edges: exchange files, maps,
// records, logs, command lines and signals.
#include "BoardSequence.h"
#include "CommandLine.h"
#include "FileDescriptor.h"
#include "MapText.h"
#include "MatchArguments.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "VorlenLogicTeam01.h"
#include "support/Boards.h"
#include "support/Bots.h"
#include "support/Fakes.h"
#include "support/MatchTool.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vorlen;
using namespace vorlen::testing;
using Outcome = VorlenLogicTeam01::Outcome;
using Clock = std::chrono::steady_clock;

namespace {

// The fields of a CSV line, less one.
long commasOf(const std::string& line) { return std::count(line.begin(), line.end(), ','); }

class ExchangeEdges : public ::testing::Test {
protected:
    int move(const std::string& body)
    {
        VorlenLogicTeam01 player(writeBot(bots, "bot.sh", body), exchangeSettings("", "", Trace(nullptr, err.get())));
        const MoveResult result = player.play(stripedBoard(), -1);
        outcome = result.outcome;
        return result.colour;
    }

    TempDir bots;
    TempDir dir;
    WorkingDirectory cwd{dir.path()};
    MemoryStream err;
    Outcome outcome = Outcome::None;
};

// Sets or clears the immutable flag; false where the file system or the
// user's rights do not allow it.
bool setImmutable(const std::string& path, bool on)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    int flags = 0;
    if (!file.valid() || ::ioctl(file.get(), FS_IOC_GETFLAGS, &flags) != 0)
        return false;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    return ::ioctl(file.get(), FS_IOC_SETFLAGS, &flags) == 0;
}

// Sets TMPDIR for a child run, so that its scratch folders can be counted.
class ScratchRoot {
public:
    ScratchRoot() { ::setenv("TMPDIR", root.path().c_str(), 1); }
    ~ScratchRoot() { ::unsetenv("TMPDIR"); }
    bool empty() const { return std::filesystem::is_empty(root.path()); }

private:
    TempDir root;
};

} // namespace

TEST_F(ExchangeEdges, AnAnswerThatIsNoFileIsNoMoveAndNeverAHang)
{
    dir.write("three", "3\n");
    const char* bodies[] = {
        "mkfifo vorla.out",
        "mkdir -p vorla.out/sub",
        "ln -s three vorla.out",
        "ln -s /dev/zero vorla.out",
        "ln -s vorla.out vorla.out",
        "head -c 20000000 /dev/zero | tr '\\0' 3 > vorla.out", // a number far too long
    };
    for (const char* body : bodies) {
        const auto started = Clock::now();
        EXPECT_EQ(move(body), -1) << body;
        EXPECT_EQ(outcome, Outcome::NoMove) << body;
        EXPECT_LT(Clock::now() - started, std::chrono::seconds(2)) << body;
        // Whatever was planted is cleared for the next move.
        EXPECT_EQ(move("echo 4 > vorla.out"), 4) << body;
    }
}

TEST_F(ExchangeEdges, AStaleAnswerThatCannotBeRemovedFailsTheMoveAndSaysWhy)
{
    dir.write("vorla.out", "5\n");
    if (!setImmutable(dir.file("vorla.out"), true))
        GTEST_SKIP() << "cannot make a file immutable here";
    const int result = move("true");
    setImmutable(dir.file("vorla.out"), false);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(outcome, Outcome::ExchangeFailed);
    EXPECT_EQ(err.text(), "cannot remove vorla.out: Operation not permitted\n");
}

TEST(MapEdges, OnlyRegularFilesOfAModestSizeAreRead)
{
    TempDir dir;
    ::mkfifo(dir.file("fifo").c_str(), 0600);
    std::filesystem::create_directory(dir.file("folder"));
    ::truncate(dir.write("huge.map", "1").c_str(), static_cast<off_t>(kMapSizeLimit + 1));
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {"/dev/zero", "not a regular file"},
        {dir.file("fifo"), "not a regular file"},
        {dir.file("folder"), "not a regular file"},
        {dir.file("huge.map"), "larger than 16 MiB"},
        {dir.file("missing"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        const auto started = Clock::now();
        Field board = makeField(kBoardRows, kBoardColumns, 1);
        std::string echo, error;
        EXPECT_FALSE(readMapFile(c.path, board, echo, error)) << c.path;
        EXPECT_EQ(error, c.reason) << c.path;
        EXPECT_EQ(board, makeField(kBoardRows, kBoardColumns, 1));

        const ToolRun run = runTool("--map " + c.path, "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.path;
        EXPECT_NE(run.out.find("cannot read the map file '" + c.path + "': " + c.reason), std::string::npos)
            << run.out;
        EXPECT_LT(Clock::now() - started, std::chrono::seconds(2)) << c.path;
    }
}

TEST(MapEdges, AShortMapsLabelSaysWhichDrawFilledIt)
{
    TempDir dir;
    for (const bool whole : {false, true}) {
        const std::string path = dir.write("board.map", std::string(whole ? kBoardCells : 100, '2'));
        const match::ParsedArguments parsed =
            match::parseMatchArguments({"vorlen-match", "--map", QString::fromStdString(path)}, 1);
        ASSERT_TRUE(parsed.config);
        match::BoardSequence boards(*parsed.config);
        const auto first = boards.next();
        const auto second = boards.next();
        EXPECT_EQ(first.label, whole ? "map:" + path : "map:" + path + "+rand:0");
        EXPECT_EQ(first.label == second.label, first.field == second.field);
    }
}

TEST(RecordEdges, AFailedWriteStopsTheRunWithOneLine)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // A disk that fills up in the middle of a record: the record is taken back.
    const ToolRun full = finish(popen("trap '' XFSZ; ulimit -f 8; exec " VORLEN_MATCH_BIN
                                      " --games 40 --concurrency 1 --results r.jsonl 2>&1 >/dev/null",
                                      "r"));
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.out.find("vorlen-match: cannot write to 'r.jsonl': No space left on device; the run stopped\n"),
              std::string::npos)
        << full.out;
    const std::string kept = readFile(dir.file("r.jsonl"));
    EXPECT_EQ(kept.back(), '\n');
    std::vector<match::MatchRecord> records;
    std::string error;
    std::string warning;
    EXPECT_TRUE(match::readRecordFile(dir.file("r.jsonl"), records, error, &warning)) << error;
    EXPECT_EQ(warning, "");
    EXPECT_GE(records.size(), 1U);
    EXPECT_LT(records.size(), 40U);

    // A log the referee cannot open is its own failure, not the bot's.
    std::filesystem::create_directories(dir.file("logs/game-0-seat-0-A.log"));
    const std::string bot = writeBot(dir, "bot.sh", "echo 3 > vorla.out");
    const ToolRun log = runTool("--first " + bot + " --bot-logs logs --results r.csv", "2>&1 >/dev/null");
    EXPECT_EQ(log.exitCode, 1);
    EXPECT_NE(log.out.find("vorlen-match: cannot open the bot log"), std::string::npos) << log.out;
    EXPECT_EQ(lines(readFile(dir.file("r.csv"))).size(), 1U); // the header, no retirement
}

TEST(RecordEdges, RunsAppendingToOneFileAtOnceKeepEveryLineWhole)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    for (const std::string name : {"r.csv", "r.jsonl"}) {
        // Two runs, since one run's records are not appended twice.
        const std::string command = std::string(VORLEN_MATCH_BIN) + " --games 150 --concurrency 1 --results " + name
                                    + " 2>/dev/null --seed ";
        std::FILE* one = popen((command + "1").c_str(), "r");
        std::FILE* two = popen((command + "2").c_str(), "r");
        EXPECT_EQ(finish(one).exitCode, 0);
        EXPECT_EQ(finish(two).exitCode, 0);
        const auto records = lines(readFile(dir.file(name)));
        const bool csv = name == "r.csv";
        ASSERT_EQ(records.size(), csv ? 601U : 600U) << name; // 150 boards in both seatings, twice
        for (std::size_t i = 0; i < records.size(); ++i) {
            const std::string& line = records[i];
            if (csv && i == 0)
                EXPECT_EQ(line.rfind("game,board", 0), 0U);
            else if (csv)
                EXPECT_EQ(commasOf(line), commasOf(match::csvHeader())) << line;
            else
                EXPECT_TRUE(line.front() == '{' && line.back() == '}') << line;
        }
    }
}

TEST(RecordEdges, AResultsFileIsARecordsFileOfItsRunOnlyWithResume)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    ::mkfifo(dir.file("pipe.csv").c_str(), 0600);
    std::filesystem::create_directory(dir.file("folder.jsonl"));
    dir.write("notes.csv", "my own notes\n");
    ASSERT_EQ(runTool("--games 2 --results r.csv").exitCode, 0);
    const struct {
        std::string options;
        std::string problem; // the start of what standard error says
    } cases[] = {
        {"--results out.json", "vorlen-match: --results: 'out.json' must end in .csv (CSV) or .jsonl (JSON Lines)"},
        {"--results pipe.csv", "vorlen-match: --results: 'pipe.csv' is not a regular file"},
        {"--results folder.jsonl", "vorlen-match: --results: 'folder.jsonl' is not a regular file"},
        {"--results notes.csv", "vorlen-match: --results: cannot read 'notes.csv': line 1: not the header"},
        {"--games 2 --results r.csv", "vorlen-match: 'r.csv' already holds records of this run; add --resume"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.options, "2>&1 >/dev/null");
        EXPECT_EQ(run.exitCode, 2) << c.options;
        EXPECT_EQ(run.out.rfind(c.problem, 0), 0U) << run.out;
    }
    EXPECT_EQ(lines(readFile(dir.file("r.csv"))).size(), 5U);
    // Another run may share the file, and this one may go on with --resume.
    EXPECT_EQ(runTool("--games 2 --seed 4 --results r.csv").exitCode, 0);
    EXPECT_EQ(runTool("--games 3 --seed 4 --results r.csv --resume").exitCode, 2); // another run's records
    EXPECT_EQ(lines(readFile(dir.file("r.csv"))).size(), 9U);
    // A test with other bounds is another run too.
    ASSERT_EQ(runTool("--sprt elo0=0,elo1=300 --games 2 --results s.csv").exitCode, 0);
    EXPECT_EQ(runTool("--sprt elo0=0,elo1=200 --games 2 --results s.csv --resume").exitCode, 2);
}

TEST(RecordEdges, ARecordCutShortIsLeftOutAndItsMatchPlayedAgain)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    for (const std::string name : {"r.csv", "r.jsonl"}) {
        ASSERT_EQ(runTool("--games 4 --seed 3 --results " + name).exitCode, 0);
        const std::string whole = readFile(dir.file(name));
        const auto all = lines(whole);
        // A run that stopped while writing its last record.
        dir.write(name, whole.substr(0, whole.size() - 1 - all.back().size() / 2));

        const ToolRun summed = runTool("summarize " + name, "2>&1");
        EXPECT_NE(summed.out.find("is cut short (a run stopped while writing it); it is left out"), std::string::npos)
            << summed.out;
        EXPECT_NE(summed.out.find("Matches played: 7 of 8"), std::string::npos) << summed.out;

        const ToolRun resumed = runTool("--games 4 --seed 3 --results " + name + " --resume", "2>&1");
        EXPECT_EQ(resumed.exitCode, 0) << resumed.out;
        EXPECT_NE(resumed.out.find("Matches played: 8 of 8"), std::string::npos) << resumed.out;
        std::vector<match::MatchRecord> records;
        std::string error;
        std::string warning;
        ASSERT_TRUE(match::readRecordFile(dir.file(name), records, error, &warning)) << error;
        EXPECT_EQ(warning, "") << name;
        EXPECT_EQ(records.size(), 8U) << name;
        EXPECT_EQ(lines(readFile(dir.file(name))).size(), all.size()) << name;
    }
}

TEST(RecordEdges, ALogThatCannotBeWrittenStopsTheRunAndCommandsAreShownPrintable)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // A stream bot's log on a disk that is full.
    const std::string chatty = writeBot(dir, "chatty.sh",
                                        "while :; do i=0; while [ $i -lt 41 ]; do read -r line || exit 0; "
                                        "i=$((i+1)); done; head -c 4000 /dev/zero | tr '\\0' x >&2; echo 3; done");
    const ToolRun full = finish(popen(("trap '' XFSZ; ulimit -f 2; exec " VORLEN_MATCH_BIN " --no-sandbox --first stream:"
                                       + chatty + " --bot-logs logs 2>&1 >/dev/null")
                                          .c_str(),
                                      "r"));
    EXPECT_EQ(full.exitCode, 1) << full.out;
    EXPECT_NE(full.out.find("; the run stopped"), std::string::npos) << full.out;

    // An escape sequence and a bell in a command line, from a records file.
    ASSERT_EQ(runTool("--games 1 --results r.jsonl").exitCode, 0);
    std::string records = readFile(dir.file("r.jsonl"));
    records.replace(records.find("\"first\":\"stupid\""), 16, "\"first\":\"stupid\\u001b[2J\\u0007\"");
    dir.write("r.jsonl", records);
    const ToolRun summed = runTool("summarize r.jsonl", "2>&1");
    EXPECT_NE(summed.out.find("A = stupid\\x1b[2J\\x07\n"), std::string::npos) << summed.out;
    EXPECT_EQ(summed.out.find('\x1b'), std::string::npos);
}

TEST(CommandEdges, CommandsThatCannotRunAreRefusedBeforeAnyMatch)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    dir.write("plain.sh", "echo 3 > vorla.out\n");
    const std::string mine = writeBot(dir, "mybot", "echo 3 > vorla.out");
    // A program of the organiser's PATH that the bots' PATH does not reach.
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", (dir.path().string() + ":" + path).c_str(), 1);
    const struct {
        std::string command;
        std::string problem;
    } cases[] = {
        {"./bots/legl", "--first: cannot run './bots/legl': no such file"},
        {"   ", "--first: the command line is empty"},
        {"\"./my bot", "--first: a quote is not closed in '\"./my bot'"},
        {"./plain.sh", "--first: cannot run './plain.sh': not an executable file"},
        {"/etc", "--first: cannot run '/etc': not an executable file"},
        {"no-such-program-anywhere",
         "--first: cannot run 'no-such-program-anywhere': not found in the system's folders, where a bot's PATH looks"},
        {"mybot", "--first: cannot run 'mybot': not found in the system's folders, where a bot's PATH looks (yours finds "
                      + mine + ": name it by its path, or pass your PATH on with --bot-env PATH)"},
        {"./mybot,dir=nowhere", "--first: 'nowhere' after ,dir= is not a folder"},
        {"./mybot,dir=", "--first: '' after ,dir= is not a folder"},
        {"./mybot,dir=plain.sh", "--first: 'plain.sh' after ,dir= is not a folder"},
    };
    for (const auto& c : cases) {
        const match::ParsedArguments parsed =
            match::parseMatchArguments({"vorlen-match", "--first", QString::fromStdString(c.command)}, 1);
        EXPECT_FALSE(parsed.config) << c.command;
        EXPECT_EQ(parsed.exitCode, 2);
        EXPECT_EQ(parsed.err.substr(0, parsed.err.find('\n')), "vorlen-match: " + c.problem);
    }
    EXPECT_TRUE(match::parseMatchArguments({"vorlen-match", "--second", "sh plain.sh"}, 1).config);
    EXPECT_TRUE(match::parseMatchArguments({"vorlen-match", "--second", "./mybot,dir=."}, 1).config);
    // The organiser's PATH passed on: a bare name then means what it means here.
    EXPECT_TRUE(match::parseMatchArguments({"vorlen-match", "--bot-env", "PATH", "--second", "mybot"}, 1).config);
    ::setenv("PATH", path.c_str(), 1);

    for (const char* pass : {"1X", "A-B", "", "=value", "A B=c"}) {
        const match::ParsedArguments parsed = match::parseMatchArguments({"vorlen-match", "--bot-env", pass}, 1);
        EXPECT_FALSE(parsed.config) << pass;
        EXPECT_EQ(parsed.err.rfind("vorlen-match: --bot-env: '", 0), 0U) << parsed.err;
    }
}

TEST(CommandEdges, OnlyWordsThatLookLikePathsAreAnchored)
{
    TempDir dir;
    for (const char* name : {"fast", "bot.py", "mybot"})
        dir.write(name, "");
    const std::string base = dir.path().string();
    EXPECT_EQ(splitCommandLine(anchorCommandLine("./mybot fast bot.py level.3 --x=1", base)),
              (std::vector<std::string>{base + "/mybot", "fast", base + "/bot.py", "level.3", "--x=1"}));
    // A bare program name is looked up in PATH, never here.
    EXPECT_EQ(splitCommandLine(anchorCommandLine("mybot", base)), std::vector<std::string>{"mybot"});
}

TEST(SignalEdges, StopSignalsEndTheRunCleanly)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "slow.sh", "sleep 0.05; echo $$ >> " + dir.file("pids")
                                                         + "; sleep 43.61; echo 3 > vorla.out");
    for (const int signal : {SIGTERM, SIGHUP}) {
        ScratchRoot scratch;
        std::FILE* pipe = popen(("exec " + std::string(VORLEN_MATCH_BIN) + " --no-sandbox --games 4 --first " + bot
                                 + " 2>/dev/null").c_str(), "r");
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (liveProcessesWith("43.61", {}) == 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::system(("pkill -" + std::to_string(signal) + " -f '^" + std::string(VORLEN_MATCH_BIN) + " --no-sandbox'").c_str());
        EXPECT_EQ(finish(pipe).exitCode, 128 + signal);
        EXPECT_EQ(liveProcessesWith("43.61"), 0);
        EXPECT_TRUE(scratch.empty());
    }
}

TEST(SignalEdges, AClosedTraceReaderEndsTheRunCleanly)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    ScratchRoot scratch;
    const std::string bot = writeBot(dir, "bot.sh", "sleep 0.01 41.41; head -c 1 vorla.in | tr 123456 234561 > vorla.out");
    const std::string command = "bash -c '" + std::string(VORLEN_MATCH_BIN) + " --trace --games 50 --first " + bot
                                + " 2>/dev/null | head -1 >/dev/null; echo ${PIPESTATUS[0]}'";
    const ToolRun run = finish(popen(command.c_str(), "r"));
    EXPECT_EQ(run.out, "141\n");
    EXPECT_EQ(liveProcessesWith("41.41"), 0);
    EXPECT_TRUE(scratch.empty());
}
