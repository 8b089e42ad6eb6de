#pragma once

#include "Palette.h"
#include "Replay.h"

#include <array>
#include <string>
#include <vector>

namespace vorlen {

// A match as a web page that opens from disk in any browser: the board on a
// canvas, the players, scores and score chart, the moves, each bot's log at
// each turn, and a timeline. The page draws what the referee computed: for
// every cell, the turn it joined a seat's region, and each region's colour
// after every turn (whole boards where that would not say it all), and at
// its end who won and how. Its script and style sheet are inside it: the
// page works alone, copied or mailed.
struct MatchPageSettings {
    std::string title;  // "game 3", say
    std::string backTo; // a page to link back to ("index.html"); empty: none
    Palette palette = classicPalette();
    std::array<std::string, 2> names{}; // as a run names the players; empty: by their programs
    // What search players make of each position, shown beside the board:
    // the levels written into the page, or an address the page asks for a
    // level's evaluation (MatchEvaluation.h) by adding the level to it.
    std::vector<int> evaluationLevels;
    std::string evaluationSource;
};

// False, with the problem, when the replay does not check out.
bool matchPageHtml(const Replay& replay, const MatchPageSettings& settings, std::string& html, std::string& problem);

// Writes the page at `path`.
bool writeMatchPage(const std::string& path, const Replay& replay, const MatchPageSettings& settings,
                    std::string& problem);

// The shared files of a run's index: "vorlen.js" and "vorlen.css".
bool writeWebAssets(const std::string& folder, std::string& problem);

// A page's name for a replay file's: "game-3.json" -> "game-3.html".
std::string pageNameFor(const std::string& replayName);

} // namespace vorlen
