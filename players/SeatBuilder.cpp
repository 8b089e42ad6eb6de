#include "SeatBuilder.h"

#include "BotFolder.h"
#include "CommandLine.h"
#include "PlayerFactory.h"
#include "SeatPlayer.h"

#include <cstdlib>
#include <filesystem>

namespace vorlen {

BotSettings programSeatSettings(const std::string& player, BotSettings settings, const SeatSurroundings& around)
{
    if (!settings.sandbox)
        return settings;
    const BoxView mine = boxViewOfProgram(player, settings);
    BotSettings others = settings;
    others.ownDir.clear(); // a folder named for this seat is not the other's
    const BoxView other =
        parseSeatPlayer(around.otherPlayer).isProgram() ? boxViewOfProgram(around.otherPlayer, others) : BoxView{};
    settings.hidden = hiddenPaths(mine, other, around.outputs);
    const char* home = std::getenv("HOME");
    settings.boxRefusal = boxViewProblem(mine, other, around.outputs, home ? home : "").value_or("");
    return settings;
}

std::unique_ptr<ExternalPlayer> buildProgramSeat(const std::string& player, BotSettings settings,
                                                 const SeatSurroundings& around)
{
    SeatPlayer given = parseSeatPlayer(player);
    given.command = anchorCommandLine(given.command, std::filesystem::current_path().string());
    return createProgramPlayer(given, programSeatSettings(player, std::move(settings), around));
}

} // namespace vorlen
