#pragma once

namespace vorlen::match {

// Results between two players, from the first one's side.
struct HeadToHead {
    int a = 0;
    int b = 0;
    long long wins = 0; // a's wins
    long long draws = 0;
    long long losses = 0;
    // What the results are worth as win-or-lose games (see effectiveGames);
    // from board pairs where the pairing played them. 0: the matches played.
    double effectiveGames = 0;
};

} // namespace vorlen::match
