#pragma once

#include "MatchRecord.h"
#include "NamedPlayer.h"
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
    std::string anchor;     // who is at 0 in standings: a player, kPoolMeanAnchor, or empty for the first
    std::size_t tableTop = 0; // the tables between players show the top this many; 0: every player
};
// The command of a player the records name but never seat.
inline constexpr const char* kUnknownCommand = "?";
// --anchor's word for the rated players' mean.
inline constexpr const char* kPoolMeanAnchor = "mean";

// The summary: for two players, results, Elo difference, move times, how
// the matches ended and the failures; for more, standings by rating and a
// cross table in place of the Elo difference.
std::string summaryText(const Tally& tally, const RunFacts& run, bool interrupted, const SprtRun* sprt = nullptr);
// Bradley-Terry ratings of the players from their results against each other,
// each pairing weighing its board pairs where it played them.
Ratings rateRun(const Tally& tally, const std::vector<std::string>& players, RatingAnchor anchor = {});
RatingAnchor anchorOf(const RunFacts& run);
// The players by index as the standings list them: by where their results
// put them, then rating, then points.
std::vector<int> standingOrder(const Tally& tally, const std::vector<std::string>& players, const Ratings& ratings);
// The cross table, each pairing's board pairs and the likelihood-of-
// superiority matrix, players in `order`.
std::string pairingTables(const Tally& tally, const RunFacts& run, const std::vector<int>& order,
                          const Ratings& ratings);
// What many likelihoods at once are worth, for `rated` players compared in
// every pairing: empty below three comparisons.
std::string manyComparisonsNote(int rated);
// The standings part of it, for three players or more.
std::string standingsText(const Tally& tally, const RunFacts& run);
// The standings in one line, as a run's progress shows them: every player in
// the standings' order, with points and games, and its Elo once it is rated
// ("alpha 6.0/8 +35.2 [-40.1, +110.3], beta 3.5/8 +0.0, gamma 0.5/8").
std::string standingsLine(const Tally& tally, const std::vector<std::string>& players, RatingAnchor anchor = {});

// The Elo difference of the first of two players over the second: from
// board pairs when the run plays both seatings and has a whole pair, else
// from single matches.
struct FirstPlayerElo {
    EloEstimate elo; // its samples: pairs or matches
    bool byPairs;
};
FirstPlayerElo eloOfFirst(const Tally& tally, const std::string& first);
// Fewer samples than this and the summary says the sample is small.
inline constexpr int kFewSamples = 30;

// The run's player names in order, and the width of a column that holds them.
std::vector<std::string> playerNames(const RunFacts& run);
// Said when some pairing that played has fewer samples than a verdict
// needs; empty otherwise.
std::string smallSampleNote(const Tally& tally, const std::vector<std::string>& names);
int nameWidth(const RunFacts& run);
// A cross table's cell: points over matches ("3.5/6"), empty when none were played.
std::string resultCell(const Tally::Results& results);
// Samples as the summary counts them: "1 board pair", "3 matches".
std::string samplesText(Count count, bool pairs);

// Numbers as the summary writes them: what rounds to nothing has no sign
// ("+0.0", never "-0.0"), infinities are "+inf" and "-inf".
std::string signedElo(double value);
// An interval as it is, never as a symmetric bar: "[+147.0, +585.0]", with
// "-∞" or "+∞" only for a bound that does not exist.
std::string eloRange(double low, double high);
// An estimate with its interval: "+279.6 [+147.0, +585.0]"; an infinite
// one (every point to one side) as what it is: "no finite estimate [+147.0, +∞]".
std::string eloWithRange(double value, double low, double high);
// A likelihood as a percentage to a tenth, never rounded to a certainty it
// is not: "97.4", "> 99.9", "< 0.1"; "100" and "0" only when exact.
std::string likelihoodNumber(double p);
// The same with its unit: "97.4 %", "> 99.9 %".
std::string likelihoodText(double p);

// printf into a string of any length; the compiler checks each pattern
// against its values.
std::string formatted(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

} // namespace vorlen::match
