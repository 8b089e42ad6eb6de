#include "SitePages.h"

#include "HtmlText.h"

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
                                : "<a href=\"/users/" + escapedHtml(header.user) + "\">" + escapedHtml(header.user)
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
    if (view.owner && view.bot.state != "retired")
        html += "<form method=\"post\" action=\"" + base + "/retire\">" + formTokenHtml(header.csrf)
                + "<button>Retire " + escapedHtml(view.bot.name) + "</button></form>\n";
    html += "<h2>Latest matches</h2>\n" + matchTable(view.matches);
    return sitePageHtml(view.bot.name, live(html), header);
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
