#include "ExternalPlayer.h"

#include "BotFolder.h"
#include "BotHints.h"
#include "ChildSpawn.h"
#include "CommandLine.h"
#include "MoveFailure.h"
#include "SeatPlayer.h"

#include <filesystem>
#include <unistd.h>

namespace vorlen {

bool hasOwnSeatFolder(const BotSettings& settings) { return settings.sandbox || !settings.exchangeDir.empty(); }

BotSettings settledSettings(BotSettings settings, std::unique_ptr<BotGroups>& ownGroups)
{
    if (!settings.groups) {
        ownGroups = std::make_unique<BotGroups>();
        settings.groups = ownGroups.get();
    }
    return settings;
}

std::vector<std::string> botArguments(const std::string& program, const BotSettings& settings)
{
    if (!settings.sandbox)
        return splitCommandLine(program);
    return realCommandLine(splitCommandLine(anchorCommandLine(program, std::filesystem::current_path().string())));
}

std::vector<std::string> environmentOf(const BotSettings& settings)
{
    std::error_code error;
    const std::string home = settings.sandbox ? kBoxHome
                             : settings.exchangeDir.empty()
                                 ? std::filesystem::current_path(error).string()
                                 : std::filesystem::absolute(settings.exchangeDir, error).lexically_normal().string();
    std::vector<std::string> environment = botEnvironment(settings.env, home, environ);
    withJavaMemory(environment, settings.limits.memoryMiB);
    return environment;
}

BoxView boxViewOf(const std::vector<std::string>& argv, const BotSettings& settings)
{
    BoxView view;
    view.named = namedPaths(argv);
    std::error_code error;
    view.ownDir = !settings.ownDir.empty() ? realPath(std::filesystem::absolute(settings.ownDir, error).string())
                                           : ownFolderOf(argv, botPath(settings.env));
    while (view.ownDir.size() > 1 && view.ownDir.back() == '/')
        view.ownDir.pop_back();
    view.hidden = settings.hidden;
    return view;
}

BoxView boxViewOfProgram(const SeatPlayer& given, BotSettings settings)
{
    if (!given.ownDir.empty())
        settings.ownDir = given.ownDir;
    return boxViewOf(realCommandLine(splitCommandLine(
                         anchorCommandLine(given.command, std::filesystem::current_path().string()))),
                     settings);
}

BotProcess::Options botOptions(const BotSettings& settings, int workDirFd, BotLog& log, Box* box)
{
    BotProcess::Options options;
    options.environment = environmentOf(settings);
    options.workDirFd = workDirFd;
    options.log = &log;
    options.limits = settings.limits;
    options.groups = settings.groups;
    options.box = box;
    options.finishLimit = settings.moveLimit;
    return options;
}

bool SeatPlace::open(const std::vector<std::string>& argv, const BotSettings& settings, std::string& error)
{
    if (!settings.sandbox)
        return files_.open(settings.exchangeDir, error);
    const BoxView view = boxViewOf(argv, settings);
    // What the box would show beyond the bot's own is never bound.
    if (const auto problem = settings.boxRefusal.empty() ? namedPathProblem(view)
                                                            : std::optional<std::string>(settings.boxRefusal)) {
        error = "cannot box the bot: " + *problem;
        return false;
    }
    const std::vector<std::string> environment = environmentOf(settings);
    if (settings.boxPool) {
        pool_ = settings.boxPool;
        key_ = boxKey(*settings.sandbox, view, settings.limits, environment, argv, settings.boxOwner);
        box_ = pool_->take(key_);
    }
    // A box that could not be made is tried once more: the system may be
    // short of something for a moment (a busy machine). Both reasons are kept.
    std::string first;
    for (int attempt = 0; attempt < 2 && !box_; ++attempt) {
        box_ = std::make_unique<Box>();
        if (box_->start(*settings.sandbox, view, settings.limits, *settings.groups, error))
            break;
        box_.reset();
        if (settings.groups->stopping())
            break;
        first = first.empty() ? error : first + "; then: " + error;
    }
    if (!box_) {
        error = first.empty() ? error : first;
        return false;
    }
    governance_ = box_->governance();
    if (::geteuid() == 0)
        files_.createAs(kUnprivilegedUser, kUnprivilegedUser);
    return files_.adopt(box_->seatDir(), error);
}

void SeatPlace::close()
{
    if (pool_ && box_)
        pool_->give(key_, std::move(box_));
    box_.reset();
}

std::string noteLabel(int turn, int moves)
{
    return turn >= 0 ? "turn " + std::to_string(turn) + ": " : "move " + std::to_string(moves) + ": ";
}

MoveResult ExternalPlayer::play(const Field& field, int turn)
{
    log_.beginMove(turn);
    MoveResult result = runMove(field, turn);
    result.log = moveLogKept(log_.moveStart(), log_.moveWritten());
    return result;
}

MoveResult ExternalPlayer::sayFailure(const MoveFailure& failure, HintFacts facts, const std::string& move,
                                      const std::string& program, const BotSettings& settings)
{
    MoveResult result{-1, failure.outcome, failure.detail, {}, {}, {}};
    if (!failure.trace.empty())
        settings.trace.err("%s\n", failure.trace.c_str());
    for (const std::string& note : failure.notes)
        log_.note(move + note);
    if (!failure.hint)
        return result;
    facts.outcome = failure.outcome;
    facts.programHead = programHead(program, std::filesystem::current_path().string());
    if (settings.sandbox)
        facts.hiddenInterpreter = interpreterOutsideSystem(botArguments(program, settings));
    result.hint = hintFor(facts);
    if (!result.hint.empty())
        log_.note(move + "hint: " + result.hint);
    return result;
}

} // namespace vorlen
