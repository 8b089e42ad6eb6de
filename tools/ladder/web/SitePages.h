#pragma once

#include "LadderStore.h"
#include "StandingsBoard.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorlen::ladder {

// A match as a list shows it.
struct MatchLine {
    std::int64_t id = 0;
    std::string played;
    std::string first;
    std::string second;
    int firstScore = 0;
    int secondScore = 0;
    std::string end; // how it ended, where a seat failed: "first: time limit"
};

struct VersionLine {
    VersionRow version;
    std::int64_t matches = 0;
};

// What a bot's page shows: to anyone, no logs, no command lines, no files,
// no reasons (they quote what the bot wrote).
struct BotView {
    BotRow bot;
    bool owner = false; // its owner or an admin looks: the reasons too
    std::vector<VersionLine> versions; // the latest first
    std::vector<MatchLine> matches;    // the latest first
};

// The site's pages as HTML, every participant's text escaped: plain
// functions of what they show.
std::string standingsPageHtml(const StandingsView& view);
std::string botPageHtml(const BotView& view);
std::string matchesPageHtml(const std::vector<MatchLine>& matches);
// A page that only says something: "Not found", say.
std::string messagePageHtml(const std::string& title, const std::string& text);

} // namespace vorlen::ladder
