#include "StandingsView.h"

#include "Summary.h"

namespace vorlen::match {

std::vector<IndexStanding> indexStandings(const std::vector<StandingRow>& rows)
{
    std::vector<IndexStanding> standings;
    for (const StandingRow& row : rows) {
        IndexStanding standing{row.name, row.command, row.elo, row.points, row.wins, row.draws, row.losses, {}, {}, {}, {}};
        if (row.losOverNext)
            standing.losOverNext = likelihoodText(*row.losOverNext);
        for (const StandingRow::Failure& failure : row.failures)
            standing.failures.push_back(failure.reason + " " + std::to_string(failure.count)
                                        + (failure.hint.empty() ? "" : ": " + failure.hint));
        standings.push_back(std::move(standing));
    }
    return standings;
}

std::vector<std::vector<std::pair<std::string, double>>> crossCells(
    const std::vector<std::vector<Tally::Results>>& cross)
{
    std::vector<std::vector<std::pair<std::string, double>>> cells;
    for (const auto& line : cross) {
        cells.emplace_back();
        for (const Tally::Results& r : line)
            cells.back().push_back({resultCell(r), r.games() ? r.points() / r.games() : 0.5});
    }
    return cells;
}

} // namespace vorlen::match
