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

int StreamPlayer::fail(Outcome why, std::string what)
{
    outcome_ = why;
    detail_ = std::move(what);
    return -1;
}

bool StreamPlayer::start()
{
    started_ = true;
    std::string error;
    if (!settings_.stderrPath.empty() && !log_.open(settings_.stderrPath, settings_.limits.logBytes, error)) {
        fail(Outcome::RefereeError, "cannot open the bot log '" + settings_.stderrPath + "': " + error);
        return false;
    }
    const std::vector<std::string> argv = botArguments(program_, settings_);
    if (!place_.open(argv, settings_, error)) {
        if (!settings_.sandbox) {
            settings_.trace.err("cannot open the exchange directory: %s\n", error.c_str());
            fail(Outcome::ExchangeFailed, error);
            return false;
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
        log_.note("move 1: unable to start: " + error);
        fail(Outcome::FailedToStart, error);
        return false;
    }
    return true;
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

int StreamPlayer::makeMove(const Field& board)
{
    ++moves_;
    hint_.clear();
    log_.beginMove(turn_);
    const bool first = !started_;
    if (first && !start())
        return -1;
    if (!process_.running())
        return fail(Outcome::NoAnswer, "the bot has ended");

    const auto limit = first ? settings_.startupLimit + settings_.moveLimit : settings_.moveLimit;
    std::string line;
    const BotProcess::Exchange exchanged = process_.exchange(buildInput(board), limit, line);
    // A log the referee cannot write is its own failure, not the bot's.
    if (!log_.error().empty())
        return fail(Outcome::RefereeError, log_.error());
    if (exchanged == BotProcess::Exchange::Answered) {
        if (const std::optional<int> move = parseMove(line)) {
            // It does not think on its opponent's time.
            process_.pause();
            settings_.trace.err("Move %d\n", *move);
            outcome_ = Outcome::Answered;
            return *move;
        }
    }

    // A failed move retires the seat: the bot is ended now, with all it started.
    const BotRunResult ended = process_.finish(std::chrono::milliseconds(0));
    const std::string move = "move " + std::to_string(moves_) + ": ";
    refusedCall_ = ended.refusedCall;
    if (!refusedCall_.empty())
        log_.note(move + "its box refused a system call: " + refusedCall_);
    const MoveFailure failure =
        judgeFailedMove({ended, faultOf(exchanged), true, settings_.limits.memoryMiB, line});
    sayFailure(failure,
               {.exitCode = ended.exitCode, .lastErrLine = log_.lastLine(), .stream = true, .partialLine = line,
                .refusedCall = refusedCall_,
                .chatter = failure.outcome == Outcome::TimedOut ? process_.lastChatter() : std::string(),
                .signal = ended.signal},
               move, program_, settings_);
    return fail(failure.outcome, failure.detail);
}

void StreamPlayer::endMatch()
{
    if (process_.running())
        process_.finish(kStreamGrace);
    place_.close();
}

} // namespace vorlen
