#include "StandingRows.h"

#include "PairingLikelihood.h"
#include "Retirement.h"

#include <algorithm>
#include <cmath>

namespace vorlen::match {
namespace {

// The Elo column of two players: what the summary says of the same run.
std::vector<std::string> twoPlayerElo(const Tally& tally, const RunFacts& run)
{
    std::vector<std::string> texts(2, "-");
    if (tally.player(run.players[0].name).games() == 0)
        return texts;
    const EloEstimate elo = eloOfFirst(tally, run.players[0].name).elo;
    texts[0] = eloWithRange(elo.difference, elo.low, elo.high);
    texts[1] = "+0.0 (anchor)";
    return texts;
}

std::vector<std::string> ratedElo(const Ratings& ratings)
{
    std::vector<std::string> texts(ratings.elo.size(), "-");
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (ratings.standing[i] == Standing::Rated)
            texts[i] = std::isnan(ratings.low[i]) ? signedElo(ratings.elo[i]) + " (anchor)"
                                                  : eloWithRange(ratings.elo[i], ratings.low[i], ratings.high[i]);
    return texts;
}

} // namespace

std::vector<StandingRow> standingRows(const Tally& tally, const RunFacts& run)
{
    const bool two = run.players.size() == 2;
    const std::vector<std::string> names = playerNames(run);
    const Ratings ratings = two ? Ratings() : rateRun(tally, names, anchorOf(run));
    const std::vector<std::string> elo = two ? twoPlayerElo(tally, run) : ratedElo(ratings);
    std::vector<StandingRow> rows;
    for (std::size_t i = 0; i < run.players.size(); ++i) {
        const NamedPlayer& player = run.players[i];
        const Tally::Player& p = tally.player(player.name);
        StandingRow row{player.name, player.command(), elo[i], p.points(), p.wins, p.draws, p.losses, {}, {}, {}};
        if (!two && ratings.standing[i] == Standing::Rated && std::isfinite(ratings.low[i])
            && std::isfinite(ratings.high[i]))
            row.rated = StandingRow::Rated{ratings.elo[i], ratings.low[i], ratings.high[i]};
        for (const auto& [reason, count] : p.retirements) {
            if (isGameEnd(reason))
                continue;
            const auto hint = p.hints.find(reason);
            row.failures.push_back({reason, count, hint == p.hints.end() ? std::string() : hint->second.second});
        }
        rows.push_back(std::move(row));
    }
    if (two) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const StandingRow& a, const StandingRow& b) { return a.points > b.points; });
        if (tally.player(run.players[0].name).games() > 0) {
            const double firstOverSecond = eloOfFirst(tally, run.players[0].name).elo.los;
            rows[0].losOverNext = rows[0].name == run.players[0].name ? firstOverSecond : 1.0 - firstOverSecond;
        }
        return rows;
    }
    // As the summary's standings list them.
    const std::vector<int> order = standingOrder(tally, names, ratings);
    std::vector<StandingRow> ordered;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto i = static_cast<std::size_t>(order[k]);
        ordered.push_back(std::move(rows[i]));
        if (k + 1 < order.size() && ratings.standing[i] == Standing::Rated
            && ratings.standing[static_cast<std::size_t>(order[k + 1])] == Standing::Rated)
            ordered.back().losOverNext =
                pairingLikelihood(tally, ratings, names[i], order[k], names[static_cast<std::size_t>(order[k + 1])],
                                  order[k + 1]).value;
    }
    return ordered;
}

std::string standingsNote(const Tally& tally, const RunFacts& run)
{
    if (run.players.size() != 2) {
        const std::vector<std::string> names = playerNames(run);
        const Ratings ratings = rateRun(tally, names, anchorOf(run));
        const auto rated = std::count(ratings.standing.begin(), ratings.standing.end(), Standing::Rated);
        return smallSampleNote(tally, names) + manyComparisonsNote(static_cast<int>(rated));
    }
    if (tally.player(run.players[0].name).games() == 0)
        return {};
    const FirstPlayerElo first = eloOfFirst(tally, run.players[0].name);
    if (first.elo.samples >= kFewSamples)
        return {};
    return "A small sample (" + samplesText(first.elo.samples, first.byPairs) + ", under " + std::to_string(kFewSamples)
           + "): a first look, not a verdict\n";
}

std::vector<std::vector<Tally::Results>> crossResults(const Tally& tally, const std::vector<StandingRow>& rows,
                                                      std::size_t top)
{
    std::vector<std::vector<Tally::Results>> cross;
    if (rows.size() <= 2)
        return cross;
    const std::size_t shown = top == 0 ? rows.size() : std::min(top, rows.size());
    for (std::size_t row = 0; row < shown; ++row) {
        cross.emplace_back();
        for (std::size_t column = 0; column < shown; ++column)
            cross.back().push_back(row == column ? Tally::Results{} : tally.between(rows[row].name, rows[column].name));
    }
    return cross;
}

} // namespace vorlen::match
