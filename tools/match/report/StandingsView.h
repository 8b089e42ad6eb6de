#pragma once

#include "IndexPage.h"
#include "StandingRows.h"
#include "Tally.h"

#include <vector>

namespace vorlen::match {

// The standings' rows as a page shows them: Elo with its interval, the
// likelihood over the next one down, failures with their counts and hints.
std::vector<IndexStanding> indexStandings(const std::vector<StandingRow>& rows);

// The cross table's results (crossResults) as its cells: "points/games" and
// the row player's share.
std::vector<std::vector<std::pair<std::string, double>>> crossCells(
    const std::vector<std::vector<Tally::Results>>& cross);

} // namespace vorlen::match
