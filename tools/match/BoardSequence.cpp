#include "BoardSequence.h"

#include "MapText.h"

namespace vorlen::match {

BoardSequence::Board BoardSequence::next()
{
    const int index = index_++;
    switch (config_.boards) {
    case BoardMode::Seeded:
        return {seededBoard(config_.seed, index), seedLabel(config_.seed, index)};
    case BoardMode::Map: {
        Field field = drawn_.next();
        readMapText(config_.mapText, field);
        // A short map is topped up by the draw: the label must tell which.
        const bool whole = config_.mapDigits >= kBoardCells;
        return {field, "map:" + config_.mapPath + (whole ? "" : "+" + drawLabel(index))};
    }
    case BoardMode::Window:
        break;
    }
    return {drawn_.next(), drawLabel(index)};
}

} // namespace vorlen::match
