#pragma once

#include "Boards.h"
#include "Field.h"
#include "MatchConfig.h"

#include <string>

namespace vorlen::match {

// Hands out the boards of a run in order. Not shared between threads: the
// default boards are drawn one after the other, as the window draws them.
class BoardSequence {
public:
    explicit BoardSequence(const MatchConfig& config) : config_(config) {}

    struct Board {
        Field field;
        std::string label; // where it came from, for the records
    };
    Board next();

private:
    const MatchConfig& config_;
    DrawnBoards drawn_;
    int index_ = 0;
};

} // namespace vorlen::match
