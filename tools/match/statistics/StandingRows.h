#pragma once

#include "Summary.h"

#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

// A player's line in a run's standings table, as the report shows it.
struct StandingRow {
    std::string name;
    std::string command;
    std::string elo;   // "+35.2 [-40.1, +110.3]", "+0.0 (anchor)", or "-" when not rated
    double points = 0;
    long long wins = 0;
    long long draws = 0;
    long long losses = 0;
    struct Failure {
        std::string reason;
        long long count = 0;
        std::string hint; // how to fix it, when that was told
    };
    std::vector<Failure> failures; // its failures by reason, the game's own ends left out
    // The likelihood that it is stronger than the next player down; none
    // for the last, or where either is not rated.
    std::optional<double> losOverNext;
    // Its rating as numbers, where it is rated among three or more.
    struct Rated {
        double elo = 0;
        double low = 0;
        double high = 0;
    };
    std::optional<Rated> rated;
};

// Every player of the run: of two, most points first (ties in the run's
// order); of more, in the order of the summary's standings. Elo:
// for two players the first's difference over the second, who is at 0; for
// more, ratings by Bradley-Terry with the anchor at 0.
std::vector<StandingRow> standingRows(const Tally& tally, const RunFacts& run);

// Three players or more: each pairing's results from the row player's side,
// players as in `rows`, the first `top` of them (0: all); none on the
// diagonal. None for two players.
std::vector<std::vector<Tally::Results>> crossResults(const Tally& tally, const std::vector<StandingRow>& rows,
                                                      std::size_t top = 0);

// What the standings rest on, said beside them: a small sample, a first
// look and not a verdict; empty when the samples are enough.
std::string standingsNote(const Tally& tally, const RunFacts& run);

} // namespace vorlen::match
