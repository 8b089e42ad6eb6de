// A bot that makes a common mistake is told how to fix it: in its log and in
// the run's summary.
#include "BotHints.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "TerminalText.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

using namespace vorlen;
using namespace vorlen::testing;

TEST(BotHints, WhatEachMistakeIsTold)
{
    const std::string elf = std::string("\x7f" "ELF\x02\x01\x01", 7);
    const struct {
        HintFacts facts;
        const char* hint; // its start; empty: none
    } cases[] = {
        {{Outcome::NoMove, "import sys\n", 2, "", false, ""}, "the program has no #! line"},
        {{Outcome::FailedToStart, "#!/usr/bin/python3\r\nimport sys", -1, "", false, ""},
         "its #! line ends in a Windows line end"},
        {{Outcome::NoMove, "#!/bin/sh\necho 3\n", 0, "", false, ""}, "it ended without writing vorla.out"},
        {{Outcome::NoMove, elf, 1, "Segmentation fault", false, ""},
         "it ended with exit code 1 before answering; its last line on standard error: Segmentation fault"},
        {{Outcome::NoMove, elf, 3, "", false, ""}, "it ended with exit code 3 before answering (keep its standard"},
        {{Outcome::TimedOut, elf, -1, "", true, "4"}, "it wrote '4' without a line end"},
        {{Outcome::TimedOut, elf, -1, "", true, ""}, "no answer line came: if it printed one, flush"},
        {{Outcome::NoAnswer, "#!/bin/sh\r\n", 0, "", true, ""}, "its #! line ends in a Windows line end"},
        // Nothing to say: a file bot on time, a killed one, limits, a good #!.
        {{Outcome::TimedOut, "#!/bin/sh\nsleep 9\n", -1, "", false, ""}, ""},
        {{Outcome::NoMove, elf, -1, "", false, ""}, ""},
        {{Outcome::MemoryLimit, "import sys\n", 0, "", false, ""}, ""},
        {{Outcome::FailedToStart, "", -1, "", false, ""}, ""},
        {{Outcome::FailedToStart, "#!/bin/sh\n", -1, "", false, ""}, ""},
        // An interpreter its box does not show, whatever else went wrong.
        {{.outcome = Outcome::FailedToStart, .programHead = "#!/usr/bin/env bash\n",
          .hiddenInterpreter = "/root/.pyenv/shims/python3"},
         "/root/.pyenv/shims/python3 is an interpreter outside the system's folders, which its box does not show"},
        {{.outcome = Outcome::NoAnswer, .programHead = elf, .exitCode = 1, .stream = true,
          .hiddenInterpreter = "/home/u/venv/bin/python"},
         "/home/u/venv/bin/python is an"},
        {{.outcome = Outcome::TimedOut, .programHead = elf, .hiddenInterpreter = "/home/u/venv/bin/python"}, ""},
        // A refused call says more than the exit code it led to.
        {{.outcome = Outcome::NoMove, .programHead = elf, .exitCode = 1, .refusedCall = "keyctl"},
         "it made a system call the box does not allow: keyctl"},
        // How a bot ended before answering, stream bots as file bots.
        {{.outcome = Outcome::NoAnswer, .programHead = elf, .stream = true, .signal = SIGSEGV},
         "it was killed by signal 11 (Segmentation fault) before answering (keep its standard error"},
        {{.outcome = Outcome::NoMove, .programHead = elf, .lastErrLine = "terminate called", .signal = SIGABRT},
         "it was killed by signal 6 (Aborted) before answering; its last line on standard error: terminate called"},
        {{.outcome = Outcome::NoAnswer, .programHead = elf, .exitCode = 1,
          .lastErrLine = "FileNotFoundError: 'weights.bin'", .stream = true},
         "it ended with exit code 1 before answering; its last line on standard error: FileNotFoundError: 'weights.bin'"},
        {{.outcome = Outcome::NoAnswer, .programHead = elf, .exitCode = 0, .stream = true},
         "it ended before answering: a stream bot stays up for the whole match"},
        {{.outcome = Outcome::NoMove, .programHead = elf, .signal = SIGKILL}, ""},
        // A stream bot's lines without a move.
        {{.outcome = Outcome::TimedOut, .programHead = elf, .stream = true, .chatter = "debug: thinking"},
         "it wrote lines without a move on standard output (the last: 'debug: thinking')"},
    };
    for (const auto& c : cases) {
        const std::string hint = hintFor(c.facts);
        if (*c.hint == '\0')
            EXPECT_EQ(hint, "") << c.facts.programHead;
        else
            EXPECT_EQ(hint.rfind(c.hint, 0), 0U) << hint;
    }
}

TEST(BotHints, AnInterpreterOutsideTheSystemsFoldersIsOneABoxDoesNotShow)
{
    const struct {
        std::vector<std::string> argv;
        const char* interpreter;
    } cases[] = {
        {{"/root/.pyenv/shims/python3", "bot.py"}, "/root/.pyenv/shims/python3"},
        {{"/home/u/venv/bin/python3.11", "-u", "bot.py"}, "/home/u/venv/bin/python3.11"},
        {{"/opt/node-v20/bin/node", "bot.js"}, "/opt/node-v20/bin/node"},
        {{"/usr/bin/python3", "bot.py"}, ""},
        {{"python3", "bot.py"}, ""},
        {{"/srv/bots/mine/run.sh"}, ""},
        {{"/srv/bots/mine/pythonic"}, ""},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(interpreterOutsideSystem(c.argv), c.interpreter) << (c.argv.empty() ? "" : c.argv.front());
}

TEST(BotHints, AppearInTheLogAndTheSummaryForEachMistake)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // A Python bot saved without its #! line, and a script saved with Windows line ends.
    dir.write("nohashbang.py", "import sys\nopen('vorla.out', 'w').write('3')\n");
    dir.write("windows.sh", "#!/bin/sh\r\necho 3 > vorla.out\r\n");
    for (const char* name : {"nohashbang.py", "windows.sh"})
        std::filesystem::permissions(dir.file(name), std::filesystem::perms::owner_all | std::filesystem::perms::others_read
                                                         | std::filesystem::perms::others_exec);
    writeBot(dir, "printer.sh", "echo 3");
    writeBot(dir, "crasher.sh", "echo 'Traceback: no module named numpy' >&2; exit 1");
    writeBot(dir, "partial.sh", "while read -r line; do n=0; while [ $n -lt 40 ]; do read -r line; n=$((n+1)); done;"
                                " printf 3; sleep 5; done");
    writeBot(dir, "silent.sh", "while read -r line; do sleep 5; done");
    writeBot(dir, "segv.sh", "read -r line; kill -SEGV $$");
    writeBot(dir, "nodata.sh", "echo \"FileNotFoundError: 'weights.bin'\" >&2; exit 1");
    const struct {
        const char* player;
        const char* reason;
        const char* hint;
    } cases[] = {
        {"./nohashbang.py", "no move in vorla.out", "the program has no #! line, so the system ran it as a shell script"},
        {"./windows.sh", "failed to start", "its #! line ends in a Windows line end"},
        {"./printer.sh", "no move in vorla.out", "it ended without writing vorla.out: answers go to the file vorla.out"},
        {"./crasher.sh", "no move in vorla.out",
         "it ended with exit code 1 before answering; its last line on standard error: Traceback: no module named numpy"},
        {"stream:./partial.sh", "time limit", "it wrote '3' without a line end: end each answer with a newline"},
        {"stream:./silent.sh", "time limit", "no answer line came: if it printed one, flush its standard output"},
        {"stream:./segv.sh", "no move on standard output",
         "it was killed by signal 11 (Segmentation fault) before answering"},
        {"stream:./nodata.sh", "no move on standard output",
         "it ended with exit code 1 before answering; its last line on standard error: FileNotFoundError: 'weights.bin'"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir.file("logs"));
        const ToolRun run = runTool(std::string("--no-preflight --first ") + c.player + " --games 1 --move-time 500 --bot-logs logs");
        ASSERT_EQ(run.exitCode, 0) << c.player << run.out;
        EXPECT_NE(run.out.find(std::string("  A: ") + c.reason + " 1\n    " + c.reason + ": " + c.hint),
                  std::string::npos)
            << c.player << "\n" << run.out;
        std::string log;
        for (const auto& entry : std::filesystem::directory_iterator(dir.file("logs")))
            log += readFile(entry.path().string());
        EXPECT_NE(log.find(std::string("hint: ") + c.hint), std::string::npos) << c.player << "\n" << log;
        EXPECT_EQ(log.rfind("[vorlen] turn 0:\n", 0), 0U) << "each move marked in the log, the first first\n" << log;
    }
    // Without --bot-logs a hint still quotes what the bot said last.
    const ToolRun unlogged = runTool("--no-preflight --first stream:./nodata.sh --games 1 --move-time 500");
    EXPECT_NE(unlogged.out.find("its last line on standard error: FileNotFoundError: 'weights.bin'"), std::string::npos)
        << unlogged.out;

    // Plain, as in a box, a script without #! is run by the shell, as a shell would.
    const ToolRun plainScript = runTool("--no-sandbox --no-preflight --first ./nohashbang.py --games 1");
    EXPECT_NE(plainScript.out.find("no move in vorla.out: the program has no #! line"), std::string::npos)
        << plainScript.out;

    // A shim in a home folder, as pyenv makes them: in a box, what it runs is not there.
    std::string why;
    if (!probeSandbox(findSandbox(), why))
        GTEST_SKIP() << "the sandbox cannot run here: " << why;
    std::filesystem::create_directories(dir.file("home/.env/bin"));
    std::filesystem::create_directories(dir.file("home/.env/versions"));
    std::filesystem::copy_file("/bin/sh", dir.file("home/.env/versions/sh"));
    const std::string shim = writeBot(dir, "home/.env/bin/python3", "exec \"$(dirname \"$0\")/../versions/sh\" \"$@\"");
    dir.write("bot.py", "echo 3 > vorla.out\n");
    // Refused before any match; its hint says the same when the check is passed by.
    const ToolRun boxed = runTool("--sandbox --first \"home/.env/bin/python3 bot.py\" --games 1", "2>&1");
    EXPECT_EQ(boxed.exitCode, 2) << boxed.out;
    EXPECT_NE(boxed.out.find("cannot box '" + shim.substr(dir.path().string().size() + 1) + "': " + shim
                             + " is an interpreter outside the system's folders, which its box does not show"),
              std::string::npos)
        << boxed.out;
    // Plain, it sees the whole system, and plays.
    const ToolRun plain = runTool("--no-sandbox --first \"home/.env/bin/python3 bot.py\" --games 1");
    EXPECT_EQ(plain.out.find("interpreter outside"), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find("no move in vorla.out"), std::string::npos) << plain.out;
}

TEST(TerminalText, ControlCharactersOfC0DelAndC1AreWrittenOut)
{
    const struct {
        std::string text;
        bool keepLineEnds;
        std::string shown;
    } cases[] = {
        {"\x1b]0;pwned\x07", false, "\\x1b]0;pwned\\x07"},
        {"\x1b[2J\x1b[31mred", false, "\\x1b[2J\\x1b[31mred"},
        {"C1 \xc2\x9b" "31m in UTF-8", false, "C1 \\xc2\\x9b31m in UTF-8"},
        {"a stray \x9b byte", false, "a stray \\x9b byte"},
        {"del\x7f nul", false, "del\\x7f nul"},
        {"line\nnext\r", false, "line\\x0anext\\x0d"},
        {"line\nnext\r", true, "line\nnext\r"},
        {"tab\there", true, "tab\\x09here"},
        // Letters of every length stay as they are.
        {"bøt kärte ✓ 🙂 \xf4\x8f\xbf\xbf", false, "bøt kärte ✓ 🙂 \xf4\x8f\xbf\xbf"},
        // Malformed UTF-8, byte by byte: stray, cut short, overlong (E0 80 9B
        // would be a CSI to a lenient decoder), a surrogate, beyond U+10FFFF.
        {"\xa0\xff", false, "\\xa0\\xff"},
        {"\xc2", false, "\\xc2"},
        {"\xe0\x80\x9b" "31m", false, "\\xe0\\x80\\x9b31m"},
        {"\xc1\xbf", false, "\\xc1\\xbf"},
        {"\xed\xa0\x80", false, "\\xed\\xa0\\x80"},
        {"\xf4\x90\x80\x80", false, "\\xf4\\x90\\x80\\x80"},
        {"\xe2\x82", false, "\\xe2\\x82"},
        // Bidirectional controls, which would reorder what follows them.
        {"A \u202eEVIL\u202c", false, "A \\xe2\\x80\\xaeEVIL\\xe2\\x80\\xac"},
        {"\u2066x\u2069\u200f", false, "\\xe2\\x81\\xa6x\\xe2\\x81\\xa9\\xe2\\x80\\x8f"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(terminalSafe(c.text, c.keepLineEnds), c.shown) << c.shown;
}

TEST(TerminalText, ABotsEscapeSequencesReachNoTerminalThroughTheRunOrSummarize)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    writeBot(dir, "rude.sh", "printf 'Traceback\\n\\033]0;pwned\\007\\033[2J\\302\\233" "31mred\\n' >&2; exit 1");
    const ToolRun run = runTool("--no-preflight --first ./rude.sh --games 1 --results r.jsonl --bot-logs logs", "2>&1");
    const ToolRun summed = runTool("summarize r.jsonl", "2>&1");
    for (const ToolRun* output : {&run, &summed}) {
        EXPECT_EQ(output->exitCode, 0) << output->out;
        EXPECT_NE(output->out.find("its last line on standard error: \\x1b]0;pwned\\x07\\x1b[2J\\xc2\\x9b31mred"),
                  std::string::npos)
            << output->out;
        EXPECT_EQ(output->out.find('\x1b'), std::string::npos);
        EXPECT_EQ(output->out.find("\xc2\x9b"), std::string::npos);
    }
    // A record's own text can neither start a line of what is said nor
    // reorder it: its line breaks and bidirectional controls are written
    // out (here in the refusal of a governance no run writes).
    std::string records = readFile(dir.file("r.jsonl"));
    const std::size_t governance = records.find("\"governance\":\"");
    ASSERT_NE(governance, std::string::npos) << records;
    records.insert(governance + 14, "x\\nA: forged 99 \u202e");
    dir.write("forged.jsonl", records);
    const ToolRun forged = runTool("summarize forged.jsonl", "2>&1");
    EXPECT_EQ(forged.out.find("\nA: forged"), std::string::npos) << forged.out;
    EXPECT_EQ(forged.exitCode, 2) << forged.out;
    EXPECT_NE(forged.out.find("governance 'x\\x0aA: forged 99 \\xe2\\x80\\xae"), std::string::npos) << forged.out;
    // A hostile board list's line is said escaped.
    dir.write("book.txt", "rand:\x1b[2J\n");
    const ToolRun listed = runTool("--boards book.txt", "2>&1");
    EXPECT_EQ(listed.exitCode, 2);
    EXPECT_NE(listed.out.find("line 1: 'rand:\\x1b[2J'"), std::string::npos) << listed.out;
}
