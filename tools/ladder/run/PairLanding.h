#pragma once

#include "LadderStore.h"
#include "PairPlay.h"

#include <array>
#include <string>
#include <vector>

namespace vorlen::ladder {

// A stored pair's two seats: its versions, each in its folder's built copy
// (or its source, when nothing is built), under the ladder's `root`.
std::array<match::NamedPlayer, 2> pairSeats(const std::string& root, const VersionRow& first,
                                            const VersionRow& second);

// Lands a played pair whole, its matches numbered across the ladder, and
// pauses a bot that has now failed `pauseAfter` matches in a row. What it
// says: the pair's line, then any pause. The caller holds the store alone.
std::vector<std::string> landPair(LadderStore& store, const PairRow& pair, const VersionRow& first,
                                  const VersionRow& second, const PairOutcome& outcome, int pauseAfter,
                                  const std::string& now);

// Plays a stored pair where it stands (a cluster's node) and lands it, as
// `run` does on its own machine; what it says, or why it could not.
struct PairJob {
    std::vector<std::string> said;
    std::string error;
};
PairJob playStoredPair(const std::string& root, LadderStore& store, std::int64_t pair, const PlaySettings& settings,
                       int pauseAfter, const std::string& now);

} // namespace vorlen::ladder
