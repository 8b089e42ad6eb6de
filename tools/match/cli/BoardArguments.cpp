#include "BoardArguments.h"

#include "MapText.h"
#include "PlayerArguments.h"
#include "ReplayFile.h"

#include <algorithm>

namespace vorlen::match {

std::optional<QString> readStart(const std::string& value, MatchConfig& config)
{
    config.start = parseReplayPosition(value);
    if (!config.start)
        return "needs REPLAY@K, K a turn from 0 or start, not '" + QString::fromLocal8Bit(value) + "'";
    std::string error;
    if (!readReplayFile(config.start->path, config.startReplay, error))
        return QString::fromLocal8Bit(config.start->path + ": " + error);
    if (!canPlayOn(config.startReplay, config.start->turns, error))
        return QString::fromLocal8Bit(config.start->path + ": " + error);
    config.boards = BoardMode::Start;
    return std::nullopt;
}

std::optional<QString> readMap(const QString& value, MatchConfig& config)
{
    config.mapPath = localBytes(value);
    Field board = makeField(kBoardRows, kBoardColumns);
    std::string error;
    if (!readMapFile(config.mapPath, board, config.mapText, error))
        return "cannot read the map file '" + value + "': " + QString::fromLocal8Bit(error);
    config.mapDigits = static_cast<int>(
        std::count_if(config.mapText.begin(), config.mapText.end(), [](char ch) { return ch != '\n'; }));
    config.boards = BoardMode::Map;
    return std::nullopt;
}

} // namespace vorlen::match
