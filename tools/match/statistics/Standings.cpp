// Standings of three players or more: ratings where results allow them, a
// cross table of all.
#include "Summary.h"

#include "Ratings.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vorlen::match {
namespace {

std::string whyNotRated(Standing standing, const std::string& anchor)
{
    switch (standing) {
    case Standing::Above: return "lost no point to " + anchor + "'s group, directly or through others";
    case Standing::Below: return "won no point from " + anchor + "'s group, directly or through others";
    case Standing::Apart: return "no results link it to " + anchor + "'s group";
    case Standing::NoGames:
    case Standing::Rated: break;
    }
    return {};
}

std::string crossTable(const Tally& tally, const RunFacts& run, const std::vector<int>& order, int w)
{
    std::string text = "\nCross table (points of the row's player against the column's / matches):\n";
    text += formatted("%4s  %-*s", "", w, "");
    for (std::size_t rank = 0; rank < order.size(); ++rank)
        text += formatted("  %11zu", rank + 1);
    text += "\n";
    for (std::size_t row = 0; row < order.size(); ++row) {
        const std::string& name = run.players[order[row]].name;
        text += formatted("%4zu  %-*s", row + 1, w, name.c_str());
        for (const int column : order) {
            const Tally::Results r = tally.between(name, run.players[column].name);
            text += column == order[row] || r.games() == 0
                        ? formatted("  %11s", "-")
                        : formatted("  %11s", formatted("%.1f/%d", r.points(), r.games()).c_str());
        }
        text += "\n";
    }
    return text;
}

} // namespace

Ratings rateRun(const Tally& tally, const std::vector<std::string>& players)
{
    const int count = static_cast<int>(players.size());
    std::vector<HeadToHead> results;
    for (int a = 0; a < count; ++a)
        for (int b = a + 1; b < count; ++b)
            if (const Tally::Results r = tally.between(players[a], players[b]); r.games() > 0)
                results.push_back({a, b, r.wins, r.draws, r.losses});
    return rateByBradleyTerry(count, results);
}

std::string standingsLine(const Tally& tally, const std::vector<std::string>& players)
{
    const int count = static_cast<int>(players.size());
    const Ratings ratings = rateRun(tally, players);
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        return tally.player(players[x]).points() > tally.player(players[y]).points();
    });
    std::string line;
    for (const int i : order) {
        const Tally::Player& p = tally.player(players[i]);
        line += (line.empty() ? "" : ", ") + players[i] + formatted(" %.1f/%d", p.points(), p.games());
        if (ratings.standing[i] == Standing::Rated)
            line += " " + signedElo(ratings.elo[i])
                    + (i != ratings.anchor && std::isfinite(ratings.error[i]) ? formatted(" +/- %.1f", ratings.error[i])
                                                                              : std::string());
    }
    return line;
}

std::string standingsText(const Tally& tally, const RunFacts& run)
{
    const int count = static_cast<int>(run.players.size());
    std::vector<std::string> names;
    for (const NamedPlayer& player : run.players)
        names.push_back(player.name);
    const Ratings ratings = rateRun(tally, names);
    const auto rated = [&](int i) { return ratings.standing[i] == Standing::Rated; };
    const auto points = [&](int i) { return tally.player(run.players[i].name).points(); };
    // Where results put a player: above the rated group when it lost no point
    // to it, below when it won none, those without a link after, those
    // without games last.
    const auto place = [&](int i) {
        switch (ratings.standing[i]) {
        case Standing::Above: return 0;
        case Standing::Rated: return 1;
        case Standing::Below: return 2;
        case Standing::Apart: return 3;
        case Standing::NoGames: break;
        }
        return 4;
    };
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        if (place(x) != place(y))
            return place(x) < place(y);
        if (rated(x) && ratings.elo[x] != ratings.elo[y])
            return ratings.elo[x] > ratings.elo[y];
        return points(x) > points(y);
    });

    std::size_t width = 6;
    for (const NamedPlayer& player : run.players)
        width = std::max(width, player.name.size());
    const int w = static_cast<int>(width);
    const std::string anchor = ratings.anchor >= 0 ? run.players[ratings.anchor].name : std::string();
    std::string text = ratings.anchor >= 0
                           ? formatted("\nStandings (Elo by Bradley-Terry, %s at 0, 95 %% error bars):\n", anchor.c_str())
                           : std::string("\nStandings (no ratings: no two players have results both ways):\n");
    text += formatted("rank  %-*s      elo      +/-     points         W         D         L    matches\n", w, "player");
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        const int i = order[rank];
        const Tally::Player& p = tally.player(run.players[i].name);
        const bool shown = rated(i);
        text += formatted("%4zu  %-*s  %7s  %7s  %9.1f  %8d  %8d  %8d  %9d\n", rank + 1, w, run.players[i].name.c_str(),
                          shown ? signedElo(ratings.elo[i]).c_str() : "-",
                          shown && i != ratings.anchor ? formatted("%.1f", ratings.error[i]).c_str() : "-", p.points(),
                          p.wins, p.draws, p.losses, p.games());
    }

    std::string notes;
    if (ratings.anchor > 0)
        notes += "  " + run.players[0].name
                 + (ratings.standing[0] == Standing::NoGames ? " has no matches" : " has no finite rating") + ", so "
                 + anchor + " is at 0\n";
    for (const int i : order) {
        const Standing standing = ratings.standing[i];
        if (standing == Standing::NoGames)
            notes += "  " + run.players[i].name + ": no matches, left out\n";
        else if (standing != Standing::Rated && ratings.anchor >= 0)
            notes += "  " + run.players[i].name + ": not comparable, " + whyNotRated(standing, anchor) + "\n";
    }
    if (!notes.empty())
        text += "Not rated:\n" + notes;
    return text + crossTable(tally, run, order, w);
}

} // namespace vorlen::match
