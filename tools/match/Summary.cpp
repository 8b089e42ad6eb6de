#include "Summary.h"

#include "Ratings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

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
    // What rounds to nothing has no sign: never "-0.0".
    return format("%+.1f", std::fabs(value) < 0.05 ? 0.0 : value);
}

// A command line as a terminal may show it: control characters (an escape
// sequence, a NUL from a records file) written out as \xNN.
std::string printable(const std::string& text)
{
    std::string shown;
    for (const unsigned char ch : text) {
        if (ch >= 0x20 && ch != 0x7f) {
            shown += static_cast<char>(ch);
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", ch);
        shown += escaped;
    }
    return shown;
}

std::string errorBar(double error) { return std::isfinite(error) ? format("%.1f", error) : std::string("inf"); }

std::string header(const Tally& tally, const RunFacts& run, bool interrupted, bool stoppedBySprt)
{
    // A run the SPRT stopped has played its boards in both seatings, not every board.
    const char* seatings = !run.swap ? "" : stoppedBySprt ? " (boards in both seatings, until the SPRT decided)"
                                                          : " (every board in both seatings)";
    std::string text = format("Matches played: %d of %d%s%s%s\n", tally.matches(), run.matchCount, seatings,
                              run.part.empty() ? "" : (", " + run.part).c_str(), interrupted ? ", interrupted" : "");
    for (const NamedPlayer& player : run.players)
        text += "  " + player.name + " = " + printable(player.command) + "\n";
    if (run.anyProgram)
        text += std::string("  bots ran ")
                + (!run.sandboxed             ? "without a sandbox"
                   : run.governance.empty() ? "in a box per seat (bubblewrap)"
                                            : "in a box per seat (bubblewrap), held by " + run.governance)
                + "\n";
    return text;
}

std::string twoPlayerTable(const Tally& tally, const RunFacts& run)
{
    std::string text = "\nplayer   wins  draws  losses   points   mean score\n";
    for (const NamedPlayer& named : run.players) {
        const Tally::Player& p = tally.player(named.name);
        const double games = p.games() > 0 ? p.games() : 1;
        text += format("%-6s %6d %6d %7d  %6.1f %%  %11.1f\n", named.name.c_str(), p.wins, p.draws, p.losses,
                       100.0 * p.points() / games, p.scoreSum / games);
    }
    const Tally::Player& a = tally.player(run.players[0].name);
    if (a.games() > 0) {
        const EloEstimate elo = estimateElo(a.wins, a.draws, a.losses);
        text += "\nElo difference " + run.players[0].name + " - " + run.players[1].name + ": "
                + signedElo(elo.difference);
        text += std::isfinite(elo.error) ? format(" +/- %.1f (95 %%)\n", elo.error)
                                         : std::string(" (error bar unbounded)\n");
    }
    return text;
}

std::string standings(const Tally& tally, const RunFacts& run)
{
    const int count = static_cast<int>(run.players.size());
    std::vector<HeadToHead> results;
    for (int a = 0; a < count; ++a) {
        for (int b = a + 1; b < count; ++b) {
            const Tally::Results r = tally.between(run.players[a].name, run.players[b].name);
            if (r.wins + r.draws + r.losses > 0)
                results.push_back({a, b, r.wins, r.draws, r.losses});
        }
    }
    const std::vector<Rating> ratings = rateByBradleyTerry(count, results);
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        if (ratings[x].elo != ratings[y].elo)
            return ratings[x].elo > ratings[y].elo;
        return tally.player(run.players[x].name).points() > tally.player(run.players[y].name).points();
    });

    std::size_t width = 6;
    for (const NamedPlayer& player : run.players)
        width = std::max(width, player.name.size());
    const int w = static_cast<int>(width);
    std::string text = format("\nStandings (Elo by Bradley-Terry, %s at 0, 95 %% error bars):\n",
                              run.players[0].name.c_str());
    text += format("rank  %-*s      elo      +/-   points     W     D     L  matches\n", w, "player");
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        const int i = order[rank];
        const Tally::Player& p = tally.player(run.players[i].name);
        text += format("%4zu  %-*s  %7s  %7s  %7.1f  %4d  %4d  %4d  %7d\n", rank + 1, w, run.players[i].name.c_str(),
                       signedElo(ratings[i].elo).c_str(), i == 0 ? "-" : errorBar(ratings[i].error).c_str(), p.points(),
                       p.wins, p.draws, p.losses, p.games());
    }

    text += "\nCross table (points of the row's player against the column's / matches):\n";
    text += format("%4s  %-*s", "", w, "");
    for (std::size_t rank = 0; rank < order.size(); ++rank)
        text += format("  %9zu", rank + 1);
    text += "\n";
    for (std::size_t row = 0; row < order.size(); ++row) {
        text += format("%4zu  %-*s", row + 1, w, run.players[order[row]].name.c_str());
        for (const int column : order) {
            const Tally::Results r = tally.between(run.players[order[row]].name, run.players[column].name);
            const int games = r.wins + r.draws + r.losses;
            text += column == order[row] || games == 0 ? format("  %9s", "-")
                                                       : format("  %9s", format("%.1f/%d", r.wins + 0.5 * r.draws, games).c_str());
        }
        text += "\n";
    }
    return text;
}

std::string moveTimes(const Tally& tally, const RunFacts& run)
{
    std::string text = "\nMove times:\n";
    for (const NamedPlayer& named : run.players) {
        const Tally::Player& p = tally.player(named.name);
        text += format("  %s: mean %.1f ms, largest %.1f ms, %d of %d moves within 10 %% of the %lld ms limit\n",
                       named.name.c_str(), p.moves > 0 ? p.moveMsSum / p.moves : 0.0, p.maxMoveMs, p.nearLimit, p.moves,
                       static_cast<long long>(kMoveTimeLimit.count()));
    }
    return text;
}

std::string retirements(const Tally& tally, const RunFacts& run)
{
    std::string text = "\nRetirements:\n";
    for (const NamedPlayer& named : run.players) {
        text += "  " + named.name + ":";
        const auto& reasons = tally.player(named.name).retirements;
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
    const std::string winner = record.winner();
    for (const SeatRecord& seat : record.seats) {
        Player& player = players_[seat.player];
        if (winner == "D")
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
    const std::string& first = record.seats[0].player;
    const std::string& second = record.seats[1].player;
    const bool inOrder = first < second;
    Results& pair = pairs_[inOrder ? std::pair(first, second) : std::pair(second, first)];
    if (winner == "D")
        ++pair.draws;
    else if ((winner == first) == inOrder)
        ++pair.wins;
    else
        ++pair.losses;
}

const Tally::Player& Tally::player(const std::string& name) const
{
    static const Player none;
    const auto found = players_.find(name);
    return found == players_.end() ? none : found->second;
}

Tally::Results Tally::between(const std::string& a, const std::string& b) const
{
    const bool inOrder = a < b;
    const auto found = pairs_.find(inOrder ? std::pair(a, b) : std::pair(b, a));
    if (found == pairs_.end())
        return {};
    const Results& r = found->second;
    return inOrder ? r : Results{r.losses, r.draws, r.wins};
}

RunFacts factsOf(const MatchConfig& config)
{
    const std::string part = config.shards == 1 ? std::string()
                                                : format("shard %d of %d", config.shard, config.shards);
    return {config.players(), config.shardMatchCount(), config.swap, part, config.anyProgram(), config.boxed(), {}};
}

std::string summaryText(const Tally& tally, const RunFacts& run, bool interrupted, const SprtRun* sprt)
{
    const bool decided = sprt && sprt->decided();
    std::string text = header(tally, run, interrupted, decided && tally.matches() < run.matchCount);
    text += run.players.size() == 2 ? twoPlayerTable(tally, run) : standings(tally, run);
    if (sprt)
        text += format("\nSPRT elo0=%g elo1=%g alpha=%g beta=%g, %d %s: ", sprt->settings().elo0, sprt->settings().elo1,
                       sprt->settings().alpha, sprt->settings().beta, sprt->samples(),
                       run.swap ? "board pairs" : "matches")
                + sprt->text() + (decided || interrupted ? "" : ", limit reached, undecided") + "\n";
    text += moveTimes(tally, run);
    text += retirements(tally, run);
    return text;
}

} // namespace vorlen::match
