#pragma once

#include "Field.h"
#include "MatchConfig.h"

#include <string>

namespace vorlen::match {

// Board `index` of a seed: the same on every machine, whatever the order in
// which boards are asked for.
Field seededBoard(std::uint64_t seed, int index);

// Hands out the boards of a run in order. Not shared between threads: the
// window's boards come from rand(), one draw after the other.
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
    int index_ = 0;
};

} // namespace vorlen::match
