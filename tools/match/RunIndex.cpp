#include "RunIndex.h"

#include "GameSet.h"
#include "HtmlText.h"
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

// How the match ended, in a reader's words.
std::string endOf(const MatchRecord& record)
{
    std::string end;
    for (int seat = 0; seat < 2; ++seat) {
        const SeatRecord& s = record.seats[static_cast<std::size_t>(seat)];
        if (s.retired.empty())
            continue;
        end += (end.empty() ? "" : "; ") + s.player + " out at turn " + std::to_string(s.retiredTurn) + ": "
               + s.retired;
    }
    return end.empty() ? "played out" : end;
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
    html += row("boards", std::to_string(boards.size()) + " (" + *boards.begin()
                              + (boards.size() > 1 ? ", ..., " + *boards.rbegin() : "") + ")");
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
    html += row("run", first.run + (first.sprt.empty() ? "" : ", SPRT " + first.sprt));
    html += row("made by", "vorlen-match " VORLEN_VERSION);
    return html + "</table>\n";
}

std::string matchTable(const std::vector<MatchRecord>& records, const std::map<int, std::string>& pages)
{
    std::string html = "<table class=\"sortable\" id=\"matches\">\n<thead><tr>";
    for (const char* head : {"game", "board", "first", "second", "first score", "second score", "winner", "turns",
                             "how it ended"})
        html += std::string("<th") + (std::string(head).find("score") == std::string::npos && std::string(head) != "game"
                                              && std::string(head) != "turns"
                                          ? " class=\"text\""
                                          : "")
                + ">" + head + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    for (const MatchRecord& record : records) {
        const auto page = pages.find(record.game);
        const std::string game = std::to_string(record.game);
        html += "<tr><td data-key=\"" + game + "\">"
                + (page == pages.end() ? game : "<a href=\"" + escapedHtml(page->second) + "\">" + game + "</a>")
                + "</td>" + cell(record.board, "text") + cell(record.seats[0].player, "text")
                + cell(record.seats[1].player, "text") + cell(std::to_string(record.seats[0].score))
                + cell(std::to_string(record.seats[1].score)) + cell(record.winner(), "text")
                + cell(std::to_string(record.turns)) + cell(endOf(record), "text") + "</tr>\n";
    }
    return html + "</tbody></table>\n";
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
    if (!summary.llr.empty()) {
        const nlohmann::json run = {{"llr", summary.llr}, {"lower", summary.lower}, {"upper", summary.upper}};
        html += "<h2>SPRT: the log-likelihood ratio over the run</h2>\n<canvas id=\"llr\" width=\"640\" "
                "height=\"200\"></canvas>\n<script id=\"run-data\" type=\"application/json\">"
                + run.dump() + "</script>\n";
    }
    html += "<h2>Matches</h2>\n<p>Click a heading to sort; a game's number opens its page.</p>\n";
    html += matchTable(records, pages);
    return html + "<script src=\"vorlen.js\"></script>\n</body>\n</html>\n";
}

} // namespace vorlen::match
