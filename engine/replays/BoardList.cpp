#include "BoardList.h"

#include "TerminalText.h"

#include "Boards.h"
#include "Files.h"
#include "MapText.h"
#include "ReplayFile.h"

#include <algorithm>
#include <map>
#include <charconv>

namespace vorlen {
namespace {

// Board lists are lines of a few words: anything this large is not one.
constexpr std::uint64_t kListSizeLimit = 16 << 20;

template <typename Number>
bool wholeNumber(std::string_view text, Number& value)
{
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    return problem == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The board a line names, or why it names none.
bool parseLine(std::string_view line, ListedBoard& board, std::string& problem)
{
    const auto starts = [&](std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; };
    if (starts("rand:")) {
        board.kind = ListedBoard::Kind::Drawn;
        if (wholeNumber(line.substr(5), board.index) && board.index >= 0 && board.index <= kLastListedDraw)
            return true;
        problem = "rand:K needs K from 0 to " + std::to_string(kLastListedDraw);
        return false;
    }
    if (starts("seed:")) {
        board.kind = ListedBoard::Kind::Seeded;
        const std::string_view rest = line.substr(5);
        const std::size_t colon = rest.find(':');
        if (colon != std::string_view::npos && wholeNumber(rest.substr(0, colon), board.seed)
            && wholeNumber(rest.substr(colon + 1), board.index) && board.index >= 0)
            return true;
        problem = "seed:S:K needs whole numbers S and K from 0";
        return false;
    }
    if (starts("map:") && line.size() > 4) {
        board.kind = ListedBoard::Kind::Map;
        board.path = std::string(line.substr(4));
        return true;
    }
    if (starts("replay:")) {
        board.kind = ListedBoard::Kind::Position;
        if (const auto position = parseReplayPosition(std::string(line.substr(7)))) {
            board.position = *position;
            return true;
        }
        problem = "replay:FILE@K needs a replay file and a turn K from 0 (or start)";
        return false;
    }
    problem = "a board is rand:K, seed:S:K, map:PATH or replay:FILE@K";
    return false;
}

// Reads the map or replay a listed board names, and checks it can be played.
// Replays already read for the list, by the path they were read from: a
// list may name one replay at many turns.
using ReadReplays = std::map<std::string, std::shared_ptr<const Replay>>;

bool readListedFile(ListedBoard& board, const std::string& folder, ReadReplays& replays, std::string& problem)
{
    const auto fromFolder = [&](const std::string& path) { return path.front() == '/' ? path : folder + path; };
    if (board.kind == ListedBoard::Kind::Position) {
        const std::string path = fromFolder(board.position.path);
        std::shared_ptr<const Replay>& replay = replays[path];
        if (!replay) {
            auto read = std::make_shared<Replay>();
            if (!readReplayFile(path, *read, problem)) {
                replays.erase(path);
                return false;
            }
            replay = std::move(read);
        }
        if (!canPlayOn(*replay, board.position.turns, problem))
            return false;
        board.field = replay->board;
        board.replay = replay;
        return true;
    }
    if (board.kind != ListedBoard::Kind::Map)
        return true;
    board.field = makeField(kBoardRows, kBoardColumns);
    std::string echo;
    if (!readMapFile(fromFolder(board.path), board.field, echo, problem))
        return false;
    const auto digits = static_cast<int>(std::count_if(echo.begin(), echo.end(), [](char ch) { return ch != '\n'; }));
    if (digits < kBoardCells) {
        problem = std::to_string(digits) + " colours, not a whole board of " + std::to_string(kBoardCells);
        return false;
    }
    return true;
}

} // namespace

std::string ListedBoard::label() const
{
    switch (kind) {
    case Kind::Seeded: return seedLabel(seed, index);
    case Kind::Map: return "map:" + path;
    case Kind::Position: return position.label();
    case Kind::Drawn: break;
    }
    return drawLabel(index);
}

bool parseBoardList(std::string_view text, std::vector<ListedBoard>& boards, std::string& error)
{
    std::vector<ListedBoard> read;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        ListedBoard board;
        board.line = number;
        std::string problem;
        if (!parseLine(line, board, problem)) {
            error = "line " + std::to_string(number) + ": '" + terminalSafe(line.substr(0, 80)) + "': " + problem;
            return false;
        }
        read.push_back(std::move(board));
    }
    if (read.empty()) {
        error = "no board in the list";
        return false;
    }
    boards = std::move(read);
    return true;
}

bool readBoardList(const std::string& path, std::vector<ListedBoard>& boards, std::string& error)
{
    std::string text;
    if (!readRegularFile(path, kListSizeLimit, text, error))
        return false;
    std::vector<ListedBoard> read;
    if (!parseBoardList(text, read, error))
        return false;
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    ReadReplays replays;
    for (ListedBoard& board : read) {
        std::string problem;
        if (!readListedFile(board, folder, replays, problem)) {
            error = "line " + std::to_string(board.line) + ": " + terminalSafe(board.label()) + ": " + problem;
            return false;
        }
    }
    boards = std::move(read);
    return true;
}

Field boardOf(const ListedBoard& board)
{
    switch (board.kind) {
    case ListedBoard::Kind::Seeded: return seededBoard(board.seed, board.index);
    case ListedBoard::Kind::Map:
    case ListedBoard::Kind::Position: return board.field;
    case ListedBoard::Kind::Drawn: break;
    }
    DrawnBoards drawn;
    return drawn.at(board.index);
}

StartPoint startOf(const ListedBoard& board)
{
    if (board.kind != ListedBoard::Kind::Position)
        return {};
    return {board.replay.get(), board.position.turns};
}

} // namespace vorlen
