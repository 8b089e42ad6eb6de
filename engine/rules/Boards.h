#pragma once

#include "Field.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace vorlen {

// Board `index` of a seed: the same on every machine, whatever the order in
// which boards are asked for. Its label is "seed:S:K".
Field seededBoard(std::uint64_t seed, int index);

// The boards a fresh process draws with rand(), one after the other: board
// `index` is "rand:K". The stream is private, so nothing else that draws can
// shift it, and it is the C library's own generator, so a board drawn here is
// the one the window draws at start.
class DrawnBoards {
public:
    DrawnBoards();
    DrawnBoards(const DrawnBoards&) = delete;
    DrawnBoards& operator=(const DrawnBoards&) = delete;

    Field next();
    // Draws and drops boards up to `index`, then returns board `index`.
    Field at(int index);

private:
    int next_ = 0;
    char state_[128]{};
    random_data data_{};
};

std::string seedLabel(std::uint64_t seed, int index);
std::string drawLabel(int index);

} // namespace vorlen
