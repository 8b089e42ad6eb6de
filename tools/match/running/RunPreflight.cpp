#include "RunPreflight.h"

#include "Boards.h"
#include "BotFolder.h"
#include "CommandLine.h"
#include "MatchPlay.h"
#include "Preflight.h"
#include "ScratchDir.h"
#include "SeatPlayer.h"

#include <algorithm>
#include <filesystem>

namespace vorlen::match {

std::optional<std::string> preflightRun(const MatchConfig& config, BotGroups& groups)
{
    const std::vector<NamedPlayer> players = config.players();
    std::string error;
    const std::unique_ptr<ScratchDir> scratch =
        config.anyProgram() && !config.boxed() ? std::make_unique<ScratchDir>(error) : nullptr;
    if (!error.empty())
        return "cannot try the programs before the run: " + error;
    // Any board will do: the trial asks for an answer, not a good one.
    const Field board = seededBoard(1, 0);
    for (std::size_t i = 0; i < players.size(); ++i) {
        if (!players[i].seat.isProgram())
            continue;
        const NamedPlayer& opponent = players[i == 0 && players.size() > 1 ? 1 : 0];
        MatchJob job{0, board, "preflight", false, {players[i], opponent}, {}};
        BotSettings settings = seatSettings(job, 0, config, groups, scratch ? scratch->path() : std::string());
        // Whatever it meets in the run, nothing of any other player's shows.
        for (const NamedPlayer& other : players) {
            if (&other == &players[i] || &other == &opponent)
                continue;
            MatchJob beside{0, board, "preflight", false, {players[i], other}, {}};
            const BotSettings more = seatSettings(beside, 0, config, groups, {});
            for (const std::string& path : more.hidden)
                if (std::none_of(settings.hidden.begin(), settings.hidden.end(),
                                 [&](const std::string& hidden) { return isWithinFolder(path, hidden); }))
                    settings.hidden.push_back(path);
        }
        // What lies in a folder hidden later is hidden with it.
        std::erase_if(settings.hidden, [&](const std::string& path) {
            return std::any_of(settings.hidden.begin(), settings.hidden.end(),
                               [&](const std::string& other) { return other != path && isWithinFolder(path, other); });
        });
        SeatPlayer given = players[i].seat;
        given.command = anchorCommandLine(given.command, std::filesystem::current_path().string());
        if (auto problem = preflightProblem(given.text(), settings, board))
            return players[i].name + " (" + players[i].command() + "): " + *problem;
    }
    return std::nullopt;
}

} // namespace vorlen::match
