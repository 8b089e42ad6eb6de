// The starter bots play whole matches as a user runs them: copied out of
// the source tree, built there, in the default mode (a box per seat), by a
// root referee with control groups and by an unprivileged one.
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "support/MatchTool.h"
#include "support/Processes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlen;
using namespace vorlen::testing;
namespace fs = std::filesystem;

namespace {

struct Kit {
    const char* name;
    const char* folder;   // under examples/starter; empty: the files below
    const char* needs;    // a program that must be here
    const char* build;    // run in the copy; empty: nothing to build
    const char* fileBot;  // command lines, with KIT for the copy's folder
    const char* streamBot;
    const char* selfTest; // run in the copy, as its README says; empty: none
};

// A bot of two files, as people write them before any kit: the rule in a
// module beside the main.
constexpr const char* kRulePy = "def choose(rows):\n"
                                "    own, opp = rows[0][0], rows[-1][-1]\n"
                                "    return next(c for c in '123456' if c not in (own, opp))\n";
constexpr const char* kMainPy = "import os, sys\n"
                                "sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))\n"
                                "import rule\n"
                                "if len(sys.argv) > 1:\n"
                                "    while True:\n"
                                "        rows = [sys.stdin.readline().strip() for _ in range(41)]\n"
                                "        if not rows[-1]: break\n"
                                "        print(rule.choose(rows), flush=True)\n"
                                "else:\n"
                                "    rows = open('vorla.in').read().split()\n"
                                "    open('vorla.out', 'w').write(rule.choose(rows))\n";

const Kit kKits[] = {
    {"Python", "python", "/usr/bin/python3", "", "python3 KIT/main.py", "stream:python3 KIT/stream_main.py",
     "python3 -m unittest"},
    {"C++", "cpp", "/usr/bin/make", "make -s", "KIT/bot", "stream:KIT/stream_bot", "make -s test"},
    {"Java", "java", "/usr/bin/javac", "javac -d . *.java",
     "java -Xmx256m -XX:+UseSerialGC -XX:TieredStopAtLevel=1 -cp KIT FileBot",
     "stream:java -Xmx256m -XX:+UseSerialGC -cp KIT StreamBot", "java -cp . SelfTest"},
    {"Node", "node", "/usr/bin/node", "", "node KIT/file_bot.js", "stream:node KIT/stream_bot.js", "node --test"},
    {"two-file Python", "", "/usr/bin/python3", "", "python3 KIT/main.py", "stream:python3 KIT/main.py stream", ""},
};

ToolRun runIn(const fs::path& dir, const std::string& command)
{
    return finish(popen(("cd '" + dir.string() + "' && " + command + " 2>&1").c_str(), "r"));
}

// The samples' boards and the answers the kit expects on them.
std::vector<std::pair<std::string, int>> sampleAnswers(const fs::path& kit)
{
    std::vector<std::pair<std::string, int>> answers;
    std::istringstream lines(readFile((kit / "samples" / "answers.txt").string()));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string name;
        int colour = 0;
        if (!line.empty() && line[0] != '#' && fields >> name >> colour)
            answers.emplace_back(name, colour);
    }
    return answers;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A board of stripes: every move takes the next row, so a match is short
// and every kit's move counts.
std::string stripes()
{
    std::string map;
    for (int row = 0; row < 41; ++row) {
        std::string line(45, static_cast<char>('3' + row % 4));
        if (row == 0)
            line.front() = '1';
        if (row == 40)
            line.back() = '2';
        map += line + "\n";
    }
    return map;
}

// Everything in the copy readable by all: a root referee's boxed bot runs as nobody.
void openToAll(const fs::path& dir)
{
    ::chmod(dir.c_str(), 0755);
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        ::chmod(entry.path().c_str(), 0755);
}

void PrintTo(const Kit& kit, std::ostream* out) { *out << kit.name; }

} // namespace

class StarterKits : public ::testing::TestWithParam<Kit> {};

TEST_P(StarterKits, PlayWholeMatchesInTheirBoxesInBothForms)
{
    const Kit& kit = GetParam();
    if (::access(kit.needs, X_OK) != 0)
        GTEST_SKIP() << "the " << kit.name << " kit needs " << kit.needs << " (scripts/deps.sh installs it)";
    std::string why;
    if (!probeSandbox(findSandbox(), why))
        GTEST_SKIP() << "the sandbox cannot run here: " << why;
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777); // an unprivileged referee writes its results here
    const fs::path copy = dir.path() / "bots" / "mine";
    fs::create_directories(copy);
    if (*kit.folder) {
        fs::copy(fs::path(VORLEN_EXAMPLES_DIR) / "starter" / kit.folder, copy, fs::copy_options::recursive);
    } else {
        std::ofstream(copy / "rule.py") << kRulePy;
        std::ofstream(copy / "main.py") << kMainPy;
    }
    if (std::string(kit.name) == "Python") {
#ifdef VORLEN_PYTHON_MODULE
        // Not installed: the module beside the bot, as its README says.
        fs::copy(VORLEN_PYTHON_MODULE, copy);
#else
        GTEST_SKIP() << "the Python module is not built here (pybind11-dev)";
#endif
    }
    if (*kit.build) {
        const ToolRun built = runIn(copy, kit.build);
        ASSERT_EQ(built.exitCode, 0) << built.out;
    }
    openToAll(dir.path() / "bots");
    WorkingDirectory cwd(dir.path());
    dir.write("stripes.map", stripes());

    const bool root = ::geteuid() == 0;
    for (const char* command : {kit.fileBot, kit.streamBot}) {
        const std::string player = replaced(command, "KIT", "bots/mine");
        for (const bool unprivileged : {false, true}) {
            if (unprivileged && !root)
                continue;
            const std::string as = unprivileged ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
            fs::remove(dir.file("runs.jsonl"));
            const ToolRun run = finish(popen((as + VORLEN_MATCH_BIN " --games 1 --swap --map stripes.map --first '"
                                              + player + "' --results runs.jsonl 2>&1")
                                                 .c_str(),
                                             "r"));
            const std::string who = player + (unprivileged ? ", unprivileged" : ", root");
            ASSERT_EQ(run.exitCode, 0) << who << "\n" << run.out;
            EXPECT_NE(run.out.find("in a box per seat (bubblewrap), held by "), std::string::npos) << who << run.out;
            EXPECT_NE(run.out.find("Matches played: 2 of 2"), std::string::npos) << who << run.out;
            // Both matches to the game's own end: no failure of the bot's.
            const std::string records = readFile(dir.file("runs.jsonl"));
            const std::string key = "_retired\":\"";
            int ends = 0;
            for (std::size_t at = records.find(key); at != std::string::npos; at = records.find(key, at + 1), ++ends) {
                const std::string reason = records.substr(at + key.size(), records.find('"', at + key.size()) - at - key.size());
                EXPECT_TRUE(reason == "full board" || reason == "stall") << who << ": " << reason << "\n" << records;
            }
            EXPECT_EQ(ends, 4) << records;
        }
    }
}

TEST_P(StarterKits, TestThemselvesOnTheirSamplesAndAreWhatTheirReadmeSays)
{
    const Kit& kit = GetParam();
    if (!*kit.selfTest)
        GTEST_SKIP() << "no kit: nothing to test itself";
    if (::access(kit.needs, X_OK) != 0)
        GTEST_SKIP() << "the " << kit.name << " kit needs " << kit.needs << " (scripts/deps.sh installs it)";
    TempDir dir;
    const fs::path copy = dir.path() / "mine";
    fs::copy(fs::path(VORLEN_EXAMPLES_DIR) / "starter" / kit.folder, copy, fs::copy_options::recursive);
    std::string env;
    if (std::string(kit.name) == "Python") {
#ifdef VORLEN_PYTHON_MODULE
        // Where it is not installed, the bot says what to do.
        dir.write("mine/vorla.in", readFile((copy / "samples" / "opening.in").string()));
        const ToolRun alone = runIn(copy, "PYTHONNOUSERSITE=1 python3 -S main.py");
        EXPECT_EQ(alone.exitCode, 1) << alone.out;
        EXPECT_NE(alone.out.find("No module named 'vorlen': install vorlen's package"), std::string::npos) << alone.out;
        EXPECT_NE(alone.out.find("cmake --install build --component python --prefix /usr"), std::string::npos);
        env = "PYTHONPATH='" + fs::path(VORLEN_PYTHON_MODULE).parent_path().string() + "' ";
#else
        GTEST_SKIP() << "the Python module is not built here (pybind11-dev)";
#endif
    }
    if (*kit.build) {
        const ToolRun built = runIn(copy, kit.build);
        ASSERT_EQ(built.exitCode, 0) << built.out;
    }
    const ToolRun test = runIn(copy, env + kit.selfTest);
    EXPECT_EQ(test.exitCode, 0) << kit.selfTest << ":\n" << test.out;

    // A wrong answer in the samples is found.
    const std::string answers = readFile((copy / "samples" / "answers.txt").string());
    std::ofstream(copy / "samples" / "answers.txt") << answers << "opening.in 7\n";
    EXPECT_NE(runIn(copy, env + kit.selfTest).exitCode, 0) << kit.selfTest << " took a wrong answer";
    std::ofstream(copy / "samples" / "answers.txt") << answers;

    // A step above the built-in player shows on some sample.
    const auto samples = sampleAnswers(copy);
    ASSERT_GE(samples.size(), 3U);
    int differ = 0;
    for (const auto& [board, colour] : samples) {
        const ToolRun move = runIn(copy, std::string(VORLEN_MATCH_BIN) + " move input:samples/" + board + " stupid");
        differ += move.out.find("answer: " + std::to_string(colour) + "\n") != std::string::npos ? 0 : 1;
    }
    EXPECT_GT(differ, 0);

    // And it beats the built-in player, as its README says (the rule's measure
    // is 89 % over 100 boards; here a few, seeded: the same matches each run).
    if (*kit.build) {
        const ToolRun built = runIn(copy, kit.build);
        ASSERT_EQ(built.exitCode, 0) << built.out;
    }
#ifdef VORLEN_PYTHON_MODULE
    if (std::string(kit.name) == "Python")
        fs::copy(VORLEN_PYTHON_MODULE, copy); // a bot gets no PYTHONPATH: the module beside it
#endif
    const std::string stream = replaced(kit.streamBot, "KIT", copy.string());
    const ToolRun run = runIn(copy, VORLEN_MATCH_BIN " --no-sandbox --games 6 --seed 2026 --second stupid --first '"
                                        + stream + "'");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::size_t row = run.out.find("\nA  "); // the table's row, not "A vs B"
    ASSERT_NE(row, std::string::npos) << run.out;
    int wins = 0;
    std::istringstream(run.out.substr(row + 3)) >> wins;
    EXPECT_GE(wins, 9) << "of 12 matches against the built-in player\n" << run.out;
}

INSTANTIATE_TEST_SUITE_P(FourLanguages, StarterKits, ::testing::ValuesIn(kKits),
                         [](const ::testing::TestParamInfo<Kit>& kit) {
                             std::string name;
                             for (const char ch : std::string(kit.param.name))
                                 if (std::isalnum(static_cast<unsigned char>(ch)))
                                     name += ch;
                             return name == "C" ? std::string("Cpp") : name;
                         });
