#pragma once

#include "HeadToHead.h"

#include <string>
#include <vector>

namespace vorlen::match {

// Where a player stands against the rated group.
enum class Standing {
    Rated,
    NoGames, // played no match: left out
    Above,   // lost no point to the rated group, directly or through others
    Below,   // won no point from it, directly or through others
    Apart,   // no results link it to the rated group at all
};

// Who is at 0: a player (-1: the first who can be rated; a player who
// cannot gives way to that one), or the mean of the rated group.
struct RatingAnchor {
    int player = -1;
    bool poolMean = false;
};

struct Ratings {
    int anchor = -1;       // the rated group's reference player; -1 when no two players can be rated
    bool poolMean = false; // the group's mean is at 0, not the anchor
    std::vector<double> elo;  // by player; rated players only
    std::vector<double> low;  // the 95 % interval: the anchor's own is none
    std::vector<double> high;
    std::vector<Standing> standing;
    // Of the ratings in natural-log units, by player, the anchor's row 0.
    std::vector<std::vector<double>> covariance;
};

// Maximum-likelihood Elo ratings under the Bradley-Terry model (a draw
// counts half a win for each side). A finite fit exists only among players
// joined by results both ways (each has scored against, and lost points to,
// the others through some chain): the anchor's group is rated; everyone
// else is placed against that group, not rated.
//
// Intervals: the Fisher information, each pairing weighing its effective
// games, inverted, gives each rating's standard error s; a rating r then
// counts as n = 1 / (s^2 p (1 - p)) win-or-lose games at the expected score
// p of r, and its interval is Wilson's on those, in Elo. Between two players
// this is the two-player interval exactly.
Ratings rateByBradleyTerry(int playerCount, const std::vector<HeadToHead>& results, RatingAnchor anchor = {});

// The chance that rated player i is stronger than rated player j, from their
// ratings and covariance.
double likelihoodOfSuperiority(const Ratings& ratings, int i, int j);

} // namespace vorlen::match
