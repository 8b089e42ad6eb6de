#include "WindowSeating.h"

#include "PlayerFactory.h"
#include "Sandbox.h"

#include <filesystem>

vorlen::BuiltSeat WindowSeating::build(int seat, const vorlen::SeatPlayer& who, const std::string& otherPlayer,
                                       vorlen::BotGroups& groups)
{
    vorlen::BotSettings settings;
    settings.groups = &groups;
    settings.env = settings_.botEnv;
    if (settings_.sandboxed)
        settings.sandbox = vorlen::findSandbox();
    // Each move's part of the log is kept with the move in any case; the
    // whole of it goes to a file only when asked.
    if (!settings_.botLogDir.empty() && who.isProgram())
        settings.stderrPath = settings_.botLogDir + "/seat-" + std::to_string(seat) + "-"
                              + vorlen::playerName(who.text()) + ".log";
    // The options' time is a program's; the built-in player keeps the rule's.
    settings.moveLimit = who.isProgram() ? settings_.moveTime : vorlen::kMoveTimeLimit;
    settings.startFiles = startFiles_.at(static_cast<std::size_t>(seat));
    vorlen::BuiltSeat built = vorlen::buildSeat(who, std::move(settings), {otherPlayer, settings_.outputs});
    const auto index = static_cast<std::size_t>(seat);
    limitMs_.at(index) = built.shownMoveLimitMs;
    firstExtraMs_.at(index) = built.firstMoveExtraMs;
    return built;
}

std::optional<std::string> WindowSeating::problemOf(const std::string& player, const std::string& otherPlayer) const
{
    const vorlen::SeatPlayer given = vorlen::parseSeatPlayer(player);
    if (auto problem = vorlen::searchLevelProblem(given))
        return problem;
    if (!given.isProgram())
        return std::nullopt;
    vorlen::ProgramCheck check{std::filesystem::current_path().string(), vorlen::botPath(settings_.botEnv),
                               settings_.sandboxed, settings_.outputs, {}};
    if (!otherPlayer.empty())
        check.others.push_back(vorlen::parseSeatPlayer(otherPlayer));
    return vorlen::programProblem(given, check);
}

double WindowSeating::shownLimitMs(int seat, bool firstMove) const
{
    const auto index = static_cast<std::size_t>(seat);
    const double limit = limitMs_.at(index);
    return limit > 0 && firstMove ? limit + firstExtraMs_.at(index) : limit;
}
