#pragma once

#include "FailedMoves.h"
#include "LadderStore.h"
#include "StandingsBoard.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorlen::ladder {

// Who a page is for, as its header shows: a signed-in user (with the form
// token that logs them out) or nobody.
struct SiteHeader {
    std::string user;
    std::string csrf;
    bool admin = false;
};

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
    bool buildLog = false; // one is kept (its owner may read it)
    std::vector<FailedMove> failures; // the latest first
};

// What a bot's page shows: to anyone, no logs, no command lines, no files,
// no reasons (they quote what the bot wrote).
struct BotView {
    BotRow bot;
    bool owner = false; // its owner or an admin looks: the reasons too
    std::vector<VersionLine> versions; // the latest first
    std::vector<MatchLine> matches;    // the latest first
    std::vector<RatingPoint> ratings;  // its latest version's over time
};

// A rating's course as a picture that needs no script: the interval as a
// band, the rating as a line, the first and last times under it.
std::string ratingChartSvg(const std::vector<RatingPoint>& points);

// The site's pages as HTML, every participant's text escaped: plain
// functions of what they show.
std::string standingsPageHtml(const StandingsView& view, const SiteHeader& header);
// Its owner sees the reasons, the build logs and a form to retire it.
std::string botPageHtml(const BotView& view, const SiteHeader& header);
std::string matchesPageHtml(const std::vector<MatchLine>& matches, const SiteHeader& header);
// A page that only says something: "Not found", say.
std::string messagePageHtml(const std::string& title, const std::string& text, const SiteHeader& header = {});
// Every page: its title, the site's links and who is signed in, the body.
std::string sitePageHtml(const std::string& title, const std::string& body, const SiteHeader& header);
// A form's hidden token.
std::string formTokenHtml(const std::string& csrf);

} // namespace vorlen::ladder
