#include "PlayerFactory.h"

#include "BotFolder.h"
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
    case SeatPlayer::Kind::Program:
    case SeatPlayer::Kind::Stream: break;
    }
    return kExternalPlayer;
}

std::string programOf(const std::string& command) { return parseSeatPlayer(command).command; }

std::optional<std::string> programProblem(const std::string& command, const std::string& base)
{
    ProgramCheck check;
    check.base = base;
    return programProblem(command, check);
}

std::optional<std::string> programProblem(const std::string& text, const ProgramCheck& check)
{
    const SeatPlayer given = parseSeatPlayer(text);
    if (auto problem = commandLineProblem(given.command))
        return problem;
    const std::string program = splitCommandLine(given.command).front();
    std::string why;
    if (findExecutableIn(program, check.base, check.botPath, why).empty())
        return "cannot run '" + program + "': "
               + (program.find('/') == std::string::npos ? notInBotPath(program, check.base) : why);
    namespace fs = std::filesystem;
    const fs::path base(check.base);
    std::error_code error;
    if (text.find(kOwnDirSuffix) != std::string::npos
        && (given.ownDir.empty() || !fs::is_directory(base / given.ownDir, error)))
        return "'" + given.ownDir + "' after " + kOwnDirSuffix + " is not a folder";
    if (!check.boxed)
        return std::nullopt;
    const std::string ownDir =
        given.ownDir.empty()
            ? ownFolderOf(splitCommandLine(anchorCommandLine(given.command, check.base)), check.botPath)
            : (base / given.ownDir).lexically_normal().string();
    if (ownDir.empty())
        return std::nullopt;
    const char* home = std::getenv("HOME");
    if (auto problem = ownFolderProblem(ownDir, home ? home : ""))
        return "cannot box '" + program + "': " + *problem;
    return std::nullopt;
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
