#pragma once

#include "MatchConfig.h"
#include "MatchRecord.h"
#include "SprtRun.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vorlen::match {

// Elo difference of a player over its opponent from its results, with the
// half-width of the 95 % confidence interval. Infinite when it won or lost
// every game; not a number when nothing was played.
struct EloEstimate {
    double difference;
    double error;
};
EloEstimate estimateElo(int wins, int draws, int losses);

// Results per player, not per seat, by the players' names.
class Tally {
public:
    struct Player {
        int wins = 0;
        int draws = 0;
        int losses = 0;
        long long scoreSum = 0;
        std::map<std::string, int> retirements;
        int moves = 0;
        double moveMsSum = 0;
        double maxMoveMs = 0;
        int nearLimit = 0;

        int games() const { return wins + draws + losses; }
        double points() const { return wins + 0.5 * draws; }
    };
    struct Results {
        int wins = 0; // of the pair's first name, in name order
        int draws = 0;
        int losses = 0;
    };

    void add(const MatchRecord& record);
    int matches() const { return matches_; }
    // A player who has not played yet has no results.
    const Player& player(const std::string& name) const;
    // Results of `a` against `b`, from a's side.
    Results between(const std::string& a, const std::string& b) const;

private:
    int matches_ = 0;
    std::map<std::string, Player> players_;
    std::map<std::pair<std::string, std::string>, Results> pairs_;
};

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
};
RunFacts factsOf(const MatchConfig& config);

// The summary: for two players, results, Elo difference, move times and
// retirements; for more, standings by rating and a cross table too.
std::string summaryText(const Tally& tally, const RunFacts& run, bool interrupted, const SprtRun* sprt = nullptr);

} // namespace vorlen::match
