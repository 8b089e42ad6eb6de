// Standings of three players or more: ratings where results allow them,
// placed by results where they do not.
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
    case Standing::Above: return "won every game against " + anchor + "'s group, directly or through others";
    case Standing::Below: return "won no point from " + anchor + "'s group, directly or through others";
    case Standing::Apart: return "no results link it to " + anchor + "'s group";
    case Standing::NoGames:
    case Standing::Rated: break;
    }
    return {};
}

// Where results put a player: above the rated group when it lost no point
// to it, below when it won none, those without a link after, those without
// games last.
int place(Standing standing)
{
    switch (standing) {
    case Standing::Above: return 0;
    case Standing::Rated: return 1;
    case Standing::Below: return 2;
    case Standing::Apart: return 3;
    case Standing::NoGames: break;
    }
    return 4;
}

std::string anchorWords(const Ratings& ratings, const RunFacts& run)
{
    if (ratings.poolMean)
        return "the rated players' mean at 0 (--anchor mean)";
    const std::string& name = run.players[ratings.anchor].name;
    if (!run.anchor.empty() && run.anchor == name)
        return name + " at 0 (--anchor)";
    return name + " at 0 (" + (ratings.anchor == 0 ? "the first player" : "the first rated player") + ")";
}

} // namespace

std::string smallSampleNote(const Tally& tally, const std::vector<std::string>& names)
{
    Count fewest = -1;
    for (std::size_t a = 0; a < names.size(); ++a)
        for (std::size_t b = a + 1; b < names.size(); ++b) {
            const std::array<Count, 5> pairs = tally.pairsBetween(names[a], names[b]);
            const Count samples = tally.pairs() ? std::accumulate(pairs.begin(), pairs.end(), Count{0})
                                              : tally.between(names[a], names[b]).games();
            if (tally.between(names[a], names[b]).games() > 0 && (fewest < 0 || samples < fewest))
                fewest = samples;
        }
    if (fewest < 0 || fewest >= kFewSamples)
        return {};
    return "Small samples: a pairing has " + samplesText(fewest, tally.pairs()) + " (under "
           + std::to_string(kFewSamples) + "): a first look, not a verdict\n";
}


RatingAnchor anchorOf(const RunFacts& run)
{
    for (std::size_t i = 0; i < run.players.size(); ++i)
        if (run.players[i].name == run.anchor)
            return {static_cast<int>(i), false};
    return {-1, run.anchor == kPoolMeanAnchor};
}

Ratings rateRun(const Tally& tally, const std::vector<std::string>& players, RatingAnchor anchor)
{
    const int count = static_cast<int>(players.size());
    std::vector<HeadToHead> results;
    for (int a = 0; a < count; ++a)
        for (int b = a + 1; b < count; ++b) {
            const Tally::Results r = tally.between(players[a], players[b]);
            if (r.games() == 0)
                continue;
            const std::array<Count, 5> pairs = tally.pairsBetween(players[a], players[b]);
            const bool byPairs = std::accumulate(pairs.begin(), pairs.end(), Count{0}) > 0;
            results.push_back({a, b, r.wins, r.draws, r.losses,
                               byPairs ? effectiveGames(pairs, kPairScores)
                                       : effectiveGames(std::array{r.losses, r.draws, r.wins}, kMatchScores)});
        }
    return rateByBradleyTerry(count, results, anchor);
}

std::vector<int> standingOrder(const Tally& tally, const std::vector<std::string>& players, const Ratings& ratings)
{
    const auto points = [&](int i) { return tally.player(players[i]).points(); };
    std::vector<int> order(players.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const int px = place(ratings.standing[x]);
        const int py = place(ratings.standing[y]);
        if (px != py)
            return px < py;
        // Ratings equal to a hundredth of a point are a tie, whatever the
        // rounding noise of the fit: points decide.
        const auto hundredths = [&](int i) { return std::llround(ratings.elo[i] * 100); };
        if (px == 1 && hundredths(x) != hundredths(y))
            return hundredths(x) > hundredths(y);
        return points(x) > points(y);
    });
    return order;
}

std::string standingsLine(const Tally& tally, const std::vector<std::string>& players, RatingAnchor anchor)
{
    const Ratings ratings = rateRun(tally, players, anchor);
    std::string line;
    for (const int i : standingOrder(tally, players, ratings)) {
        const Tally::Player& p = tally.player(players[i]);
        line += (line.empty() ? "" : ", ") + players[i] + formatted(" %.1f/%lld", p.points(), p.games());
        if (ratings.standing[i] == Standing::Rated)
            line += " " + (std::isnan(ratings.low[i]) ? signedElo(ratings.elo[i])
                                                      : eloWithRange(ratings.elo[i], ratings.low[i], ratings.high[i]));
    }
    return line;
}

std::string standingsText(const Tally& tally, const RunFacts& run)
{
    const std::vector<std::string> names = playerNames(run);
    const RatingAnchor chosen = anchorOf(run);
    const Ratings ratings = rateRun(tally, names, chosen);
    const std::vector<int> order = standingOrder(tally, names, ratings);
    const int w = nameWidth(run);
    std::string text = ratings.anchor >= 0
                           ? "\nStandings (Elo by Bradley-Terry, " + anchorWords(ratings, run) + ", 95 % intervals"
                                 + (tally.pairs() ? " from board pairs" : "") + "):\n"
                           : std::string("\nStandings (no ratings: no two players have results both ways):\n");
    text += formatted("rank  %-*s      elo  %-24s  points         W         D         L    matches\n", w, "player",
                      "95 % interval");
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        const int i = order[rank];
        const Tally::Player& p = tally.player(names[i]);
        const bool rated = ratings.standing[i] == Standing::Rated;
        const bool ranged = rated && !std::isnan(ratings.low[i]);
        text += formatted("%4zu  %-*s  %7s  %-24s  %6.1f  %8lld  %8lld  %8lld  %9lld\n", rank + 1, w, names[i].c_str(),
                          rated ? signedElo(ratings.elo[i]).c_str() : "-",
                          ranged ? eloRange(ratings.low[i], ratings.high[i]).c_str() : "-", p.points(), p.wins, p.draws,
                          p.losses, p.games());
    }

    std::string notes;
    const std::string anchor = ratings.anchor >= 0 ? names[ratings.anchor] : std::string();
    const int wanted = chosen.player >= 0 ? chosen.player : 0;
    if (ratings.anchor >= 0 && ratings.anchor != wanted)
        notes += "  " + names[wanted]
                 + (ratings.standing[wanted] == Standing::NoGames ? " has no matches" : " has no finite rating")
                 + ", so " + anchor + " is the reference\n";
    for (const int i : order) {
        const Standing standing = ratings.standing[i];
        if (standing == Standing::NoGames)
            notes += "  " + names[i] + ": no matches, left out\n";
        else if (standing != Standing::Rated && ratings.anchor >= 0)
            notes += "  " + names[i] + ": not comparable, " + whyNotRated(standing, anchor) + "\n";
    }
    if (!notes.empty())
        text += "Not rated:\n" + notes;
    return text + smallSampleNote(tally, names) + pairingTables(tally, run, order, ratings);
}

} // namespace vorlen::match
