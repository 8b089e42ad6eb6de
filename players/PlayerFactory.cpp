#include "PlayerFactory.h"

#include "BotFolder.h"
#include "BotHints.h"
#include "Box.h"
#include "CommandLine.h"
#include "StreamPlayer.h"
#include "VorlenLogicTeam01.h"
#include "VorlenLogicTeam02.h"

#include <cstdlib>
#include <filesystem>

namespace vorlen {
namespace {

// Why a bare program name that the bot's PATH does not find cannot run, and
// where the organiser's own PATH finds it, which the bot does not see.
std::string notInBotPath(const std::string& program, const std::string& base)
{
    std::string why;
    const std::string ours = findExecutable(program, base, why);
    std::string text = "not found in the system's folders, where a bot's PATH looks";
    if (!ours.empty())
        text += " (yours finds " + ours + ": name it by its path, or pass your PATH on with --bot-env PATH)";
    return text;
}

// A seat's command line as its box would run it, its paths taken from the check's base.
std::vector<std::string> boxedArguments(const SeatPlayer& given, const ProgramCheck& check)
{
    return realCommandLine(splitCommandLine(anchorCommandLine(given.command, check.base)));
}

// What the box of a seat would show its bot.
BoxView checkedView(const SeatPlayer& given, const ProgramCheck& check)
{
    BoxView view;
    const std::vector<std::string> argv = boxedArguments(given, check);
    view.named = namedPaths(argv);
    view.ownDir = given.ownDir.empty()
                      ? ownFolderOf(argv, check.botPath)
                      : realPath((std::filesystem::path(check.base) / given.ownDir).lexically_normal().string());
    return view;
}

} // namespace

std::unique_ptr<IVorlenLogic> createPlayer(int kind, const std::string& program)
{
    if (kind == kExternalPlayer)
        return std::make_unique<VorlenLogicTeam01>(program);
    return std::make_unique<VorlenLogicTeam02>();
}

int playerKindOf(const SeatPlayer& player)
{
    switch (player.kind) {
    case SeatPlayer::Kind::BuiltIn: return kBuiltInPlayer;
    case SeatPlayer::Kind::Person: return kPersonPlayer;
    case SeatPlayer::Kind::Search: return kSearchPlayer;
    case SeatPlayer::Kind::Program:
    case SeatPlayer::Kind::Stream: break;
    }
    return kExternalPlayer;
}

std::optional<std::string> programProblem(const std::string& command, const std::string& base)
{
    ProgramCheck check;
    check.base = base;
    return programProblem(parseSeatPlayer(command), check);
}

std::optional<std::string> programProblem(const SeatPlayer& given, const ProgramCheck& check)
{
    if (auto problem = commandLineProblem(given.command))
        return problem;
    const std::vector<std::string> words = splitCommandLine(given.command);
    const std::string& program = words.front();
    std::string why;
    if (findExecutableIn(program, check.base, check.botPath, why).empty())
        return "cannot run '" + program + "': "
               + (program.find('/') == std::string::npos ? notInBotPath(program, check.base) : why);
    if (auto missing = missingScript(words, check.base))
        return "cannot run '" + given.command + "': " + *missing;
    namespace fs = std::filesystem;
    const fs::path base(check.base);
    std::error_code error;
    if ((given.blankOwnDir || !given.ownDir.empty())
        && (given.ownDir.empty() || !fs::is_directory(base / given.ownDir, error)))
        return "'" + given.ownDir + "' after " + kOwnDirSuffix + " is not a folder";
    if (!check.boxed)
        return std::nullopt;
    const std::string interpreter =
        interpreterOutsideSystem(boxedArguments(given, check));
    if (!interpreter.empty())
        return "cannot box '" + program + "': " + hiddenInterpreterHint(interpreter);
    const BoxView view = checkedView(given, check);
    const char* home = std::getenv("HOME");
    std::vector<BoxView> others;
    for (const SeatPlayer& other : check.others)
        if (other.isProgram())
            others.push_back(checkedView(other, check));
    if (others.empty())
        others.emplace_back();
    for (const BoxView& other : others)
        if (auto problem = boxViewProblem(view, other, check.outputs, home ? home : ""))
            return "cannot box '" + program + "': " + *problem;
    return std::nullopt;
}

std::string playerAsRun(const SeatPlayer& player, const std::string& base)
{
    if (!player.isProgram() || commandLineProblem(player.command))
        return player.text();
    SeatPlayer ran = player;
    ran.command = anchorCommandLine(player.command, base);
    if (!player.ownDir.empty())
        ran.ownDir = (std::filesystem::path(base) / player.ownDir).lexically_normal().string();
    return ran.text();
}

std::string boxFolderOf(const SeatPlayer& player, const ProgramCheck& check)
{
    return player.isProgram() ? checkedView(player, check).ownDir : std::string();
}

std::unique_ptr<ExternalPlayer> createProgramPlayer(const SeatPlayer& player, BotSettings settings)
{
    if (!player.ownDir.empty())
        settings.ownDir = player.ownDir;
    if (player.kind == SeatPlayer::Kind::Stream)
        return std::make_unique<StreamPlayer>(player.command, std::move(settings));
    return std::make_unique<VorlenLogicTeam01>(player.command, std::move(settings));
}

std::unique_ptr<ExternalPlayer> createProgramPlayer(const std::string& command, BotSettings settings)
{
    return createProgramPlayer(parseSeatPlayer(command), std::move(settings));
}

} // namespace vorlen
