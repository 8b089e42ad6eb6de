#include "SitePages.h"

#include "HtmlText.h"

#include <algorithm>
#include <cstdio>

namespace vorlen::ladder {
namespace {


// The part of a page that the site's script keeps current.
std::string live(const std::string& html) { return "<div id=\"live\">\n" + html + "</div>\n"; }

std::string matchTable(const std::vector<MatchLine>& matches)
{
    if (matches.empty())
        return "<p>No matches yet.</p>\n";
    std::string html = "<table class=\"matches\">\n<thead><tr><th>match</th><th class=\"text\">played</th>"
                       "<th class=\"text\">first</th><th>score</th><th class=\"text\">second</th>"
                       "<th class=\"text\">how it ended</th></tr></thead>\n<tbody>\n";
    for (const MatchLine& line : matches) {
        const std::string id = std::to_string(line.id);
        html += "<tr><td><a href=\"/matches/" + id + "\">" + id + "</a></td><td class=\"text\">"
                + escapedHtml(line.played) + "</td><td class=\"text\">" + escapedHtml(line.first) + "</td><td>"
                + std::to_string(line.firstScore) + " - " + std::to_string(line.secondScore)
                + "</td><td class=\"text\">" + escapedHtml(line.second) + "</td><td class=\"text\">"
                + escapedHtml(line.end) + "</td></tr>\n";
    }
    return html + "</tbody></table>\n";
}

} // namespace

std::string formTokenHtml(const std::string& csrf)
{
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + escapedHtml(csrf) + "\">";
}

// The report's style sheet and the ladder's few rules beside it; the links,
// and who is signed in with the form that logs them out.
std::string sitePageHtml(const std::string& title, const std::string& body, const SiteHeader& header)
{
    const std::string who = header.user.empty()
                                ? "<a href=\"/login\">Log in</a> <a href=\"/signup\">Sign up</a>"
                                : std::string(header.admin ? "<a href=\"/admin\">Organisers</a> " : "") + "<a href=\"/users/"
                                      + escapedHtml(header.user) + "\">" + escapedHtml(header.user)
                                      + "</a> <form method=\"post\" action=\"/logout\" class=\"inline\">"
                                      + formTokenHtml(header.csrf) + "<button>Log out</button></form>";
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
           + escapedHtml(title) + " · vorlen ladder</title>\n<link rel=\"stylesheet\" href=\"/vorlen.css\">\n"
           "<link rel=\"stylesheet\" href=\"/ladder.css\">\n</head>\n<body class=\"index ladder\">\n"
           "<nav><a href=\"/\">Standings</a> <a href=\"/matches\">Matches</a> <span class=\"who\">"
           + who + "</span></nav>\n<h1>" + escapedHtml(title) + "</h1>\n" + body
           + "<script src=\"/ladder.js\" defer></script>\n</body>\n</html>\n";
}

std::string standingsPageHtml(const StandingsView& view, const SiteHeader& header)
{
    if (!view.empty.empty())
        return sitePageHtml("vorlen ladder", live("<p id=\"standings-empty\">" + escapedHtml(view.empty) + "</p>\n"),
                            header);
    return sitePageHtml("vorlen ladder",
                        live(standingsTableHtml(view.rows, view.note) + crossTableHtml(view.rows, view.cross)), header);
}

std::string botPageHtml(const BotView& view, const SiteHeader& header)
{
    std::string html = "<p class=\"bot-state\">" + escapedHtml(view.bot.state)
                       + (view.bot.note.empty() ? "" : " (" + escapedHtml(view.bot.note) + ")") + ", since "
                       + escapedHtml(view.bot.added) + "</p>\n<h2>Versions</h2>\n<table class=\"versions\">\n"
                       "<thead><tr><th>version</th><th class=\"text\">state</th><th class=\"text\">added</th>"
                       "<th>matches</th></tr></thead>\n<tbody>\n";
    const std::string base = "/bots/" + escapedHtml(view.bot.name);
    for (const VersionLine& line : view.versions) {
        const VersionRow& version = line.version;
        const std::string number = std::to_string(version.number);
        const std::string log = view.owner && line.buildLog
                                    ? " <a href=\"" + base + "/v/" + number + "/build.log\">build log</a>"
                                    : "";
        html += "<tr><td>v" + number + "</td><td class=\"text version-state\">" + escapedHtml(version.state)
                + (version.reason.empty() || !view.owner ? "" : ": " + escapedHtml(version.reason)) + log
                + "</td><td class=\"text\">" + escapedHtml(version.added) + "</td><td>"
                + std::to_string(line.matches) + "</td></tr>\n";
    }
    html += "</tbody></table>\n";
    std::string failures;
    for (const VersionLine& line : view.versions)
        for (const FailedMove& move : line.failures)
            failures += "<li>v" + std::to_string(line.version.number) + ", <a href=\"/matches/" + std::to_string(move.match)
                        + "\">match " + std::to_string(move.match) + "</a>, turn " + std::to_string(move.turn) + ": "
                        + escapedHtml(move.reason) + (move.hint.empty() ? "" : " (" + escapedHtml(move.hint) + ")")
                        + "</li>\n";
    if (!failures.empty())
        html += "<h2>Failed moves, the latest first</h2>\n<ul class=\"failures\">\n" + failures + "</ul>\n";
    if (view.ratings.size() > 1)
        html += "<h2>Rating over time</h2>\n" + ratingChartSvg(view.ratings);
    if (view.owner && view.bot.state != "retired")
        html += "<form method=\"post\" action=\"" + base + "/retire\">" + formTokenHtml(header.csrf)
                + "<label><input type=\"checkbox\" name=\"sure\" value=\"yes\" required> for good: its name "
                  "is not taken again</label> <button>Retire "
                + escapedHtml(view.bot.name) + "</button></form>\n";
    html += "<h2>Latest matches</h2>\n" + matchTable(view.matches);
    return sitePageHtml(view.bot.name, live(html), header);
}

std::string ratingChartSvg(const std::vector<RatingPoint>& points)
{
    constexpr double kWidth = 600, kHeight = 160, kPad = 24;
    if (points.size() < 2)
        return {};
    double low = points[0].low, high = points[0].high;
    for (const RatingPoint& point : points) {
        low = std::min(low, point.low);
        high = std::max(high, point.high);
    }
    if (high - low < 1)
        high = low + 1;
    const auto x = [&](std::size_t i) { return kPad + (kWidth - 2 * kPad) * static_cast<double>(i) / static_cast<double>(points.size() - 1); };
    const auto y = [&](double elo) { return kPad + (kHeight - 2 * kPad) * (high - elo) / (high - low); };
    char number[64];
    const auto at = [&](double a, double b) {
        std::snprintf(number, sizeof number, "%.1f,%.1f ", a, b);
        return std::string(number);
    };
    std::string band, line;
    for (std::size_t i = 0; i < points.size(); ++i) {
        band += at(x(i), y(points[i].high));
        line += at(x(i), y(points[i].elo));
    }
    for (std::size_t i = points.size(); i-- > 0;)
        band += at(x(i), y(points[i].low));
    std::snprintf(number, sizeof number, "%+.0f", high);
    std::string top = number;
    std::snprintf(number, sizeof number, "%+.0f", low);
    return "<svg class=\"ratings\" width=\"600\" height=\"160\" viewBox=\"0 0 600 160\" role=\"img\" "
           "aria-label=\"rating over time\">\n<polygon points=\"" + band + "\" fill=\"#cfe0f7\"/>\n"
           "<polyline points=\"" + line + "\" fill=\"none\" stroke=\"#2846c8\" stroke-width=\"2\"/>\n"
           "<text x=\"2\" y=\"14\" font-size=\"11\">" + top + "</text>\n<text x=\"2\" y=\"156\" font-size=\"11\">"
           + number + "</text>\n<text x=\"30\" y=\"156\" font-size=\"11\">" + escapedHtml(points.front().at)
           + "</text>\n<text x=\"576\" y=\"156\" font-size=\"11\" text-anchor=\"end\">" + escapedHtml(points.back().at)
           + "</text>\n</svg>\n";
}

std::string matchesPageHtml(const std::vector<MatchLine>& matches, const SiteHeader& header)
{
    return sitePageHtml("Matches", live(matchTable(matches)), header);
}

std::string messagePageHtml(const std::string& title, const std::string& text, const SiteHeader& header)
{
    return sitePageHtml(title, "<p>" + escapedHtml(text) + "</p>\n", header);
}

} // namespace vorlen::ladder
