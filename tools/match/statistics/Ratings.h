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

// Where a player stands against the rated group.
enum class Standing {
    Rated,
    NoGames, // played no match: left out
    Above,   // lost no point to the rated group, directly or through others
    Below,   // won no point from it, directly or through others
    Apart,   // no results link it to the rated group at all
};

struct Ratings {
    int anchor = -1;              // the player at 0; -1 when no two players can be rated
    std::vector<double> elo;      // by player; rated players only
    std::vector<double> error;    // half-width of the 95 % interval
    std::vector<Standing> standing;
};

// Maximum-likelihood Elo ratings under the Bradley-Terry model (a draw
// counts half a win for each side), with 95 % error bars from the inverse of
// the Fisher information. A finite fit exists only among players joined by
// results both ways (each has scored against, and lost points to, the
// others through some chain): the group of the first player who has such
// partners is rated, with that player at 0; everyone else is placed against
// that group, not rated.
Ratings rateByBradleyTerry(int playerCount, const std::vector<HeadToHead>& results);

} // namespace vorlen::match
