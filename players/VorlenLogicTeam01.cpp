#include "VorlenLogicTeam01.h"

#include "BotHints.h"
#include "BotProcess.h"
#include "CommandLine.h"
#include "Exchange.h"
#include "MoveFailure.h"


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
    refusedCall = run.refusedCall;
    if (!refusedCall.empty())
        log_.note("move " + std::to_string(moves) + ": its box refused a system call: " + refusedCall);
    std::optional<int> move;
    if (run.status == BotRunResult::Status::Finished) {
        const std::optional<std::string> text = place.files().read(kOutputFileName, kAnswerCapBytes);
        move = text ? parseMove(*text) : std::nullopt;
    }
    if (!move) {
        const AnswerFault fault =
            run.status == BotRunResult::Status::TimedOut ? AnswerFault::TimedOut : AnswerFault::Missing;
        const MoveFailure failure = judgeFailedMove({run, fault, false, settings.limits.memoryMiB, {}});
        sayFailure(failure,
                   {.exitCode = run.exitCode, .lastErrLine = log_.lastLine(), .refusedCall = refusedCall,
                    .signal = run.signal},
                   "move " + std::to_string(moves) + ": ", program, settings);
        return fail(failure.outcome, failure.detail);
    }
    trace.err("Move %d\n", *move);
    outcome = Outcome::Answered;
    return *move;
}

} // namespace vorlen
