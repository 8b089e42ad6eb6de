#include "Preflight.h"

#include "PlayerFactory.h"

namespace vorlen {

std::string lastBotLine(const std::string& log)
{
    std::size_t end = log.size();
    while (end > 0) {
        const std::size_t start = log.rfind('\n', end - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        const std::string line = log.substr(from, end - from);
        end = start == std::string::npos ? 0 : start;
        if (!line.empty() && line.rfind("[vorlen]", 0) != 0 && line.find_first_not_of(" \t\r") != std::string::npos)
            return line;
    }
    return {};
}

std::optional<std::string> preflightProblem(const std::string& player, BotSettings settings, const Field& board)
{
    // Nothing of the trial reaches the run's console or logs.
    settings.trace = Trace::silent();
    settings.stderrPath.clear();
    settings.boxPool = nullptr;
    const std::unique_ptr<ExternalPlayer> bot = createProgramPlayer(player, settings);
    const MoveResult move = bot->play(board, 0);
    bot->endMatch();
    // A bot slow on this board may be quick on others: the matches judge its time.
    if (move.outcome == Outcome::None || move.outcome == Outcome::Answered || move.outcome == Outcome::TimedOut)
        return std::nullopt;
    std::string problem = "tried once on a board before any match, it failed: "
                          + std::string(outcomeName(move.outcome)) + (move.detail.empty() ? "" : " (" + move.detail + ")");
    const std::string said = lastBotLine(move.log).substr(0, 300);
    // The hint may quote the bot's last line already.
    if (!said.empty() && move.hint.find(said) == std::string::npos)
        problem += "; its last line on standard error: " + said;
    if (!move.hint.empty())
        problem += "; " + move.hint;
    return problem;
}

} // namespace vorlen
