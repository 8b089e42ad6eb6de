// What a box would show a bot, judged by what its paths are rather than by
// how they are spelt: links, "..", outputs named through links, folders that
// are not a bot's.
#include "BotFolder.h"
#include "Box.h"
#include "PlayerFactory.h"
#include "SeatBuilder.h"
#include "support/Bots.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

namespace fs = std::filesystem;

// Two bots side by side, a scratch folder shared by all, and links of every
// kind an organiser's tree may hold.
class Tree : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"bots/mine/data", "bots/theirs", "scripts", "scratch"})
            fs::create_directories(dir.file(folder));
        ::chmod(dir.file("scratch").c_str(), 01777);
        writeBot(dir, "bots/mine/engine.py", "");
        writeBot(dir, "bots/mine/other.py", "");
        writeBot(dir, "bots/theirs/engine.py", "");
        fs::create_symlink("..", dir.file("bots/mine/book"));          // the bots' folder
        fs::create_symlink("data", dir.file("bots/mine/inside"));      // its own data
        fs::create_symlink("/", dir.file("rootlink"));
        fs::create_symlink("bots/mine", dir.file("minelink"));
        root = realPath(dir.path().string());
    }

    std::optional<std::string> problem(const std::string& player, std::vector<std::string> outputs = {},
                                       std::vector<std::string> others = {}) const
    {
        ProgramCheck check{dir.path().string(), kSystemPath, true, std::move(outputs), {}};
        for (const std::string& other : others)
            check.others.push_back(parseSeatPlayer(other));
        return programProblem(parseSeatPlayer(player), check);
    }

    TempDir dir;
    std::string root;
};

} // namespace

TEST_F(Tree, CommandLinesAreRunAsTheirRealPaths)
{
    const std::string mine = root + "/bots/mine/engine.py";
    EXPECT_EQ(realCommandLine({"/usr/bin/python3", root + "/minelink/engine.py", root + "/scripts/../bots/mine/engine.py",
                               "fast", "/usr/bin/../bin/env", root + "/missing.py"}),
              (std::vector<std::string>{"/usr/bin/python3", mine, mine, "fast", "/usr/bin/../bin/env", root + "/missing.py"}));
    // A link's target is what is bound, never the link's own path.
    EXPECT_EQ(namedPaths({"python3", root + "/bots/mine/book"}), (std::vector<std::string>{root + "/bots"}));
    EXPECT_EQ(realPath(root + "/minelink/not-yet/there.json"), root + "/bots/mine/not-yet/there.json");
    EXPECT_EQ(realPath("relative"), "");
    EXPECT_EQ(ownFolderOf({root + "/minelink/engine.py"}, kSystemPath), root + "/bots/mine");
}

TEST_F(Tree, WhatABoxWouldShowBeyondTheBotsFolderIsRefusedBeforeAnyMatch)
{
    const struct {
        const char* what;
        std::string player;
        std::vector<std::string> outputs;
        std::vector<std::string> others;
        std::string refusal; // empty: none
    } cases[] = {
        {"a link on the command line to the bots' folder", "python3 bots/mine/engine.py bots/mine/book", {}, {},
         "names " + root + "/bots, which is outside its own folder " + root + "/bots/mine"},
        {"dir= through a link to /", "python3 bots/mine/engine.py,dir=rootlink", {}, {}, "its own folder would be /,"},
        {"the bot logs are its folder, named through a link", "python3 bots/mine/engine.py", {root + "/minelink"}, {},
         "would be in the run's output " + root + "/bots/mine"},
        {"the results' folder holds its folder", "python3 bots/mine/engine.py", {root + "/bots"}, {},
         "would be in the run's output"},
        {"a folder that holds the other seat's", "python3 bots/mine/engine.py,dir=bots", {},
         {"stream:python3 bots/theirs/engine.py"}, "holds the other seat's folder " + root + "/bots/theirs"},
        {"a scratch folder shared by all", "python3 bots/mine/engine.py,dir=scratch", {}, {}, "shared for anyone"},
        {"/home", "python3 bots/mine/engine.py,dir=/home", {}, {}, "a folder of the system's"},
        {"/var", "python3 bots/mine/engine.py,dir=/var", {}, {}, "a folder of the system's"},
        {"/run", "python3 bots/mine/engine.py,dir=/run", {}, {}, "a folder of the system's"},
        {"/sys", "python3 bots/mine/engine.py,dir=/sys", {}, {}, "a folder of the system's"},
        // What the box shows anyway or holds itself is fine.
        {"a link within its folder", "python3 bots/mine/engine.py bots/mine/inside", {}, {}, ""},
        {"its folder through a link", "python3 minelink/engine.py", {}, {"python3 bots/theirs/engine.py"}, ""},
        {"\"..\" through a folder the box does not hold", "python3 scripts/../bots/mine/engine.py", {}, {}, ""},
        {"outputs in its folder are hidden, not refused", "python3 bots/mine/engine.py", {root + "/bots/mine/r.jsonl"},
         {}, ""},
        {"two seats in one folder", "python3 bots/mine/engine.py", {}, {"python3 bots/mine/other.py"}, ""},
        {"a system file named", "python3 bots/mine/engine.py /usr/share/dict", {}, {}, ""},
    };
    for (const auto& c : cases) {
        const auto said = problem(c.player, c.outputs, c.others);
        if (c.refusal.empty()) {
            EXPECT_FALSE(said) << c.what << ": " << *said;
            continue;
        }
        ASSERT_TRUE(said) << c.what;
        EXPECT_NE(said->find(c.refusal), std::string::npos) << c.what << ": " << *said;
        EXPECT_NE(said->find(",dir=PATH"), std::string::npos) << "says what to do: " << *said;
    }
    // Plain, a bot sees everything anyway: nothing to refuse.
    EXPECT_FALSE(programProblem("python3 bots/mine/engine.py bots/mine/book", dir.path().string()));
}

TEST_F(Tree, OutputsAreHiddenAsWhatTheyAreHoweverTheyAreSpelt)
{
    const BoxView mine{{root + "/bots/mine/engine.py"}, root + "/bots/mine", {}};
    // A results file and a log folder named through a link into the bot's folder.
    EXPECT_EQ(hiddenPaths(mine, {}, {root + "/minelink/r.jsonl", root + "/minelink/logs/", root + "/scripts/x"}),
              (std::vector<std::string>{root + "/bots/mine/r.jsonl", root + "/bots/mine/logs"}));
    // Nothing the box holds of its own is bound from the host.
    const std::string command = [&] {
        std::string text;
        for (const std::string& part : boxCommand({"/usr/bin/bwrap", "/opt/vorlen-box"}, mine, 8))
            text += part + " ";
        return text;
    }();
    EXPECT_EQ(command.find("book"), std::string::npos) << command;
    EXPECT_NE(command.find("--mqueue /dev/mqueue"), std::string::npos) << "a wipe finds the box's queues there";
}

// The window, vorlen-match and the ladder make a program seat through one
// builder: what it hides and refuses follows from the seat, the other seat
// and the run's outputs, and nothing of it without a box.
TEST_F(Tree, ASeatsBoxIsWorkedOutFromTheSeatItsNeighbourAndTheOutputs)
{
    const auto built = [&](const std::string& mine, const std::string& theirs, std::vector<std::string> outputs,
                           bool boxed) {
        const fs::path was = fs::current_path();
        fs::current_path(dir.path());
        BotSettings settings;
        if (boxed)
            settings.sandbox = SandboxPlan{"/usr/bin/bwrap", "/opt/vorlen-box"};
        const BotSettings made = programSeatSettings(parseSeatPlayer(mine), settings, {theirs, std::move(outputs)});
        fs::current_path(was);
        return made;
    };
    const BotSettings plain = built("python3 bots/mine/engine.py", "python3 bots/theirs/engine.py",
                                    {root + "/bots/mine/logs"}, false);
    EXPECT_TRUE(plain.hidden.empty());
    EXPECT_TRUE(plain.boxRefusal.empty());

    const BotSettings boxed = built("python3 bots/mine/engine.py", "stupid", {root + "/minelink/logs"}, true);
    EXPECT_EQ(boxed.hidden, std::vector<std::string>{root + "/bots/mine/logs"});
    EXPECT_TRUE(boxed.boxRefusal.empty()) << boxed.boxRefusal;

    // A folder that holds the other seat's is refused, however the other is given.
    for (const char* theirs : {"python3 bots/theirs/engine.py", "stream:python3 bots/theirs/engine.py"})
        EXPECT_FALSE(built("python3 bots/mine/engine.py,dir=bots", theirs, {}, true).boxRefusal.empty()) << theirs;
    EXPECT_TRUE(built("python3 bots/mine/engine.py,dir=bots", "stupid", {}, true).boxRefusal.empty())
        << "the built-in player has no folder";
}
