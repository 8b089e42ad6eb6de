#pragma once

#include "LadderStore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorlen::ladder {

// A move a version failed in a landed match: why, what to do about it.
struct FailedMove {
    std::int64_t match = 0;
    int turn = 0;
    std::string reason;
    std::string hint;
    std::int64_t pair = 0; // where its logs are; 0: none
};

// A version's latest failed moves, the latest first: at most `shown`, from
// its latest `looked` matches.
std::vector<FailedMove> failedMovesOf(LadderStore& store, const VersionRow& version, int shown = 5, int looked = 200);

} // namespace vorlen::ladder
