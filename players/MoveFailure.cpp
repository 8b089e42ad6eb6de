#include "MoveFailure.h"

#include "Exchange.h"

#include <optional>

namespace vorlen {
namespace {

using Status = BotRunResult::Status;

std::optional<Outcome> limitOf(Status status)
{
    switch (status) {
    case Status::CpuLimit: return Outcome::CpuLimit;
    case Status::FileSizeLimit: return Outcome::FileSizeLimit;
    case Status::MemoryLimit: return Outcome::MemoryLimit;
    default: return std::nullopt;
    }
}

bool nearMemoryLimit(const FailedRun& failed)
{
    const std::uint64_t limitKiB = failed.memoryMiB * 1024;
    return limitKiB > 0 && failed.run.peakMemoryKiB > 0
           && static_cast<std::uint64_t>(failed.run.peakMemoryKiB) >= limitKiB * 9 / 10;
}

// A bot that named no colour, without a limit behind it.
MoveFailure unanswered(const FailedRun& failed, std::string trace)
{
    const BotRunResult& run = failed.run;
    if (!failed.stream)
        return {Outcome::NoMove, run.message, std::move(trace),
                {"no move in vorla.out; the bot ended with " + run.message}, true};
    const std::string cap = std::to_string(kAnswerCapBytes);
    switch (failed.fault) {
    case AnswerFault::TooLong:
        return {Outcome::NoAnswer, "an answer line longer than " + cap + " bytes", std::move(trace),
                {"an answer line longer than " + cap + " bytes"}, false};
    case AnswerFault::NoNumber:
        return {Outcome::NoAnswer, "no number in its answer", std::move(trace),
                {"no number in its answer '" + failed.answer.substr(0, 80) + "'"}, false};
    default:
        return {Outcome::NoAnswer, "its output closed; " + run.message, std::move(trace),
                {"its output closed; the bot ended with " + run.message}, true};
    }
}

} // namespace

Outcome outcomeOf(BoxLimit limit)
{
    switch (limit) {
    case BoxLimit::Tasks: return Outcome::TaskLimit;
    case BoxLimit::Memory: return Outcome::MemoryLimit;
    case BoxLimit::Disk: return Outcome::DiskLimit;
    case BoxLimit::None: break;
    }
    return Outcome::None;
}

MoveFailure judgeFailedMove(const FailedRun& failed)
{
    const BotRunResult& run = failed.run;
    if (run.status == Status::RefereeError)
        return {Outcome::RefereeError, run.message, {}, {}, false};
    if (run.status == Status::FailedToStart)
        return {Outcome::FailedToStart, run.message, "unable to start process", {"unable to start: " + run.message},
                true};
    if (const auto limit = limitOf(run.status))
        return {*limit, run.message, outcomeName(*limit), {"ended by the " + std::string(outcomeName(*limit)) + ", "
                                                            + run.message}, false};

    const bool timedOut = run.status == Status::TimedOut || failed.fault == AnswerFault::TimedOut;
    MoveFailure failure;
    if (timedOut)
        failure = {Outcome::TimedOut, failed.stream ? "no answer within the time limit" : run.message, "TL",
                   {failed.stream ? "no answer within the time limit" : "killed at the time limit"}, true};
    else if (failed.fault == AnswerFault::Missing && nearMemoryLimit(failed))
        return {Outcome::MemoryLimit, run.message, failed.stream ? "no move on standard output" : "no move in vorla.out",
                {"ended at the memory limit (" + std::to_string(failed.memoryMiB) + " MiB), " + run.message}, false};
    else
        failure = unanswered(failed, failed.stream ? "no move on standard output" : "no move in vorla.out");

    if (run.boxLimit == BoxLimit::None)
        return failure;
    // Whatever the bot did then, its box's limit is why.
    const Outcome limit = outcomeOf(run.boxLimit);
    failure.outcome = limit;
    failure.detail = run.message;
    failure.hint = false;
    if (!timedOut)
        failure.notes.clear();
    failure.notes.push_back("its box ran into its " + std::string(outcomeName(limit)) + "; the bot ended with "
                            + run.message);
    return failure;
}

} // namespace vorlen
