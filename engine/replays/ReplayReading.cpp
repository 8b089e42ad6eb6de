// Reading replays: JSON into a replay, field by field, with the first
// problem found said in one line.
#include "ReplayFile.h"

#include "JsonText.h"
#include "ReplayJson.h"
#include "SeatFilesJson.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlen {
namespace {

using namespace replay_json;

// No move takes a day: a time beyond it is a broken file.
constexpr double kLongestMoveMs = 24.0 * 3600 * 1000;
// A replay nests no deeper: a deeper text is no replay, refused unparsed.
constexpr int kDeepestReplay = 8;

// Reads one replay, field by field; the first problem found is kept.
class ReplayReader {
public:
    explicit ReplayReader(std::string& error) : error_(error) {}

    bool read(const Json& root, Replay& replay)
    {
        if (!root.is_object() || !root.contains("format") || root["format"] != kReplayFormat)
            return fail(std::string("not a vorlen replay: no \"format\": \"") + kReplayFormat + "\"");
        const Json* version = member(root, "version", "");
        if (!version)
            return false;
        if (!version->is_number_integer() || *version < kOldestReplayVersion || *version > kReplayVersion)
            return fail("a replay of version " + version->dump() + "; this vorlen reads versions "
                        + std::to_string(kOldestReplayVersion) + " to " + std::to_string(kReplayVersion));
        return readBoard(root, replay) && readPlayers(root, replay) && readTurns(root, replay)
               && readResult(root, replay);
    }

private:
    bool fail(std::string problem)
    {
        error_ = std::move(problem);
        return false;
    }

    const Json* member(const Json& object, const char* name, const std::string& where)
    {
        const auto found = object.find(name);
        if (found == object.end()) {
            fail(where + "no \"" + name + "\"");
            return nullptr;
        }
        return &*found;
    }

    std::optional<int> whole(const Json& object, const char* name, const std::string& where, int least, int most)
    {
        const Json* value = member(object, name, where);
        if (!value)
            return std::nullopt;
        if (!value->is_number_integer() || *value < least || *value > most) {
            fail(where + "\"" + name + "\" is " + value->dump(-1, ' ', false, Json::error_handler_t::replace)
                 + ", not a whole number from " + std::to_string(least) + " to " + std::to_string(most));
            return std::nullopt;
        }
        return value->get<int>();
    }

    bool readBoard(const Json& root, Replay& replay)
    {
        const Json* rows = member(root, "board", "");
        if (!rows)
            return false;
        const std::string shape = "the board is not " + std::to_string(kBoardRows) + " rows of "
                                  + std::to_string(kBoardColumns) + " colours 1 to 6";
        if (!rows->is_array() || rows->size() != kBoardRows)
            return fail(shape);
        replay.board = makeField(kBoardRows, kBoardColumns);
        for (int r = 0; r < kBoardRows; ++r) {
            const Json& row = (*rows)[static_cast<std::size_t>(r)];
            if (!row.is_string() || row.get_ref<const std::string&>().size() != kBoardColumns)
                return fail(shape + ": row " + std::to_string(r + 1));
            const std::string& digits = row.get_ref<const std::string&>();
            for (int c = 0; c < kBoardColumns; ++c) {
                const int colour = digits[static_cast<std::size_t>(c)] - '0';
                if (!isColour(colour))
                    return fail(shape + ": row " + std::to_string(r + 1) + ", column " + std::to_string(c + 1));
                replay.board[r][c] = colour;
            }
        }
        return true;
    }

    // A pair of texts under `key`, where there is one.
    bool readPair(const Json& root, const char* key, std::array<std::string, 2>& pair)
    {
        const auto found = root.find(key);
        if (found == root.end())
            return true;
        if (!found->is_array() || found->size() != 2 || !(*found)[0].is_string() || !(*found)[1].is_string())
            return fail("\"" + std::string(key) + "\" is not a list of two names");
        pair = {(*found)[0].get<std::string>(), (*found)[1].get<std::string>()};
        return true;
    }

    bool readPlayers(const Json& root, Replay& replay)
    {
        if (const auto source = root.find("board_source"); source != root.end()) {
            if (!source->is_string())
                return fail("\"board_source\" is not a string");
            replay.boardSource = source->get<std::string>();
        }
        if (!member(root, "players", "") || !readPair(root, "players", replay.players))
            return false;
        // What a run called its players, and how they ran; older replays have neither.
        if (!readPair(root, "names", replay.names) || !readPair(root, "players_as_run", replay.playersAsRun))
            return false;
        if (const auto folder = root.find("run_folder"); folder != root.end()) {
            if (!folder->is_string() || folder->get<std::string>().rfind('/', 0) != 0)
                return fail("\"run_folder\" is not an absolute path");
            replay.runFolder = folder->get<std::string>();
        }
        // Replays from before time controls played under the one rule.
        if (const auto limits = root.find("move_limits"); limits != root.end()) {
            const auto limit = [](const Json& value) {
                return value.is_number_integer() && value >= 0 && value <= kNoTimeLimit.count();
            };
            if (!limits->is_array() || limits->size() != 2 || !limit((*limits)[0]) || !limit((*limits)[1]))
                return fail("\"move_limits\" is not a pair of times in milliseconds");
            replay.moveLimitsMs = {(*limits)[0].get<int>(), (*limits)[1].get<int>()};
        }
        return true;
    }

    bool readTurns(const Json& root, Replay& replay)
    {
        const Json* turns = member(root, "turns", "");
        if (!turns)
            return false;
        if (!turns->is_array())
            return fail("\"turns\" is not a list");
        replay.turns.clear();
        for (std::size_t i = 0; i < turns->size(); ++i) {
            ReplayTurn turn;
            if (!readTurn((*turns)[i], static_cast<int>(i), turn))
                return false;
            replay.turns.push_back(std::move(turn));
        }
        return true;
    }

    bool readTurn(const Json& entry, int index, ReplayTurn& turn)
    {
        const std::string where = "turn " + std::to_string(index) + ": ";
        constexpr int kMost = std::numeric_limits<int>::max();
        if (!entry.is_object())
            return fail(where + "not an object");
        const auto number = whole(entry, "turn", where, 0, kMost);
        if (!number)
            return false;
        if (*number != index)
            return fail(where + "numbered " + std::to_string(*number));
        const auto seat = whole(entry, "seat", where, 0, 1);
        if (!seat)
            return false;
        turn.seat = *seat;
        const Json* answer = member(entry, "answer", where);
        if (!answer)
            return false;
        if (!answer->is_null()) {
            const auto value = whole(entry, "answer", where, std::numeric_limits<int>::min(), kMost);
            if (!value)
                return false;
            turn.answer = *value;
        }
        const Json* ms = member(entry, "ms", where);
        if (!ms)
            return false;
        if (!ms->is_number() || !(ms->get<double>() >= 0) || ms->get<double>() > kLongestMoveMs)
            return fail(where + "\"ms\" is not a time in milliseconds");
        turn.milliseconds = ms->get<double>();
        const Json* scores = member(entry, "scores", where);
        if (!scores)
            return false;
        // A score is a region's size: it fits the board.
        const auto score = [](const Json& value) { return value.is_number_integer() && value >= 0 && value <= kBoardCells; };
        if (!scores->is_array() || scores->size() != 2 || !score((*scores)[0]) || !score((*scores)[1]))
            return fail(where + "\"scores\" is not a pair of whole numbers from 0 to " + std::to_string(kBoardCells));
        turn.score = {(*scores)[0].get<std::int32_t>(), (*scores)[1].get<std::int32_t>()};
        if (const auto log = entry.find("log"); log != entry.end()) {
            // What was kept of the move's standard error, and the note on what was cut.
            if (!log->is_string() || log->get_ref<const std::string&>().size() > 2 * kMoveLogBytes)
                return fail(where + "\"log\" is not a move's standard error as replays keep it");
            turn.log = log->get<std::string>();
        }
        if (const auto files = entry.find("seat_files"); files != entry.end()) {
            std::string problem;
            if (!(turn.seatFiles = readSeatFilesJson(*files, problem)))
                return fail(where + problem);
        }
        if (const auto retired = entry.find("retired"); retired != entry.end())
            return readRetired(*retired, where, turn);
        return true;
    }

    bool readRetired(const Json& list, const std::string& where, ReplayTurn& turn)
    {
        if (!list.is_array())
            return fail(where + "\"retired\" is not a list");
        for (const Json& entry : list) {
            if (!entry.is_object())
                return fail(where + "a retirement is not an object");
            const auto seat = whole(entry, "seat", where, 0, 1);
            const Json* reason = seat ? member(entry, "reason", where) : nullptr;
            if (!reason)
                return false;
            if (!reason->is_string())
                return fail(where + "a retirement's \"reason\" is not a string");
            turn.retired.push_back({*seat, reason->get<std::string>()});
        }
        return true;
    }

    bool readResult(const Json& root, Replay& replay)
    {
        const Json* result = member(root, "result", "");
        if (!result)
            return false;
        replay.finished = !result->is_null();
        if (!replay.finished)
            return true;
        if (!result->is_object() || !result->contains("scores") || !result->contains("winner"))
            return fail("\"result\" needs \"scores\" and \"winner\"");
        if (replay.turns.empty())
            return fail("a result with no turns");
        if ((*result)["scores"] != scoresJson(replay.finalScore()))
            return fail("the result's scores " + (*result)["scores"].dump() + " are not those after the last turn "
                        + scoresJson(replay.finalScore()).dump());
        if ((*result)["winner"] != winnerName(replay.winningSeat()))
            return fail("the result's winner " + (*result)["winner"].dump() + " does not follow from the scores");
        return true;
    }

    std::string& error_;
};

} // namespace

bool parseReplay(std::string_view text, Replay& replay, std::string& error)
{
    // A replay nests a few levels; a document of brackets would take the
    // parser many times its size in memory before it could be refused.
    if (nestingDepth(text) > kDeepestReplay) {
        error = "not a vorlen replay: nested deeper than a replay is";
        return false;
    }
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& problem) {
        if (problem.byte >= text.size() + 1 || text.find_first_not_of(" \t\r\n") == std::string_view::npos)
            error = "the file ends in the middle of the replay: truncated?";
        else
            error = "not JSON: a syntax error at " + placeOf(text, problem.byte == 0 ? 0 : problem.byte - 1);
        return false;
    } catch (const Json::exception&) {
        error = "not JSON: a number too large to read";
        return false;
    }
    Replay read;
    if (!ReplayReader(error).read(root, read))
        return false;
    replay = std::move(read);
    return true;
}

} // namespace vorlen
