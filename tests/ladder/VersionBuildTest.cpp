#include "BotCopy.h"
#include "VersionBuild.h"
#include "support/Governance.h"
#include "support/Modes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace vorlen;
using namespace vorlen::ladder;
using namespace vorlen::testing;

namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Builds : public ::testing::TestWithParam<Governance> {
protected:
    void SetUp() override { prepareMode(Mode::Sandbox); }
    ~Builds() override { removeCopiedFolder(dir.file("built")); }

    // A source folder sealed as the ladder keeps it, then built.
    BuildOutcome build(const std::string& command, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        fs::create_directories(dir.file("given"));
        dir.write("given/bot.sh", "#!/bin/sh\necho 1 > vorla.out\n");
        const CopyOutcome copied = copyBotFolder(dir.file("given"), dir.file("source"), CopyCaps{});
        EXPECT_TRUE(copied.error.empty()) << copied.error;
        BuildSettings settings;
        settings.plan = planFor(GetParam());
        settings.timeLimit = limit;
        return buildVersion(dir.file("source"), command, dir.file("built"), dir.file("build.log"), settings, groups);
    }
    std::string log() const { return readAll(dir.file("build.log")); }

    TempDir dir;
    BotGroups groups;
};

TEST_P(Builds, WhatABuildMakesIsKeptSealedWithItsOutputInTheLog)
{
    const BuildOutcome made = build("echo compiling; mkdir out && cp bot.sh out/bot && chmod +x out/bot");
    ASSERT_TRUE(made.built) << made.reason << "\n" << log();
    EXPECT_NE(log().find("compiling"), std::string::npos) << "standard output goes to the log too:\n" << log();
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("built/out/bot").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0555u) << "executable, and nobody's to change";
    ASSERT_EQ(::stat(dir.file("built/bot.sh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
}

// What a build may not do: each fails with its reason, and leaves nothing
// kept and nothing changed outside its box.
TEST_P(Builds, AHostileOrBrokenBuildFailsWithItsReason)
{
    struct Case {
        const char* what;
        std::string command;
        std::string reason; // a part of it
        std::string logged; // a part of the log
    };
    const std::vector<Case> cases = {
        {"fails", "echo 'syntax error' >&2; exit 3", "exit code 3", "syntax error"},
        {"runs past its time", "while :; do :; done", "took longer than 2 s", "build: while"},
        {"reaches for the network", "exec python3 -c 'import socket; socket.create_connection((\"1.1.1.1\", 80), 2)'",
         "exit code 1", "Error"},
        {"writes into its source", "echo x > " + dir.file("source") + "/evil", "exit code", "Read-only file system"},
        {"leaves a link", "ln -s /etc/passwd leak", "is a link", "cannot be kept"},
        {"leaves a pipe", "mkfifo pipe", "not a file or a folder", "cannot be kept"},
        {"reads the ladder beside its source", "cat " + dir.file("build.log") + " " + dir.file("given/bot.sh"),
         "exit code 1", "No such file"},
    };
    for (const Case& c : cases) {
        removeCopiedFolder(dir.file("source"));
        removeCopiedFolder(dir.file("built"));
        const BuildOutcome made = build(c.command, std::chrono::seconds(2));
        EXPECT_FALSE(made.built) << c.what;
        EXPECT_NE(made.reason.find(c.reason), std::string::npos) << c.what << ": " << made.reason;
        EXPECT_NE(log().find(c.logged), std::string::npos) << c.what << ":\n" << log();
        EXPECT_FALSE(fs::exists(dir.file("built"))) << c.what;
        EXPECT_FALSE(fs::exists(dir.file("source/evil"))) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(BothGovernances, Builds, ::testing::Values(Governance::ControlGroups, Governance::Rlimits),
                         governanceName);

} // namespace
