#pragma once

#include "UtcTime.h"

#include "CommandOutcome.h"

#include <csignal>
#include <functional>
#include <string>
#include <vector>

namespace vorlen::ladder {

// vorlen-ladder's command line, after the program's name: a subcommand and
// its words, on the ladder in the current folder or the one `--ladder DIR`
// names (anywhere among the words). `now` stamps what is added. A long
// command (run) tells its lines through `say` as they come, when given, and
// stops when `interrupted` is set.
CommandOutcome runLadderCommand(const std::vector<std::string>& words, const std::string& now,
                                const std::function<void(const std::string&)>& say = {},
                                const volatile std::sig_atomic_t* interrupted = nullptr);

using vorlen::utcNow; // the time now, as the ladder stamps what it adds and plays

} // namespace vorlen::ladder
