#include "SitePages.h"

#include "HtmlText.h"

namespace vorlen::ladder {
namespace {

// Every page: its title, the site's links, the report's style sheet and the
// ladder's few rules beside it.
std::string page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
           + escapedHtml(title) + " · vorlen ladder</title>\n<link rel=\"stylesheet\" href=\"/vorlen.css\">\n"
           "<link rel=\"stylesheet\" href=\"/ladder.css\">\n</head>\n<body class=\"index ladder\">\n"
           "<nav><a href=\"/\">Standings</a> <a href=\"/matches\">Matches</a></nav>\n<h1>"
           + escapedHtml(title) + "</h1>\n" + body + "</body>\n</html>\n";
}

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

std::string standingsPageHtml(const StandingsView& view)
{
    if (!view.empty.empty())
        return page("vorlen ladder", "<p id=\"standings-empty\">" + escapedHtml(view.empty) + "</p>\n");
    return page("vorlen ladder", standingsTableHtml(view.rows, view.note) + crossTableHtml(view.rows, view.cross));
}

std::string botPageHtml(const BotView& view)
{
    std::string html = "<p class=\"bot-state\">" + escapedHtml(view.bot.state)
                       + (view.bot.note.empty() ? "" : " (" + escapedHtml(view.bot.note) + ")") + ", since "
                       + escapedHtml(view.bot.added) + "</p>\n<h2>Versions</h2>\n<table class=\"versions\">\n"
                       "<thead><tr><th>version</th><th class=\"text\">state</th><th class=\"text\">added</th>"
                       "<th>matches</th></tr></thead>\n<tbody>\n";
    for (const VersionLine& line : view.versions) {
        const VersionRow& version = line.version;
        html += "<tr><td>v" + std::to_string(version.number) + "</td><td class=\"text\">" + escapedHtml(version.state)
                + (version.reason.empty() || !view.owner ? "" : ": " + escapedHtml(version.reason))
                + "</td><td class=\"text\">"
                + escapedHtml(version.added) + "</td><td>" + std::to_string(line.matches) + "</td></tr>\n";
    }
    html += "</tbody></table>\n<h2>Latest matches</h2>\n" + matchTable(view.matches);
    return page(view.bot.name, html);
}

std::string matchesPageHtml(const std::vector<MatchLine>& matches)
{
    return page("Matches", matchTable(matches));
}

std::string messagePageHtml(const std::string& title, const std::string& text)
{
    return page(title, "<p>" + escapedHtml(text) + "</p>\n");
}

} // namespace vorlen::ladder
