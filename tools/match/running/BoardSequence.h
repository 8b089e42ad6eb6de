#pragma once

#include "Boards.h"
#include "Field.h"
#include "MatchConfig.h"

#include <string>

namespace vorlen::match {

// The boards of a run by index. Not shared between threads. The default
// boards are drawn one after the other, as the window draws them, so boards
// must be asked for in order (the same one again is fine).
class BoardSequence {
public:
    explicit BoardSequence(const MatchConfig& config) : config_(config) {}

    struct Board {
        Field field;
        std::string label; // where it came from, for the records
        StartPoint start;  // a replay's position the match plays on from
    };
    Board next() { return at(last_ + 1); }
    Board at(int index);

private:
    Board make(int index);

    const MatchConfig& config_;
    DrawnBoards drawn_;
    int last_ = -1;
    Board board_;
};

} // namespace vorlen::match
