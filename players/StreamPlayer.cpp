#include "StreamPlayer.h"

#include "BotHints.h"
#include "Exchange.h"

#include <filesystem>

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
    options.looseAnswers = settings_.looseStreamAnswers;
    if (!error.empty() || !process_.start(argv, options, error)) {
        settings_.trace.err("unable to start process\n");
        log_.note("move 1: unable to start: " + error);
        fail(Outcome::FailedToStart, error);
        return false;
    }
    return true;
}

void StreamPlayer::giveHint(HintFacts facts, const std::string& move)
{
    facts.programHead = programHead(program_, std::filesystem::current_path().string());
    facts.refusedCall = refusedCall_;
    if (settings_.sandbox)
        facts.hiddenInterpreter = interpreterOutsideSystem(botArguments(program_, settings_));
    hint_ = hintFor(facts);
    if (!hint_.empty())
        log_.note(move + "hint: " + hint_);
}

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
    if (ended.status == BotRunResult::Status::RefereeError)
        return fail(Outcome::RefereeError, ended.message);
    if (ended.status == BotRunResult::Status::CpuLimit || ended.status == BotRunResult::Status::FileSizeLimit
        || ended.status == BotRunResult::Status::MemoryLimit) {
        const Outcome why = ended.status == BotRunResult::Status::CpuLimit        ? Outcome::CpuLimit
                            : ended.status == BotRunResult::Status::MemoryLimit ? Outcome::MemoryLimit
                                                                                : Outcome::FileSizeLimit;
        settings_.trace.err("%s\n", outcomeName(why));
        log_.note(move + "ended by the " + outcomeName(why) + ", " + ended.message);
        return fail(why, ended.message);
    }
    if (ended.boxLimit != BoxLimit::None) {
        const Outcome why = outcomeOf(ended.boxLimit);
        settings_.trace.err("%s\n", outcomeName(why));
        log_.note(move + "its box ran into its " + outcomeName(why) + "; the bot ended with " + ended.message);
        return fail(why, ended.message);
    }
    switch (exchanged) {
    case BotProcess::Exchange::TimedOut:
        settings_.trace.err("TL\n");
        log_.note(move + "no answer within the time limit");
        giveHint({Outcome::TimedOut, {}, -1, {}, true, line, {}, {}, process_.lastChatter()}, move);
        return fail(Outcome::TimedOut, "no answer within the time limit");
    case BotProcess::Exchange::TooLong:
        settings_.trace.err("no move on standard output\n");
        log_.note(move + "an answer line longer than " + std::to_string(kAnswerCapBytes) + " bytes");
        return fail(Outcome::NoAnswer, "an answer line longer than " + std::to_string(kAnswerCapBytes) + " bytes");
    case BotProcess::Exchange::Closed:
        settings_.trace.err("no move on standard output\n");
        log_.note(move + "its output closed; the bot ended with " + ended.message);
        giveHint({.outcome = Outcome::NoAnswer, .exitCode = ended.exitCode, .lastErrLine = log_.lastLine(), .stream = true,
                  .partialLine = line, .signal = ended.signal},
                 move);
        return fail(Outcome::NoAnswer, "its output closed; " + ended.message);
    case BotProcess::Exchange::Answered:
        break;
    }
    settings_.trace.err("no move on standard output\n");
    log_.note(move + "no number in its answer '" + line.substr(0, 80) + "'");
    return fail(Outcome::NoAnswer, "no number in its answer");
}

void StreamPlayer::endMatch()
{
    if (process_.running())
        process_.finish(kStreamGrace);
    place_.close();
}

} // namespace vorlen
