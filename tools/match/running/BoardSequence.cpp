#include "BoardSequence.h"

#include "MapText.h"

#include <cassert>

namespace vorlen::match {

BoardSequence::Board BoardSequence::at(int index)
{
    assert(index >= last_);
    if (index != last_) {
        board_ = make(index);
        last_ = index;
    }
    return board_;
}

BoardSequence::Board BoardSequence::make(int index)
{
    switch (config_.boards) {
    case BoardMode::Seeded:
        return {seededBoard(config_.seed, index), seedLabel(config_.seed, index), {}};
    case BoardMode::Map: {
        Field field = drawn_.at(index);
        readMapText(config_.mapText, field);
        // A short map is topped up by the draw: the label must tell which.
        const bool whole = config_.mapDigits >= kBoardCells;
        return {field, "map:" + config_.mapPath + (whole ? "" : "+" + drawLabel(index)), {}};
    }
    case BoardMode::List: {
        const ListedBoard& listed = config_.boardList.at(static_cast<std::size_t>(index) % config_.boardList.size());
        return {boardOf(listed), listed.label(), startOf(listed)};
    }
    case BoardMode::Start:
        return {config_.startReplay.board, config_.start->label(), {&config_.startReplay, config_.start->turns}};
    case BoardMode::Window:
        break;
    }
    return {drawn_.at(index), drawLabel(index), {}};
}

} // namespace vorlen::match
