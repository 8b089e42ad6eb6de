#include "SeatBuilder.h"

#include "BotFolder.h"
#include "CommandLine.h"
#include "PlayerFactory.h"
#include "SeatPlayer.h"
#include "VorlenLogicSearch.h"
#include "VorlenLogicTeam02.h"

#include <cstdlib>
#include <filesystem>

namespace vorlen {

BotSettings programSeatSettings(const SeatPlayer& player, BotSettings settings, const SeatSurroundings& around)
{
    if (!settings.sandbox)
        return settings;
    const BoxView mine = boxViewOfProgram(player, settings);
    BotSettings others = settings;
    others.ownDir.clear(); // a folder named for this seat is not the other's
    const SeatPlayer otherPlayer = parseSeatPlayer(around.otherPlayer);
    const BoxView other = otherPlayer.isProgram() ? boxViewOfProgram(otherPlayer, others) : BoxView{};
    settings.hidden = hiddenPaths(mine, other, around.outputs);
    const char* home = std::getenv("HOME");
    settings.boxRefusal = boxViewProblem(mine, other, around.outputs, home ? home : "").value_or("");
    return settings;
}

std::unique_ptr<ExternalPlayer> buildProgramSeat(const SeatPlayer& player, BotSettings settings,
                                                 const SeatSurroundings& around)
{
    SeatPlayer given = player;
    given.command = anchorCommandLine(given.command, std::filesystem::current_path().string());
    return createProgramPlayer(given, programSeatSettings(player, std::move(settings), around));
}

BuiltSeat buildSeat(const SeatPlayer& who, BotSettings settings, const SeatSurroundings& around)
{
    using Ms = std::chrono::duration<double, std::milli>;
    const bool unlimited = settings.moveLimit == kNoTimeLimit;
    BuiltSeat built;
    built.recordedMoveLimitMs = unlimited ? 0 : static_cast<int>(settings.moveLimit.count());
    if (who.kind == SeatPlayer::Kind::Person)
        return built;
    if (who.kind == SeatPlayer::Kind::Search) {
        built.player = std::make_unique<VorlenLogicSearch>(who.level);
        return built;
    }
    if (!who.isProgram()) {
        built.player = std::make_unique<VorlenLogicTeam02>();
        return built;
    }
    built.shownMoveLimitMs = unlimited ? -1 : Ms(settings.moveLimit).count();
    built.firstMoveExtraMs = who.kind == SeatPlayer::Kind::Stream ? Ms(settings.startupLimit).count() : 0;
    auto program = buildProgramSeat(who, std::move(settings), around);
    built.program = program.get();
    built.player = std::move(program);
    return built;
}

} // namespace vorlen
