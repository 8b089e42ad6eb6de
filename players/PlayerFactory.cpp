#include "PlayerFactory.h"

#include "CommandLine.h"
#include "StreamPlayer.h"
#include "VorlenLogicTeam01.h"
#include "VorlenLogicTeam02.h"

namespace vorlen {

std::unique_ptr<IVorlenLogic> createPlayer(int kind, const std::string& program)
{
    if (kind == kExternalPlayer)
        return std::make_unique<VorlenLogicTeam01>(program);
    return std::make_unique<VorlenLogicTeam02>();
}

std::string programOf(const std::string& command)
{
    const std::string prefix = kStreamPrefix;
    return command.rfind(prefix, 0) == 0 ? command.substr(prefix.size()) : command;
}

std::optional<std::string> programProblem(const std::string& command, const std::string& base)
{
    if (auto problem = commandLineProblem(programOf(command)))
        return problem;
    const std::string program = splitCommandLine(programOf(command)).front();
    std::string why;
    if (findExecutable(program, base, why).empty())
        return "cannot run '" + program + "': " + why;
    return std::nullopt;
}

std::unique_ptr<ExternalPlayer> createProgramPlayer(const std::string& command, BotSettings settings)
{
    if (command.rfind(kStreamPrefix, 0) == 0)
        return std::make_unique<StreamPlayer>(programOf(command), std::move(settings));
    return std::make_unique<VorlenLogicTeam01>(command, std::move(settings));
}

} // namespace vorlen
