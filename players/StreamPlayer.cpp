#include "StreamPlayer.h"

#include "BotHints.h"
#include "Exchange.h"
#include "MoveFailure.h"


namespace vorlen {

StreamPlayer::StreamPlayer(std::string program, BotSettings settings)
    : program_(std::move(program)), settings_(settledSettings(std::move(settings), ownGroups_))
{
}

StreamPlayer::~StreamPlayer() { endMatch(); }

namespace {

MoveResult failed(Outcome why, std::string what) { return {-1, why, std::move(what), {}, {}, {}}; }

} // namespace

std::optional<MoveResult> StreamPlayer::start(const std::string& label)
{
    started_ = true;
    std::string error;
    if (!settings_.stderrPath.empty() && !log_.open(settings_.stderrPath, settings_.limits.logBytes, error)) {
        return failed(Outcome::RefereeError, "cannot open the bot log '" + settings_.stderrPath + "': " + error);
    }
    const std::vector<std::string> argv = botArguments(program_, settings_);
    if (!place_.open(argv, settings_, error)) {
        if (!settings_.sandbox) {
            settings_.trace.err("cannot open the exchange directory: %s\n", error.c_str());
            return failed(Outcome::ExchangeFailed, error);
        }
    }
    BotProcess::Options options = botOptions(settings_, place_.files().dirFd(), log_, place_.box());
    options.streams = true;
    // A line of one integer answers; under the old rule, any line that starts with one.
    if (settings_.looseStreamAnswers)
        options.isAnswer = [](const std::string& line) { return parseMove(line).has_value(); };
    else
        options.isAnswer = [](const std::string& line) { return parseAnswerLine(line).has_value(); };
    options.lineCap = kAnswerCapBytes;
    if (!error.empty() || !process_.start(argv, options, error)) {
        settings_.trace.err("unable to start process\n");
        log_.note(label + "unable to start: " + error);
        return failed(Outcome::FailedToStart, error);
    }
    return std::nullopt;
}

namespace {

AnswerFault faultOf(BotProcess::Exchange exchanged)
{
    switch (exchanged) {
    case BotProcess::Exchange::TimedOut: return AnswerFault::TimedOut;
    case BotProcess::Exchange::TooLong: return AnswerFault::TooLong;
    case BotProcess::Exchange::Answered: return AnswerFault::NoNumber;
    case BotProcess::Exchange::Closed: break;
    }
    return AnswerFault::Missing;
}

} // namespace

MoveResult StreamPlayer::runMove(const Field& board, int turn)
{
    ++moves_;
    const std::string label = noteLabel(turn, moves_);
    const bool first = !started_;
    if (first) {
        if (std::optional<MoveResult> refused = start(label))
            return *std::move(refused);
    }
    if (!process_.running())
        return failed(Outcome::NoAnswer, "the bot has ended");

    const auto limit = first ? settings_.startupLimit + settings_.moveLimit : settings_.moveLimit;
    std::string line;
    const BotProcess::Exchange exchanged = process_.exchange(buildInput(board), limit, line);
    // A log the referee cannot write is its own failure, not the bot's.
    if (!log_.error().empty())
        return failed(Outcome::RefereeError, log_.error());
    if (exchanged == BotProcess::Exchange::Answered) {
        if (const std::optional<int> move = parseMove(line)) {
            // It does not think on its opponent's time.
            process_.pause();
            settings_.trace.err("Move %d\n", *move);
            return {*move, Outcome::Answered, {}, {}, {}, {}};
        }
    }

    // A failed move retires the seat: the bot is ended now, with all it started.
    const BotRunResult ended = process_.finish(std::chrono::milliseconds(0));
    const std::string& move = label;
    if (!ended.refusedCall.empty())
        log_.note(move + "its box refused a system call: " + ended.refusedCall);
    const MoveFailure failure =
        judgeFailedMove({ended, faultOf(exchanged), true, settings_.limits.memoryMiB, line});
    return sayFailure(failure,
               {.exitCode = ended.exitCode, .lastErrLine = log_.lastLine(), .stream = true, .partialLine = line,
                .refusedCall = ended.refusedCall,
                .chatter = failure.outcome == Outcome::TimedOut ? process_.lastChatter() : std::string(),
                .signal = ended.signal},
               move, program_, settings_);
}

void StreamPlayer::endMatch()
{
    if (process_.running())
        process_.finish(kStreamGrace);
    place_.close();
}

} // namespace vorlen
