#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vorlen {

// One match in a run's index.
struct IndexMatch {
    int game = 0;
    std::string page; // its page, or empty when it has none
    std::string board;
    std::string first;
    std::string second;
    int firstScore = 0;
    int secondScore = 0;
    std::string winner;
    int turns = 0;
    std::string end; // how it ended, in a reader's words
};

// A player's line in the standings.
struct IndexStanding {
    std::string name;
    std::string command; // shown on hover
    std::string elo;
    double points = 0;
    long long wins = 0;
    long long draws = 0;
    long long losses = 0;
    std::vector<std::string> failures; // "time limit 3: hint"
    std::string losOverNext;           // "96.1 %": that it is stronger than the next one down; empty: not told
    std::string page;                  // where its name links to; empty: nowhere
    std::string owner;                 // who handed it in, where players have owners
};

// What a run's front page shows, worked out by whoever read the run.
struct IndexPage {
    std::vector<std::pair<std::string, std::string>> run; // name and value, in order
    std::string summary;     // the summary's text, shown as it is
    std::string standingsNote; // what the standings rest on, when it is little
    std::vector<double> llr; // the SPRT's course, a value a sample; empty without one
    double lower = 0;
    double upper = 0;
    std::vector<IndexMatch> matches;
    std::vector<IndexStanding> standings; // best first
    // Three players or more: "points/games" of the row player against the
    // column player, and its share of the points (for the shade), players as
    // in the standings; an empty cell where they did not meet.
    std::vector<std::vector<std::pair<std::string, double>>> cross;
};

// The page: the run's table, the SPRT's LLR chart, the standings with each
// player's failures, a table of every match (sorted by any column, filtered
// by player, result and failures) linking to its page, and the summary's
// text; a page without matches says none has ended.
std::string indexPageHtml(const IndexPage& page);

// The standings table, best first, with each player's failures, and the note
// on what they rest on.
std::string standingsTableHtml(const std::vector<IndexStanding>& standings, const std::string& note);
// The cross table (IndexPage::cross) of those players; empty without one.
std::string crossTableHtml(const std::vector<IndexStanding>& standings,
                           const std::vector<std::vector<std::pair<std::string, double>>>& cross);

} // namespace vorlen
