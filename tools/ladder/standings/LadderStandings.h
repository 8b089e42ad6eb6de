#pragma once

#include "LadderStore.h"
#include "Summary.h"
#include "Tally.h"

#include <cstddef>
#include <optional>
#include <string>

namespace vorlen::ladder {

// The current versions and their results between them, as vorlen-match's
// statistics take a tournament: what the standings are made of, in text or
// on a page.
struct LadderField {
    std::vector<VersionRow> current;
    match::Tally tally;
    match::RunFacts facts;
};

// None when no version is ready to play.
std::optional<LadderField> ladderField(LadderStore& store, std::size_t top);

// The standings of the current versions, as vorlen-match prints a
// tournament's, from the results the store keeps summed: the field's mean at
// 0, the tables between the top `top`. Computed afresh.
std::string computeStandings(LadderStore& store, std::size_t top);

// The same, from the store's copy when nothing has changed since it was
// made (no match landed, no version came or went), else computed and kept:
// at a contest's size a computation takes seconds, and the runner keeps the
// copy current as it plays.
std::string currentStandings(LadderStore& store, std::size_t top);

// Computes and keeps the standings, and at `now` (none: not) each current
// version's rating for its history; how long that took, in seconds.
double refreshStandings(LadderStore& store, std::size_t top, const std::string& now = {});
// Keeps each current version's rating at `now`, an hour after its last.
void keepRatings(LadderStore& store, std::size_t top, const std::string& now);

// The tables between this many leaders, unless said otherwise.
inline constexpr std::size_t kStandingsTop = 20;

} // namespace vorlen::ladder
