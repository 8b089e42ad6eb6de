#pragma once

#include <string>

namespace vorlen::ladder {

// What a subcommand printed and how it ended: 0 done, 1 failed, 2 refused
// (a bad name, path or option).
struct CommandOutcome {
    int code = 0;
    std::string out;
    std::string err;
};

} // namespace vorlen::ladder
