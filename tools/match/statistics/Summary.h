#pragma once

#include "MatchConfig.h"
#include "MatchRecord.h"
#include "SprtRun.h"
#include "Elo.h"
#include "Ratings.h"
#include "Tally.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vorlen::match {

// What the summary says of the run beyond the results: known from the
// options, or from the records alone.
struct RunFacts {
    std::vector<NamedPlayer> players; // in the run's order; the first is the anchor
    int matchCount = 0; // of this part of the run
    bool swap = false;
    std::string part;   // "shard I of N", or empty for a whole run
    bool anyProgram = false;
    bool sandboxed = false;
    std::string governance; // what held the boxes, as the records say
    std::string botEnv;     // the variables passed to the bots: "A B"
};
RunFacts factsOf(const MatchConfig& config);

// The summary: for two players, results, Elo difference, move times, how
// the matches ended and the failures; for more, standings by rating and a
// cross table in place of the Elo difference.
std::string summaryText(const Tally& tally, const RunFacts& run, bool interrupted, const SprtRun* sprt = nullptr);
// Bradley-Terry ratings of the players from their results against each other.
Ratings rateRun(const Tally& tally, const std::vector<std::string>& players);
// The standings part of it, for three players or more.
std::string standingsText(const Tally& tally, const RunFacts& run);
// The standings in one line, as a run's progress shows them: every player by
// points, with points and games, and its Elo once it is rated
// ("alpha 6.0/8 +35.2 +/- 80.1, beta 3.5/8 +0.0, gamma 0.5/8").
std::string standingsLine(const Tally& tally, const std::vector<std::string>& players);

// The Elo difference of the first of two players over the second: from
// board pairs when the run plays both seatings and has a whole pair, else
// from single matches.
struct FirstPlayerElo {
    EloEstimate elo;
    int samples; // pairs or matches
    bool byPairs;
};
FirstPlayerElo eloOfFirst(const Tally& tally, const std::string& first);

// Numbers as the summary writes them: what rounds to nothing has no sign
// ("+0.0", never "-0.0"), infinities are "+inf" and "-inf".
std::string signedElo(double value);
std::string formatted(const char* pattern, auto... values)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, values...);
    return buffer;
}

} // namespace vorlen::match
