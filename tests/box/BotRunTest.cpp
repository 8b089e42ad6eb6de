// The box alone, with no game about: a program runs and the run is reported.
#include "BotGroups.h"
#include "BotLog.h"
#include "BotProcess.h"
#include "CommandLine.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vorlen;
using namespace std::chrono_literals;
using Status = BotRunResult::Status;

namespace {

struct Run {
    BotRunResult result;
    std::string log;
};

Run runShell(const std::string& script, const BotLimits& limits = {}, std::chrono::milliseconds limit = 3000ms)
{
    vorlen::testing::TempDir dir;
    BotGroups groups;
    BotLog log(1024);
    std::string error;
    EXPECT_TRUE(log.open(dir.file("err.log"), 1 << 20, error)) << error;
    const int dirFd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    BotProcess::Options options;
    options.workDirFd = dirFd;
    options.log = &log;
    options.finishLimit = limit;
    options.limits = limits;
    options.groups = &groups;
    BotProcess process;
    Run run{process.run({"/bin/sh", "-c", script}, options), {}};
    ::close(dirFd);
    std::ifstream file(dir.file("err.log"));
    run.log.assign(std::istreambuf_iterator<char>(file), {});
    return run;
}

} // namespace

TEST(BotRuns, EveryEndIsReportedAsItHappened)
{
    BotLimits small;
    small.cpuSeconds = 1;
    small.fileSizeMiB = 1;
    const struct {
        const char* script;
        Status status;
        int exitCode;
        int signal;
    } cases[] = {
        {"echo said >&2", Status::Finished, 0, 0},
        {"exit 3", Status::Finished, 3, 0},
        {"kill -9 $$", Status::Finished, -1, 9},
        {"sleep 10", Status::TimedOut, -1, 9},
        {"while :; do :; done", Status::CpuLimit, -1, 0},
        {"exec head -c 2000000 /dev/zero > big", Status::FileSizeLimit, -1, 0},
    };
    for (const auto& c : cases) {
        const BotRunResult result = runShell(c.script, small, 1500ms).result;
        EXPECT_EQ(result.status, c.status) << c.script << ": " << result.message;
        if (c.status == Status::Finished) {
            EXPECT_EQ(result.exitCode, c.exitCode) << c.script;
            EXPECT_EQ(result.signal, c.signal) << c.script;
        }
    }
    EXPECT_EQ(runShell("echo said >&2; echo more >&2").log, "said\nmore\n");
}

TEST(BotRuns, AProgramThatCannotStartIsSaidSo)
{
    vorlen::testing::TempDir dir;
    BotGroups groups;
    BotProcess::Options options;
    options.groups = &groups;
    for (const std::string& program : {dir.file("missing"), dir.write("plain.txt", "not a program")}) {
        BotProcess process;
        const BotRunResult result = process.run({program}, options);
        EXPECT_EQ(result.status, Status::FailedToStart) << program;
        EXPECT_FALSE(result.message.empty()) << program;
    }
}

TEST(BotRuns, AStreamProgramAnswersByTheRuleItsCallerGives)
{
    BotGroups groups;
    BotProcess::Options options;
    options.groups = &groups;
    options.streams = true;
    options.lineCap = 16;
    options.isAnswer = [](const std::string& line) { return line.rfind("ok", 0) == 0; };
    BotProcess process;
    std::string error;
    ASSERT_TRUE(process.start({"/bin/sh", "-c", "while read l; do echo chat; echo \"ok $l\"; done"}, options, error))
        << error;
    std::string line;
    EXPECT_EQ(process.exchange("one\n", 2000ms, line), BotProcess::Exchange::Answered);
    EXPECT_EQ(line, "ok one");
    EXPECT_EQ(process.chatterLines(), 1);
    EXPECT_EQ(process.exchange(std::string(40, 'x') + "\n", 2000ms, line), BotProcess::Exchange::TooLong);
    EXPECT_EQ(process.finish(0ms).status, Status::Finished);
}
