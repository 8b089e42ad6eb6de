#include "Summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vorlen::match {
namespace {

double eloOf(double points)
{
    if (points <= 0.0)
        return -std::numeric_limits<double>::infinity();
    if (points >= 1.0)
        return std::numeric_limits<double>::infinity();
    return -400.0 * std::log10(1.0 / points - 1.0);
}

std::string format(const char* pattern, auto... values)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, values...);
    return buffer;
}

std::string signedElo(double value)
{
    if (std::isinf(value))
        return value > 0 ? "+inf" : "-inf";
    return format("%+.1f", value);
}

} // namespace

EloEstimate estimateElo(int wins, int draws, int losses)
{
    const int games = wins + draws + losses;
    if (games == 0)
        return {std::nan(""), std::nan("")};
    const double n = games;
    const double points = (wins + 0.5 * draws) / n;
    // The spread of one game's points, then of their mean.
    const double variance = (wins * std::pow(1.0 - points, 2) + draws * std::pow(0.5 - points, 2)
                             + losses * std::pow(points, 2))
                            / n;
    const double margin = 1.959964 * std::sqrt(variance / n);
    const double low = eloOf(points - margin);
    const double high = eloOf(points + margin);
    return {eloOf(points), (high - low) / 2.0};
}

void Tally::add(const MatchRecord& record)
{
    ++matches_;
    const char winner = record.winner();
    for (const SeatRecord& seat : record.seats) {
        Player& player = players_[seat.player == 'A' ? 0 : 1];
        if (winner == 'D')
            ++player.draws;
        else if (winner == seat.player)
            ++player.wins;
        else
            ++player.losses;
        player.scoreSum += seat.score;
        player.moves += seat.times.moves;
        player.moveMsSum += seat.times.meanMs * seat.times.moves;
        player.maxMoveMs = std::max(player.maxMoveMs, seat.times.maxMs);
        player.nearLimit += seat.times.nearLimit;
        if (!seat.retired.empty())
            ++player.retirements[seat.retired];
    }
}

std::string Tally::summary(const MatchConfig& config, bool interrupted) const
{
    std::string text = format("Matches played: %d of %d%s%s\n", matches_, config.matchCount(),
                              config.swap ? " (every board in both seatings)" : "",
                              interrupted ? ", interrupted" : "");
    text += "  A = " + config.first + "\n  B = " + config.second + "\n";
    if (config.anyProgram())
        text += std::string("  bots ran ") + (config.bwrap.empty() ? "without a sandbox" : "in a sandbox (bubblewrap)") + "\n";
    text += "\n";
    text += "player   wins  draws  losses   points   mean score\n";
    for (const char name : {'A', 'B'}) {
        const Player& p = player(name);
        const double games = p.games() > 0 ? p.games() : 1;
        text += format("%-6c %6d %6d %7d  %6.1f %%  %11.1f\n", name, p.wins, p.draws, p.losses,
                       100.0 * (p.wins + 0.5 * p.draws) / games, p.scoreSum / games);
    }
    const Player& a = player('A');
    const EloEstimate elo = estimateElo(a.wins, a.draws, a.losses);
    if (a.games() > 0) {
        text += "\nElo difference A - B: " + signedElo(elo.difference);
        text += std::isfinite(elo.error) ? format(" +/- %.1f (95 %%)\n", elo.error)
                                         : std::string(" (error bar unbounded)\n");
    }
    text += "\nMove times:\n";
    for (const char name : {'A', 'B'}) {
        const Player& p = player(name);
        text += format("  %c: mean %.1f ms, largest %.1f ms, %d of %d moves within 10 %% of the %lld ms limit\n",
                       name, p.moves > 0 ? p.moveMsSum / p.moves : 0.0, p.maxMoveMs, p.nearLimit, p.moves,
                       static_cast<long long>(kMoveTimeLimit.count()));
    }
    text += "\nRetirements:\n";
    for (const char name : {'A', 'B'}) {
        text += format("  %c:", name);
        const auto& reasons = player(name).retirements;
        if (reasons.empty())
            text += " none";
        bool firstReason = true;
        for (const auto& [reason, count] : reasons) {
            text += format("%s %s %d", firstReason ? "" : ",", reason.c_str(), count);
            firstReason = false;
        }
        text += "\n";
    }
    return text;
}

} // namespace vorlen::match
