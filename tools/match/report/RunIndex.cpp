#include "RunIndex.h"

#include "StandingsView.h"

#include "GameSet.h"
#include "IndexPage.h"
#include "Retirement.h"
#include "SprtSettings.h"
#include "Summarize.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace vorlen::match {
namespace {

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

std::vector<std::pair<std::string, std::string>> runRows(const std::vector<MatchRecord>& records,
                                                        const RecordsSummary& summary)
{
    const MatchRecord& first = records.front();
    std::vector<std::pair<std::string, std::string>> rows;
    std::istringstream names(first.runPlayers);
    std::size_t index = 0;
    for (std::string name; names >> name; ++index) {
        std::string limit;
        for (const MatchRecord& record : records)
            for (const SeatRecord& seat : record.seats)
                if (seat.player == name && limit.empty())
                    limit = seat.moveLimitMs > 0 ? std::to_string(seat.moveLimitMs) + " ms a move" : "no limit";
        const std::string command = index < summary.commands.size() ? summary.commands[index] : "?";
        rows.emplace_back("player " + name, command + (limit.empty() ? "" : " (" + limit + ")"));
    }
    std::set<std::string> boards;
    for (const MatchRecord& record : records)
        boards.insert(record.board);
    const std::string& last = records.back().board;
    rows.emplace_back("boards", std::to_string(boards.size()) + " (" + first.board
                              + (boards.size() > 1 ? ", ..., " + last : "") + ")");
    rows.emplace_back("seating", first.swap ? "every board in both seatings" : "one seating a board");
    rows.emplace_back("containment", first.containment == "sandbox" ? "a box per seat, held by " + first.governance
                                                              : "none (bots run as the referee's user)");
    std::string start;
    std::string end;
    for (const MatchRecord& record : records) {
        if (record.ended.empty())
            continue;
        start = start.empty() ? record.ended : std::min(start, record.ended);
        end = std::max(end, record.ended);
    }
    rows.emplace_back("played", start.empty() ? "unknown" : start + " to " + end);
    rows.emplace_back("matches", std::to_string(records.size()) + " of " + std::to_string(first.runMatches));
    const auto sprt = parseSprtSettings(first.sprt);
    rows.emplace_back("run", first.run + (sprt ? ", SPRT " + sprtSettingsShown(*sprt) : ""));
    rows.emplace_back("made by", "vorlen-match " VORLEN_VERSION);
    return rows;
}

// A match's page, at its first failed move when a move failed: the page
// names a turn as records do.
std::string pageAt(const MatchRecord& record, const std::string& page)
{
    std::optional<int> failed;
    for (const SeatRecord& seat : record.seats)
        if (!seat.retired.empty() && !isGameEnd(seat.retired) && (!failed || seat.retiredTurn < *failed))
            failed = seat.retiredTurn;
    return failed ? page + "#turn=" + std::to_string(*failed) : page;
}

std::vector<IndexMatch> matchRows(const std::vector<MatchRecord>& records, const std::map<int, std::string>& pages)
{
    std::vector<IndexMatch> rows;
    for (const MatchRecord& record : records) {
        const auto page = pages.find(record.game);
        rows.push_back({record.game, page == pages.end() ? std::string() : pageAt(record, page->second), record.board,
                        record.seats[0].player, record.seats[1].player, record.seats[0].score, record.seats[1].score,
                        record.winner(), record.turns, endOf(record)});
    }
    return rows;
}

} // namespace

std::string runIndexHtml(std::vector<MatchRecord> records, const std::map<int, std::string>& pages)
{
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.game < b.game; });
    IndexPage page;
    if (records.empty())
        return indexPageHtml(page);
    GameSet games;
    for (const MatchRecord& record : records)
        games.insert(record.game);
    std::string missing;
    const bool complete = games.missing(records.front().runMatches, 0, missing) == 0;
    const RecordsSummary summary = summarizeRecords(records, complete);
    page.run = runRows(records, summary);
    page.summary = summary.text;
    page.standingsNote = summary.standingsNote;
    page.llr = summary.llr;
    page.lower = summary.lower;
    page.upper = summary.upper;
    page.matches = matchRows(records, pages);
    page.standings = indexStandings(summary.standings);
    page.cross = crossCells(summary.cross);
    return indexPageHtml(page);
}

} // namespace vorlen::match
