#include "VorlenLogicTeam01.h"

#include "BotHints.h"
#include "BotProcess.h"
#include "CommandLine.h"
#include "Exchange.h"
#include "MoveFailure.h"


namespace vorlen {

VorlenLogicTeam01::VorlenLogicTeam01(std::string commandLine)
    : VorlenLogicTeam01(std::move(commandLine), Settings{})
{
}

VorlenLogicTeam01::VorlenLogicTeam01(std::string commandLine, Settings given)
    : program(std::move(commandLine)), settings(settledSettings(std::move(given), ownGroups))
{
}

namespace {

MoveResult failed(Outcome why, std::string what) { return {-1, why, std::move(what), {}, {}, {}}; }

} // namespace

std::optional<MoveResult> VorlenLogicTeam01::prepareExchange(const Field& board, const std::string& label)
{
    const Trace& trace = settings.trace;
    std::string error;
    if (!place.isOpen()) {
        if (!place.open(botArguments(program, settings), settings, error)) {
            if (settings.sandbox) {
                trace.err("unable to start process\n");
                log_.note(label + "unable to start: " + error);
                return failed(Outcome::FailedToStart, error);
            }
            trace.err("cannot open the exchange directory: %s\n", error.c_str());
            return failed(Outcome::ExchangeFailed, error);
        }
        if (auto refused = putBackStartFiles(label))
            return refused;
    }
    const ExchangeFiles& files = place.files();
    // The input is complete and closed before the program starts, and an
    // answer left by an earlier move can never be taken for this one.
    for (const char* name : {kInputFileName, kOutputFileName}) {
        if (!files.remove(name, error)) {
            trace.err("cannot remove %s: %s\n", name, error.c_str());
            return failed(Outcome::ExchangeFailed, std::string("cannot remove ") + name + ": " + error);
        }
    }
    if (!files.write(kInputFileName, buildInput(board), error)) {
        trace.err("cannot write %s: %s\n", kInputFileName, error.c_str());
        // A box's seat folder is the bot's own: full, it is the bot's doing.
        if (place.box() && place.box()->diskFull()) {
            log_.note(label + "its box's disk is full; no room for the board");
            return failed(Outcome::DiskLimit, "no room for " + std::string(kInputFileName));
        }
        return failed(Outcome::ExchangeFailed, std::string("cannot write ") + kInputFileName + ": " + error);
    }
    return std::nullopt;
}

std::optional<MoveResult> VorlenLogicTeam01::putBackStartFiles(const std::string& label)
{
    if (!settings.startFiles || !settings.keepSeatFiles || !hasOwnSeatFolder(settings))
        return std::nullopt;
    std::string error;
    if (!place.files().putBack(*settings.startFiles, error)) {
        settings.trace.err("cannot put the seat's files back: %s\n", error.c_str());
        return failed(Outcome::ExchangeFailed, "cannot put the seat's files back: " + error);
    }
    log_.note(label + "its seat folder holds the " + std::to_string(settings.startFiles->files.size())
              + " files it had there in the replay");
    lastKept = *settings.startFiles;
    return std::nullopt;
}

MoveResult VorlenLogicTeam01::runMove(const Field& board, int turn)
{
    const Trace& trace = settings.trace;
    ++moves;
    const std::string label = noteLabel(turn, moves);
    if (!settings.stderrPath.empty() && !log_.isOpen()) {
        std::string error;
        if (!log_.open(settings.stderrPath, settings.limits.logBytes, error))
            return failed(Outcome::RefereeError, "cannot open the bot log '" + settings.stderrPath + "': " + error);
    }
    if (std::optional<MoveResult> refused = prepareExchange(board, label))
        return *std::move(refused);

    BotProcess process;
    const BotRunResult run =
        process.run(botArguments(program, settings), botOptions(settings, place.files().dirFd(), log_, place.box()));
    if (!run.refusedCall.empty())
        log_.note(label + "its box refused a system call: " + run.refusedCall);
    std::optional<int> move;
    if (run.status == BotRunResult::Status::Finished) {
        const std::optional<std::string> text = place.files().read(kOutputFileName, kAnswerCapBytes);
        move = text ? parseMove(*text) : std::nullopt;
    }
    MoveResult result{move.value_or(-1), Outcome::Answered, {}, {}, {}, {}};
    if (!move) {
        const AnswerFault fault =
            run.status == BotRunResult::Status::TimedOut ? AnswerFault::TimedOut : AnswerFault::Missing;
        const MoveFailure failure = judgeFailedMove({run, fault, false, settings.limits.memoryMiB, {}});
        result = sayFailure(failure,
                            {.exitCode = run.exitCode, .lastErrLine = log_.lastLine(), .refusedCall = run.refusedCall,
                             .signal = run.signal},
                            label, program, settings);
    } else {
        trace.err("Move %d\n", *move);
    }
    result.seatFiles = changedSeatFiles();
    return result;
}

std::optional<SeatFiles> VorlenLogicTeam01::changedSeatFiles()
{
    if (!settings.keepSeatFiles || !hasOwnSeatFolder(settings))
        return std::nullopt;
    SeatFiles now = place.files().readSeatFiles();
    if (now == lastKept)
        return std::nullopt;
    lastKept = now;
    return now;
}

} // namespace vorlen
