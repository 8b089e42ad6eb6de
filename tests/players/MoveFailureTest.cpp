// A failed move is judged by one rule, whether its bot is started for every
// move or stays up: the same run gives the same outcome in both forms.
#include "MoveFailure.h"

#include <gtest/gtest.h>

using namespace vorlen;

namespace {

using Status = BotRunResult::Status;

BotRunResult runOf(Status status, long peakKiB = 1024, BoxLimit boxLimit = BoxLimit::None)
{
    BotRunResult run{status, "killed by signal Aborted", peakKiB, boxLimit};
    run.signal = 6;
    return run;
}

} // namespace

TEST(MoveFailures, EveryStatusIsJudgedAlikeForFileAndStreamBots)
{
    constexpr long kMiB = 1024;
    const struct {
        const char* what;
        BotRunResult run;
        AnswerFault fault;
        Outcome file;   // as a bot started for every move
        Outcome stream; // as a bot that stays up
        bool hint;
    } cases[] = {
        {"the referee's own failure", runOf(Status::RefereeError), AnswerFault::Missing, Outcome::RefereeError,
         Outcome::RefereeError, false},
        {"no start", runOf(Status::FailedToStart), AnswerFault::Missing, Outcome::FailedToStart, Outcome::FailedToStart,
         true},
        {"its CPU limit", runOf(Status::CpuLimit), AnswerFault::Missing, Outcome::CpuLimit, Outcome::CpuLimit, false},
        {"its file size limit", runOf(Status::FileSizeLimit), AnswerFault::Missing, Outcome::FileSizeLimit,
         Outcome::FileSizeLimit, false},
        {"its memory limit", runOf(Status::MemoryLimit), AnswerFault::Missing, Outcome::MemoryLimit,
         Outcome::MemoryLimit, false},
        {"no answer after 90 % of its memory", runOf(Status::Finished, 58 * kMiB), AnswerFault::Missing,
         Outcome::MemoryLimit, Outcome::MemoryLimit, false},
        {"no answer, memory to spare", runOf(Status::Finished, 32 * kMiB), AnswerFault::Missing, Outcome::NoMove,
         Outcome::NoAnswer, true},
        {"no answer, its box out of tasks", runOf(Status::Finished, kMiB, BoxLimit::Tasks), AnswerFault::Missing,
         Outcome::TaskLimit, Outcome::TaskLimit, false},
        {"out of time", runOf(Status::TimedOut), AnswerFault::TimedOut, Outcome::TimedOut, Outcome::TimedOut, true},
        {"out of time, its box's disk full", runOf(Status::TimedOut, kMiB, BoxLimit::Disk), AnswerFault::TimedOut,
         Outcome::DiskLimit, Outcome::DiskLimit, false},
        {"out of time at its memory", runOf(Status::TimedOut, 63 * kMiB), AnswerFault::TimedOut, Outcome::TimedOut,
         Outcome::TimedOut, true},
    };
    for (const auto& c : cases) {
        for (const bool stream : {false, true}) {
            const MoveFailure judged = judgeFailedMove({c.run, c.fault, stream, 64, {}});
            const Outcome expected = stream ? c.stream : c.file;
            EXPECT_EQ(outcomeName(judged.outcome), std::string(outcomeName(expected)))
                << c.what << (stream ? " (stream)" : "");
            EXPECT_EQ(judged.hint, c.hint && expected != Outcome::MemoryLimit) << c.what;
            EXPECT_EQ(judged.notes.empty(), expected == Outcome::RefereeError) << c.what << ": its log says why";
        }
    }
    // Without a memory limit nothing is charged to one; an answer, however
    // wrong, was no death for want of memory.
    EXPECT_EQ(judgeFailedMove({runOf(Status::Finished, 1 << 30), AnswerFault::Missing, true, 0, {}}).outcome,
              Outcome::NoAnswer);
    const MoveFailure wrong = judgeFailedMove({runOf(Status::Finished, 63 * kMiB), AnswerFault::NoNumber, true, 64, "red"});
    EXPECT_EQ(wrong.outcome, Outcome::NoAnswer);
    EXPECT_EQ(wrong.notes.front(), "no number in its answer 'red'");
}
