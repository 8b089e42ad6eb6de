#pragma once

#include <string>
#include <vector>

namespace vorlen::match {

// What a command said, and how it ended.
struct CommandOutcome {
    int exitCode = 0;
    std::string out;
    std::string err;
};

// `vorlen-match summarize FILE...`: the run's summary on standard output;
// duplicated and missing matches on standard error; files that cannot be
// summed up as one run refused (exit 2).
CommandOutcome summarizeCommand(const std::vector<std::string>& arguments);

// `vorlen-match report DIR FILE...`: the run's web report from its records
// and replays; a replay that gives no page is said and ends it with 1, a
// report that cannot be made with 2.
CommandOutcome reportCommand(const std::vector<std::string>& arguments);

} // namespace vorlen::match
