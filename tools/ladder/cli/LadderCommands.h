#pragma once

#include "CommandOutcome.h"

#include <string>
#include <vector>

namespace vorlen::ladder {

// vorlen-ladder's command line, after the program's name: a subcommand and
// its words, on the ladder in the current folder or the one `--ladder DIR`
// names (anywhere among the words). `now` stamps what is added.
CommandOutcome runLadderCommand(const std::vector<std::string>& words, const std::string& now);

} // namespace vorlen::ladder
