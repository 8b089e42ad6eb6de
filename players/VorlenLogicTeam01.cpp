#include "VorlenLogicTeam01.h"

#include "BotHints.h"
#include "BotProcess.h"
#include "CommandLine.h"
#include "Exchange.h"

#include <filesystem>

namespace vorlen {

VorlenLogicTeam01::VorlenLogicTeam01(std::string program)
    : VorlenLogicTeam01(std::move(program), Settings{})
{
}

VorlenLogicTeam01::VorlenLogicTeam01(std::string program, Settings settings)
    : program(std::move(program)), settings(settledSettings(std::move(settings), ownGroups))
{
}

int VorlenLogicTeam01::fail(Outcome why, std::string what)
{
    outcome = why;
    detail = std::move(what);
    return -1;
}

void VorlenLogicTeam01::giveHint(HintFacts facts)
{
    facts.programHead = programHead(program, std::filesystem::current_path().string());
    facts.refusedCall = refusedCall;
    if (settings.sandbox)
        facts.hiddenInterpreter = interpreterOutsideSystem(botArguments(program, settings));
    hint_ = hintFor(facts);
    if (!hint_.empty())
        log_.note("move " + std::to_string(moves) + ": hint: " + hint_);
}

int VorlenLogicTeam01::failUnlessBoxLimit(const BotRunResult& run, Outcome why, std::string what)
{
    if (run.boxLimit == BoxLimit::None)
        return fail(why, std::move(what));
    const Outcome limit = outcomeOf(run.boxLimit);
    log_.note("move " + std::to_string(moves) + ": its box ran into its " + outcomeName(limit) + "; the bot ended with "
             + run.message);
    return fail(limit, run.message);
}

bool VorlenLogicTeam01::prepareExchange(const Field& board)
{
    const Trace& trace = settings.trace;
    std::string error;
    if (!place.isOpen() && !place.open(botArguments(program, settings), settings, error)) {
        if (settings.sandbox) {
            trace.err("unable to start process\n");
            log_.note("move " + std::to_string(moves) + ": unable to start: " + error);
            fail(Outcome::FailedToStart, error);
            return false;
        }
        trace.err("cannot open the exchange directory: %s\n", error.c_str());
        fail(Outcome::ExchangeFailed, error);
        return false;
    }
    const ExchangeFiles& files = place.files();
    // The input is complete and closed before the program starts, and an
    // answer left by an earlier move can never be taken for this one.
    for (const char* name : {kInputFileName, kOutputFileName}) {
        if (!files.remove(name, error)) {
            trace.err("cannot remove %s: %s\n", name, error.c_str());
            fail(Outcome::ExchangeFailed, std::string("cannot remove ") + name + ": " + error);
            return false;
        }
    }
    if (!files.write(kInputFileName, buildInput(board), error)) {
        trace.err("cannot write %s: %s\n", kInputFileName, error.c_str());
        // A box's seat folder is the bot's own: full, it is the bot's doing.
        if (place.box() && place.box()->diskFull()) {
            log_.note("move " + std::to_string(moves) + ": its box's disk is full; no room for the board");
            fail(Outcome::DiskLimit, "no room for " + std::string(kInputFileName));
            return false;
        }
        fail(Outcome::ExchangeFailed, std::string("cannot write ") + kInputFileName + ": " + error);
        return false;
    }
    return true;
}

int VorlenLogicTeam01::makeMove(const Field& board)
{
    const Trace& trace = settings.trace;
    ++moves;
    hint_.clear();
    log_.beginMove(turn_);
    if (!settings.stderrPath.empty() && !log_.isOpen()) {
        std::string error;
        if (!log_.open(settings.stderrPath, settings.limits.logBytes, error))
            return fail(Outcome::RefereeError,
                        "cannot open the bot log '" + settings.stderrPath + "': " + error);
    }
    if (!prepareExchange(board))
        return -1;

    BotProcess process;
    const BotRunResult run =
        process.run(botArguments(program, settings), botOptions(settings, place.files().dirFd(), log_, place.box()));
    detail = run.message;
    refusedCall = run.refusedCall;
    if (!refusedCall.empty())
        log_.note("move " + std::to_string(moves) + ": its box refused a system call: " + refusedCall);
    switch (run.status) {
    case BotRunResult::Status::RefereeError:
        return fail(Outcome::RefereeError, run.message);
    case BotRunResult::Status::FailedToStart:
        trace.err("unable to start process\n");
        log_.note("move " + std::to_string(moves) + ": unable to start: " + run.message);
        giveHint({Outcome::FailedToStart, {}, -1, {}, false, {}});
        return fail(Outcome::FailedToStart, run.message);
    case BotRunResult::Status::TimedOut:
        trace.err("TL\n");
        log_.note("move " + std::to_string(moves) + ": killed at the time limit");
        return failUnlessBoxLimit(run, Outcome::TimedOut, run.message);
    case BotRunResult::Status::CpuLimit:
    case BotRunResult::Status::FileSizeLimit:
    case BotRunResult::Status::MemoryLimit: {
        const Outcome limit = run.status == BotRunResult::Status::CpuLimit        ? Outcome::CpuLimit
                              : run.status == BotRunResult::Status::MemoryLimit ? Outcome::MemoryLimit
                                                                                : Outcome::FileSizeLimit;
        trace.err("%s\n", outcomeName(limit));
        log_.note("move " + std::to_string(moves) + ": ended by the " + outcomeName(limit) + ", " + run.message);
        return fail(limit, run.message);
    }
    case BotRunResult::Status::Finished:
        break;
    }

    const std::optional<std::string> text = place.files().read(kOutputFileName, kAnswerCapBytes);
    const std::optional<int> move = text ? parseMove(*text) : std::nullopt;
    if (!move) {
        trace.err("no move in vorla.out\n");
        // A bot that ran out of memory usually dies without an answer.
        const long limitKiB = static_cast<long>(settings.limits.memoryMiB) * 1024;
        if (limitKiB > 0 && run.peakMemoryKiB >= limitKiB * 9 / 10) {
            log_.note("move " + std::to_string(moves) + ": ended at the memory limit ("
                     + std::to_string(settings.limits.memoryMiB) + " MiB), " + run.message);
            return fail(Outcome::MemoryLimit, run.message);
        }
        if (run.boxLimit != BoxLimit::None)
            return failUnlessBoxLimit(run, Outcome::NoMove, run.message);
        log_.note("move " + std::to_string(moves) + ": no move in vorla.out; the bot ended with " + run.message);
        giveHint({.outcome = Outcome::NoMove, .exitCode = run.exitCode, .lastErrLine = log_.lastLine(),
                  .signal = run.signal});
        return fail(Outcome::NoMove, run.message);
    }
    trace.err("Move %d\n", *move);
    outcome = Outcome::Answered;
    return *move;
}

} // namespace vorlen
