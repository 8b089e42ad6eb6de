#include "RunIndex.h"

#include "GameSet.h"
#include "HtmlText.h"
#include "Retirement.h"
#include "Sprt.h"
#include "Summarize.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <sstream>

namespace vorlen::match {
namespace {

std::string cell(const std::string& text, const char* kind = nullptr)
{
    return std::string("<td") + (kind ? " class=\"" + std::string(kind) + "\"" : "") + ">" + escapedHtml(text) + "</td>";
}

std::string row(const std::string& name, const std::string& value)
{
    return "<tr><th class=\"text\">" + escapedHtml(name) + "</th>" + cell(value, "text") + "</tr>\n";
}

// How the match ended, in a reader's words: how the game ended it, and
// every seat that failed, with why.
std::string endOf(const MatchRecord& record)
{
    std::string failures;
    std::string gameEnd;
    for (const SeatRecord& seat : record.seats) {
        if (seat.retired.empty())
            continue;
        if (isGameEnd(seat.retired)) {
            gameEnd = seat.retired;
            continue;
        }
        failures += (failures.empty() ? "" : "; ") + seat.player + " failed at turn " + std::to_string(seat.retiredTurn)
                    + ": " + seat.retired;
    }
    if (failures.empty())
        return gameEnd.empty() ? "played out" : gameEnd;
    return failures;
}

std::string runTable(const std::vector<MatchRecord>& records, const RecordsSummary& summary)
{
    const MatchRecord& first = records.front();
    std::string html = "<table class=\"run\">\n";
    std::istringstream names(first.runPlayers);
    std::size_t index = 0;
    for (std::string name; names >> name; ++index) {
        std::string limit;
        for (const MatchRecord& record : records)
            for (const SeatRecord& seat : record.seats)
                if (seat.player == name && limit.empty())
                    limit = seat.moveLimitMs > 0 ? std::to_string(seat.moveLimitMs) + " ms a move" : "no limit";
        const std::string command = index < summary.commands.size() ? summary.commands[index] : "?";
        html += row("player " + name, command + (limit.empty() ? "" : " (" + limit + ")"));
    }
    std::set<std::string> boards;
    for (const MatchRecord& record : records)
        boards.insert(record.board);
    const std::string& last = records.back().board;
    html += row("boards", std::to_string(boards.size()) + " (" + first.board
                              + (boards.size() > 1 ? ", ..., " + last : "") + ")");
    html += row("seating", first.swap ? "every board in both seatings" : "one seating a board");
    html += row("containment", first.containment == "sandbox" ? "a box per seat, held by " + first.governance
                                                              : "none (bots run as the referee's user)");
    std::string start;
    std::string end;
    for (const MatchRecord& record : records) {
        if (record.ended.empty())
            continue;
        start = start.empty() ? record.ended : std::min(start, record.ended);
        end = std::max(end, record.ended);
    }
    html += row("played", start.empty() ? "unknown" : start + " to " + end);
    html += row("matches", std::to_string(records.size()) + " of " + std::to_string(first.runMatches));
    const auto sprt = parseSprtSettings(first.sprt);
    html += row("run", first.run + (sprt ? ", SPRT " + sprtSettingsShown(*sprt) : ""));
    html += row("made by", "vorlen-match " VORLEN_VERSION);
    return html + "</table>\n";
}

// Every match as a row of data: the page lays out as many as are on show,
// so a run of thousands opens at once.
nlohmann::json matchRows(const std::vector<MatchRecord>& records, const std::map<int, std::string>& pages)
{
    nlohmann::json rows = nlohmann::json::array();
    for (const MatchRecord& record : records) {
        const auto page = pages.find(record.game);
        rows.push_back({record.game, page == pages.end() ? std::string() : page->second, record.board,
                        record.seats[0].player, record.seats[1].player, record.seats[0].score, record.seats[1].score,
                        record.winner(), record.turns, endOf(record)});
    }
    return rows;
}

} // namespace

std::string runIndexHtml(std::vector<MatchRecord> records, const std::map<int, std::string>& pages)
{
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.game < b.game; });
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>vorlen-match run</title>\n<link rel=\"stylesheet\" href=\"vorlen.css\">\n</head>\n"
                       "<body class=\"index\">\n<h1>vorlen-match run</h1>\n";
    if (records.empty())
        return html + "<p>No match has ended yet.</p>\n</body>\n</html>\n";
    GameSet games;
    for (const MatchRecord& record : records)
        games.insert(record.game);
    std::string missing;
    const bool complete = games.missing(records.front().runMatches, 0, missing) == 0;
    const RecordsSummary summary = summarizeRecords(records, complete);
    html += runTable(records, summary);
    html += "<h2>Results</h2>\n<pre id=\"summary\">" + escapedHtml(summary.text) + "</pre>\n";
    nlohmann::json run = {{"matches", matchRows(records, pages)}};
    if (!summary.llr.empty()) {
        run["llr"] = summary.llr;
        run["lower"] = summary.lower;
        run["upper"] = summary.upper;
        html += "<h2>SPRT: the log-likelihood ratio over the run</h2>\n<canvas id=\"llr\" width=\"640\" "
                "height=\"200\"></canvas>\n";
    }
    html += "<h2>Matches</h2>\n<p>Click a heading to sort; a game's number opens its page.</p>\n"
            "<table id=\"matches\">\n<thead><tr><th>game</th><th class=\"text\">board</th><th class=\"text\">first</th>"
            "<th class=\"text\">second</th><th>first score</th><th>second score</th><th class=\"text\">winner</th>"
            "<th>turns</th><th class=\"text\">how it ended</th></tr></thead>\n<tbody></tbody></table>\n"
            "<div id=\"pager\"></div>\n<script id=\"run-data\" type=\"application/json\">"
            + scriptSafe(run.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)) + "</script>\n";
    return html + "<script src=\"vorlen.js\"></script>\n</body>\n</html>\n";
}

} // namespace vorlen::match
