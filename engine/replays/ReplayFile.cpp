#include "ReplayFile.h"

#include "Files.h"
#include "ReplayJson.h"
#include "SeatFilesJson.h"
#include "ReplayPlayback.h"

namespace vorlen {

using namespace replay_json;

std::string replayJson(const Replay& replay)
{
    Json root;
    root["format"] = kReplayFormat;
    root["version"] = kReplayVersion;
    root["board_source"] = replay.boardSource;
    root["players"] = Json::array({replay.players[0], replay.players[1]});
    if (!replay.names[0].empty() || !replay.names[1].empty())
        root["names"] = Json::array({replay.names[0], replay.names[1]});
    if (!replay.runFolder.empty())
        root["run_folder"] = replay.runFolder;
    if (!replay.playersAsRun[0].empty() || !replay.playersAsRun[1].empty())
        root["players_as_run"] = Json::array({replay.playersAsRun[0], replay.playersAsRun[1]});
    root["move_limits"] = Json::array({replay.moveLimitsMs[0], replay.moveLimitsMs[1]});
    Json rows = Json::array();
    for (const auto& row : replay.board) {
        std::string digits;
        for (const std::int32_t cell : row)
            digits += static_cast<char>('0' + cell);
        rows.push_back(digits);
    }
    root["board"] = rows;
    Json turns = Json::array();
    for (std::size_t i = 0; i < replay.turns.size(); ++i) {
        const ReplayTurn& turn = replay.turns[i];
        Json entry;
        entry["turn"] = i;
        entry["seat"] = turn.seat;
        entry["answer"] = turn.answer ? Json(*turn.answer) : Json(nullptr);
        // Microseconds are plenty, and keep the file short.
        entry["ms"] = std::round(turn.milliseconds * 1000.0) / 1000.0;
        entry["scores"] = scoresJson(turn.score);
        if (!turn.retired.empty()) {
            Json retired = Json::array();
            for (const ReplayRetirement& retirement : turn.retired)
                retired.push_back({{"seat", retirement.seat}, {"reason", retirement.reason}});
            entry["retired"] = retired;
        }
        if (!turn.log.empty())
            entry["log"] = turn.log;
        if (turn.seatFiles)
            entry["seat_files"] = seatFilesJson(*turn.seatFiles);
        turns.push_back(entry);
    }
    root["turns"] = turns;
    root["result"] = replay.finished ? Json{{"scores", scoresJson(replay.finalScore())},
                                            {"winner", winnerName(replay.winningSeat())}}
                                     : Json(nullptr);
    // Names come in the locale's bytes; JSON is UTF-8, so a stray byte is replaced.
    return root.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool readReplayFile(const std::string& path, Replay& replay, std::string& error)
{
    std::string text;
    if (!readRegularFile(path, kReplaySizeLimit, text, error))
        return false;
    Replay read;
    if (!parseReplay(text, read, error) || !checkReplay(read, error))
        return false;
    replay = std::move(read);
    return true;
}

bool writeReplayFile(const std::string& path, const Replay& replay, std::string& error)
{
    return writeFileAtomically(path, replayJson(replay), error);
}

} // namespace vorlen
