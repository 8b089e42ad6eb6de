#include "IndexPage.h"

#include "HtmlText.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace vorlen {
namespace {

std::string runRow(const std::string& name, const std::string& value)
{
    return "<tr><th class=\"text\">" + escapedHtml(name) + "</th><td class=\"text\">" + escapedHtml(value)
           + "</td></tr>\n";
}

// Every match as a row of data: the page lays out as many as are on show,
// so a run of thousands opens at once.
nlohmann::json matchRows(const std::vector<IndexMatch>& matches)
{
    nlohmann::json rows = nlohmann::json::array();
    for (const IndexMatch& match : matches)
        rows.push_back({match.game, match.page, match.board, match.first, match.second, match.firstScore,
                        match.secondScore, match.winner, match.turns, match.end});
    return rows;
}

} // namespace

std::string standingsTableHtml(const std::vector<IndexStanding>& standings, const std::string& note)
{
    bool owners = false;
    for (const IndexStanding& row : standings)
        owners = owners || !row.owner.empty();
    std::string html = std::string("<h2>Standings</h2>\n<table id=\"standings\">\n<thead><tr><th>rank</th>"
                                   "<th class=\"text\">player</th>")
                       + (owners ? "<th class=\"text\">owner</th>" : "") + "<th>Elo (95 %)</th>"
                       "<th title=\"the likelihood that it is stronger than the next one down\">LOS over next</th>"
                       "<th>points</th><th>wins</th><th>draws</th>"
                       "<th>losses</th><th>matches</th><th class=\"text\">failures</th></tr></thead>\n<tbody>\n";
    char points[32];
    for (std::size_t rank = 0; rank < standings.size(); ++rank) {
        const IndexStanding& row = standings[rank];
        std::snprintf(points, sizeof points, "%.1f", row.points);
        std::string failures;
        for (const std::string& failure : row.failures)
            failures += (failures.empty() ? "" : "<br>") + escapedHtml(failure);
        const std::string nameHtml = row.page.empty() ? escapedHtml(row.name)
                                                      : "<a href=\"" + escapedHtml(row.page) + "\">" + escapedHtml(row.name) + "</a>";
        html += "<tr><td>" + std::to_string(rank + 1) + "</td><td class=\"text\" title=\"" + escapedHtml(row.command)
                + "\">" + nameHtml + "</td>"
                + (owners ? "<td class=\"text\">" + escapedHtml(row.owner) + "</td>" : "") + "<td>" + escapedHtml(row.elo) + "</td><td>"
                + escapedHtml(row.losOverNext) + "</td><td>" + points + "</td><td>"
                + std::to_string(row.wins) + "</td><td>" + std::to_string(row.draws) + "</td><td>"
                + std::to_string(row.losses) + "</td><td>" + std::to_string(row.wins + row.draws + row.losses)
                + "</td><td class=\"text\">" + (failures.empty() ? "none" : failures) + "</td></tr>\n";
    }
    html += "</tbody></table>\n";
    if (!note.empty())
        html += "<p id=\"standings-note\">" + escapedHtml(note) + "</p>\n";
    return html;
}

// Who scored what against whom, shaded from red (lost all) to green (won all).
std::string crossTableHtml(const std::vector<IndexStanding>& standings,
                           const std::vector<std::vector<std::pair<std::string, double>>>& cross)
{
    if (cross.empty())
        return {};
    std::string html = "<h2>Cross table</h2>\n<table id=\"cross\">\n<thead><tr><th></th>";
    for (const IndexStanding& column : standings)
        html += "<th>" + escapedHtml(column.name) + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    for (std::size_t row = 0; row < cross.size() && row < standings.size(); ++row) {
        html += "<tr><th class=\"text\">" + escapedHtml(standings[row].name) + "</th>";
        for (std::size_t column = 0; column < cross[row].size(); ++column) {
            const auto& [text, share] = cross[row][column];
            if (row == column || text.empty()) {
                html += "<td></td>";
                continue;
            }
            char colour[64];
            std::snprintf(colour, sizeof colour, "hsl(%d, 60%%, %d%%)", share >= 0.5 ? 120 : 0,
                          100 - static_cast<int>(std::abs(share - 0.5) * 2 * 35));
            html += "<td style=\"background: " + std::string(colour) + "\">" + escapedHtml(text) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</tbody></table>\n";
}

std::string indexPageHtml(const IndexPage& page)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>vorlen-match run</title>\n<link rel=\"stylesheet\" href=\"vorlen.css\">\n</head>\n"
                       "<body class=\"index\">\n<h1>vorlen-match run</h1>\n";
    if (page.matches.empty())
        return html + "<p>No match has ended yet.</p>\n</body>\n</html>\n";
    html += "<table class=\"run\">\n";
    for (const auto& [name, value] : page.run)
        html += runRow(name, value);
    html += "</table>\n";
    nlohmann::json run = {{"matches", matchRows(page.matches)}};
    if (!page.llr.empty()) {
        run["llr"] = page.llr;
        run["lower"] = page.lower;
        run["upper"] = page.upper;
        html += "<h2>SPRT: the log-likelihood ratio over the run</h2>\n<canvas id=\"llr\" width=\"640\" "
                "height=\"200\"></canvas>\n";
    }
    html += standingsTableHtml(page.standings, page.standingsNote);
    html += crossTableHtml(page.standings, page.cross);
    html += "<h2>Matches</h2>\n<p>Click a heading to sort; a game's number opens its page.</p>\n"
            "<div id=\"filters\"></div>\n"
            "<table id=\"matches\">\n<thead><tr><th>game</th><th class=\"text\">board</th><th class=\"text\">first</th>"
            "<th class=\"text\">second</th><th>first score</th><th>second score</th><th class=\"text\">winner</th>"
            "<th>turns</th><th class=\"text\">how it ended</th></tr></thead>\n<tbody></tbody></table>\n"
            "<div id=\"pager\"></div>\n<script id=\"run-data\" type=\"application/json\">"
            + scriptSafe(run.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)) + "</script>\n";
    html += "<h2>Results</h2>\n<pre id=\"summary\">" + escapedHtml(page.summary) + "</pre>\n";
    return html + "<script src=\"vorlen.js\"></script>\n</body>\n</html>\n";
}

} // namespace vorlen
