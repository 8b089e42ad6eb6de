// A run tries each program once, as it will run it, before any match: what
// cannot answer at all is refused in the bot's own words, and what a box
// would show beyond a bot's folder is refused with the reason.
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vorlen::testing;

namespace {

const std::string kPlays = "import sys\nrows = open('vorla.in').read().split()\n"
                           "print(next(c for c in '123456' if c not in (rows[0][0], rows[-1][-1])), "
                           "file=open('vorla.out', 'w'))\n";

} // namespace

TEST(Preflight, WhatCannotAnswerAtAllIsRefusedBeforeAnyMatchInTheBotsOwnWords)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    std::filesystem::create_directories(dir.file("bots/py"));
    dir.write("bots/py/main.py", kPlays);
    dir.write("bots/py/imports.py", "import vorlen\n" + kPlays);
    dir.write("bots/py/crashes.py", "raise SystemExit('cannot read my book')\n");
    const struct {
        std::string player;
        std::string said; // empty: it plays
    } cases[] = {
        {"python3 bots/py/imports.py",
         "No module named 'vorlen' \u2014 install vorlen's package, or from a build: sudo cmake --install build "
         "--component python --prefix /usr"},
        {"stream:python3 bots/py/imports.py", "No module named 'vorlen'"},
        {"python3 bots/py/crashes.py", "cannot read my book"},
        {"python3 bots/py/main.py", ""},
    };
    for (const std::string containment : {"--sandbox", "--no-sandbox"}) {
        for (const auto& c : cases) {
            std::filesystem::remove(dir.file("r.jsonl"));
            const ToolRun run = runTool(containment + " --games 2 --results r.jsonl --first '" + c.player + "'", "2>&1");
            if (c.said.empty()) {
                EXPECT_EQ(run.exitCode, 0) << c.player << ": " << run.out;
                continue;
            }
            EXPECT_EQ(run.exitCode, 2) << c.player << ": " << run.out;
            EXPECT_EQ(run.out.rfind("vorlen-match: A (" + c.player + "): tried once on a board before any match", 0),
                      0U)
                << run.out;
            EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
            EXPECT_FALSE(std::filesystem::exists(dir.file("r.jsonl"))) << "no match was played";
            // Skipped on request: the matches say it, as they did.
            const ToolRun skipped = runTool(containment + " --no-preflight --games 1 --first '" + c.player + "'");
            EXPECT_EQ(skipped.exitCode, 0) << c.player;
            EXPECT_NE(skipped.out.find("A: "), std::string::npos) << skipped.out;
        }
        // A misspelt script is no program to try: said before trying, whatever is skipped.
        for (const std::string trial : {"", " --no-preflight"}) {
            const ToolRun run = runTool(containment + trial + " --games 2 --first 'python3 bots/py/mian.py'", "2>&1");
            EXPECT_EQ(run.exitCode, 2) << run.out;
            EXPECT_NE(run.out.find("cannot run 'python3 bots/py/mian.py': 'bots/py/mian.py' is not there (from "),
                      std::string::npos)
                << run.out;
        }
    }
}

TEST(Preflight, ALinkOrAnOutputThatWouldShowTooMuchIsRefusedWithTheReason)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    std::filesystem::create_directories(dir.file("bots/mine"));
    std::filesystem::create_directories(dir.file("bots/theirs"));
    dir.write("bots/mine/main.py", kPlays);
    dir.write("bots/theirs/main.py", kPlays);
    std::filesystem::create_symlink("..", dir.file("bots/mine/book"));
    std::filesystem::create_symlink("bots/mine", dir.file("mine"));
    const struct {
        std::string arguments;
        std::string said;
    } cases[] = {
        {"--first 'python3 bots/mine/main.py bots/mine/book' --second 'python3 bots/theirs/main.py'",
         "names " + dir.path().string() + "/bots, which is outside its own folder"},
        {"--first 'python3 bots/mine/main.py' --bot-logs mine", "would be in the run's output"},
        {"--first 'python3 bots/mine/main.py,dir=bots' --second 'python3 bots/theirs/main.py'",
         "holds the other seat's folder"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool("--sandbox --games 1 " + c.arguments, "2>&1");
        EXPECT_EQ(run.exitCode, 2) << c.arguments << ": " << run.out;
        EXPECT_NE(run.out.find("cannot box 'python3': "), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
    }
    // Two seats in one folder play, each hidden the other's files, and are told so.
    dir.write("bots/mine/other.py", kPlays);
    const ToolRun shared =
        runTool("--sandbox --games 1 --first 'python3 bots/mine/main.py' --second 'python3 mine/other.py'", "2>&1");
    EXPECT_EQ(shared.exitCode, 0) << shared.out;
    EXPECT_NE(shared.out.find("vorlen-match: A and B share the folder " + dir.path().string()
                              + "/bots/mine: each one's box hides the other's program"),
              std::string::npos)
        << shared.out;
}
