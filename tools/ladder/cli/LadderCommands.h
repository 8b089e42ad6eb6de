#pragma once

#include <string>
#include <vector>

namespace vorlen::ladder {

// What a subcommand printed and how it ended: 0 done, 1 failed, 2 refused
// (a bad name, path or option).
struct CommandOutcome {
    int code = 0;
    std::string out;
    std::string err;
};

// vorlen-ladder's command line, after the program's name: a subcommand and
// its words, on the ladder in the current folder or the one `--ladder DIR`
// names (anywhere among the words). `now` stamps what is added.
CommandOutcome runLadderCommand(const std::vector<std::string>& words, const std::string& now);

} // namespace vorlen::ladder
