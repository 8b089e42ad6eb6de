#include "MatchPage.h"

#include "Files.h"
#include "HtmlText.h"
#include "MatchEvaluation.h"
#include "MatchResult.h"
#include "Retirement.h"
#include "SeatPlayer.h"
#include "ReplayJson.h"
#include "ReplayPlayback.h"
#include "Rules.h"
#include "VisitedGrid.h"
#include "WebAssets.h"

#include <cmath>
#include <cstdio>

namespace vorlen {
namespace {

using replay_json::Json;

std::string boardDigits(const Field& board)
{
    std::string digits;
    digits.reserve(kBoardCells);
    for (const auto& row : board)
        for (const int colour : row)
            digits += static_cast<char>('0' + colour);
    return digits;
}

std::string hex(const Rgb& rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb.red, rgb.green, rgb.blue);
    return text;
}

// Which cells each seat's region holds on a board.
std::array<VisitedGrid, 2> regionsOf(const Field& board)
{
    const int rows = rowCount(board);
    const int columns = columnCount(board);
    std::array<VisitedGrid, 2> regions{VisitedGrid(rows, columns), VisitedGrid(rows, columns)};
    regionSize(board, regions[0], 0, 0, -1);
    regionSize(board, regions[1], rows - 1, columns - 1, -1);
    return regions;
}

// How the page draws the board after every turn: each cell's first colour
// until it joins a region, then that region's colour. Whole boards are kept
// too, for the turns where that does not hold.
struct Timeline {
    std::vector<int> joined;            // by cell: turns played when it joined a region, -1: never
    std::string owner;                  // by cell: '0', '1' or '-'
    std::vector<std::array<int, 2>> homes; // after 0, 1, ... turns: each home's colour
    Json boards = Json::object();       // turns -> the whole board, where the rule above fails
};

Timeline timelineOf(const Replay& replay)
{
    Timeline line;
    line.joined.assign(kBoardCells, -1);
    line.owner.assign(kBoardCells, '-');
    ReplayPlayback playback(replay);
    std::vector<Field> boards;
    for (int turns = 0;; ++turns) {
        const Field& board = playback.board();
        const std::array<VisitedGrid, 2> regions = regionsOf(board);
        for (int cell = 0; cell < kBoardCells; ++cell)
            for (int seat = 0; seat < 2 && line.joined[static_cast<std::size_t>(cell)] < 0; ++seat)
                if (regions[static_cast<std::size_t>(seat)].test(cell / kBoardColumns, cell % kBoardColumns)) {
                    line.joined[static_cast<std::size_t>(cell)] = turns;
                    line.owner[static_cast<std::size_t>(cell)] = static_cast<char>('0' + seat);
                }
        line.homes.push_back({board.front().front(), board.back().back()});
        boards.push_back(board);
        std::string problem;
        if (turns >= playback.length() || !playback.playNext(problem))
            break;
    }
    // What the page would draw, checked against the referee's board.
    for (std::size_t turns = 0; turns < boards.size(); ++turns) {
        const Field& board = boards[turns];
        bool same = true;
        for (int cell = 0; cell < kBoardCells && same; ++cell) {
            const int row = cell / kBoardColumns;
            const int column = cell % kBoardColumns;
            const int joined = line.joined[static_cast<std::size_t>(cell)];
            const int drawn = joined >= 0 && joined <= static_cast<int>(turns)
                                  ? line.homes[turns][static_cast<std::size_t>(line.owner[static_cast<std::size_t>(cell)] - '0')]
                                  : replay.board[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            same = drawn == board[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        }
        if (!same)
            line.boards[std::to_string(turns)] = boardDigits(board);
    }
    return line;
}

Json pageData(const Replay& replay, const MatchPageSettings& settings)
{
    const Timeline line = timelineOf(replay);
    std::array<std::string, 2> names = settings.names;
    for (std::size_t seat = 0; seat < 2; ++seat)
        if (names[seat].empty())
            names[seat] = seatName(replay, static_cast<int>(seat));
    Json colours = Json::array();
    for (const Rgb& rgb : settings.palette.colours)
        colours.push_back(hex(rgb));
    Json turns = Json::array();
    for (const ReplayTurn& turn : replay.turns) {
        Json retired = Json::array();
        for (const ReplayRetirement& out : turn.retired)
            retired.push_back({{"seat", out.seat}, {"reason", out.reason}, {"failed", !isGameEnd(out.reason)}});
        turns.push_back({{"seat", turn.seat},
                         {"answer", turn.answer ? Json(*turn.answer) : Json()},
                         {"named", namedANumber(turn)},
                         {"ms", std::round(turn.milliseconds * 1000.0) / 1000.0}, // as replay files keep it
                         {"score", replay_json::scoresJson(turn.score)},
                         {"retired", retired},
                         {"log", logWithSeatFiles(turn)}});
    }
    Json evaluations = Json::object();
    Json offered = Json::array();
    for (const int level : settings.evaluationLevels)
        if (const std::string levelJson = matchEvaluationJson(replay, level); !levelJson.empty()) {
            evaluations[std::to_string(level)] = Json::parse(levelJson);
            offered.push_back(level);
        }
    // A site that makes them on asking offers every level.
    if (!settings.evaluationSource.empty()) {
        offered = Json::array();
        for (int level = 1; level <= kSearchSeatLevels; ++level)
            offered.push_back(level);
    }
    Json homes = Json::array();
    for (const auto& home : line.homes)
        homes.push_back({home[0], home[1]});
    return {{"title", settings.title},
            {"back", settings.backTo},
            {"rows", kBoardRows},
            {"columns", kBoardColumns},
            {"colours", colours},
            {"players", {replay.players[0], replay.players[1]}},
            {"names", {names[0], names[1]}},
            {"result", matchResultText(replay, names)},
            {"limits", {replay.moveLimitsMs[0], replay.moveLimitsMs[1]}},
            {"source", replay.boardSource},
            {"finished", replay.finished},
            {"board", boardDigits(replay.board)},
            {"joined", line.joined},
            {"owner", line.owner},
            {"homes", homes},
            {"boards", line.boards},
            {"turns", turns},
            {"evaluation", {{"levels", evaluations}, {"offered", offered}, {"source", settings.evaluationSource}}}};
}

} // namespace

bool matchPageHtml(const Replay& replay, const MatchPageSettings& settings, std::string& html, std::string& problem)
{
    if (!checkReplay(replay, problem))
        return false;
    const std::string safe = scriptSafe(pageData(replay, settings).dump(-1, ' ', false, Json::error_handler_t::replace));
    // Everything inside: a page copied or mailed alone still opens and plays.
    html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>vorlen: "
           + escapedHtml(settings.title) + "</title>\n<style>\n" + std::string(webStyle()) + "</style>\n</head>\n"
           "<body class=\"match\">\n<div id=\"page\"></div>\n<script id=\"match-data\" type=\"application/json\">"
           + safe + "</script>\n<script>\n" + std::string(webScript()) + "</script>\n</body>\n</html>\n";
    return true;
}

bool writeMatchPage(const std::string& path, const Replay& replay, const MatchPageSettings& settings,
                    std::string& problem)
{
    std::string html;
    return matchPageHtml(replay, settings, html, problem) && writeFileAtomically(path, html, problem);
}

bool writeWebAssets(const std::string& folder, std::string& problem)
{
    return writeFileAtomically(folder + "/vorlen.js", webScript(), problem)
           && writeFileAtomically(folder + "/vorlen.css", webStyle(), problem);
}

std::string pageNameFor(const std::string& replayName)
{
    const std::size_t dot = replayName.rfind(".json");
    const bool json = dot != std::string::npos && dot + 5 == replayName.size();
    return (json ? replayName.substr(0, dot) : replayName) + ".html";
}

} // namespace vorlen
