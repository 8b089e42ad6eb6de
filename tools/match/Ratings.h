#pragma once

#include <string>
#include <vector>

namespace vorlen::match {

// Results between two players, from the first one's side.
struct HeadToHead {
    int a = 0;
    int b = 0;
    int wins = 0; // a's wins
    int draws = 0;
    int losses = 0;
};

struct Rating {
    double elo = 0;   // +inf / -inf for a player who won or lost every point
    double error = 0; // half-width of the 95 % interval; inf when unbounded
};

// Maximum-likelihood Elo ratings of `playerCount` players under the
// Bradley-Terry model (a draw counts half a win for each side), player 0
// anchored at 0, with 95 % error bars from the inverse of the Fisher
// information. Players who scored every point or none are rated +inf / -inf
// and left out of the fit of the others.
std::vector<Rating> rateByBradleyTerry(int playerCount, const std::vector<HeadToHead>& results);

} // namespace vorlen::match
