#pragma once

#include "MatchConfig.h"
#include "MatchRecord.h"

#include <array>
#include <map>
#include <string>

namespace vorlen::match {

// Elo difference of a player over its opponent from its results, with the
// half-width of the 95 % confidence interval. Infinite when it won or lost
// every game; not a number when nothing was played.
struct EloEstimate {
    double difference;
    double error;
};
EloEstimate estimateElo(int wins, int draws, int losses);

// Results per player, not per seat: player A is --first, B is --second.
class Tally {
public:
    struct Player {
        int wins = 0;
        int draws = 0;
        int losses = 0;
        long long scoreSum = 0;
        int moves = 0;
        double moveMsSum = 0;
        double maxMoveMs = 0;
        int nearLimit = 0;
        std::map<std::string, int> retirements;

        int games() const { return wins + draws + losses; }
    };

    void add(const MatchRecord& record);
    int matches() const { return matches_; }
    const Player& player(char name) const { return players_[name == 'A' ? 0 : 1]; }

    std::string summary(const MatchConfig& config, bool interrupted) const;

private:
    int matches_ = 0;
    std::array<Player, 2> players_;
};

} // namespace vorlen::match
