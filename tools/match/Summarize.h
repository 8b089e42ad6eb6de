#pragma once

#include <string>
#include <vector>

namespace vorlen::match {

struct SummarizeResult {
    int exitCode = 0;
    std::string out;
    std::string err;
};

// `vorlen-match summarize FILE...`: the records of one run, from any number
// of files (the shards of a cluster run, say), summed up as one whole run
// would have summed them up. Duplicated and missing matches are reported
// on standard error; records of different runs mixed together are refused
// (exit 2).
SummarizeResult summarizeRecordFiles(const std::vector<std::string>& paths);

} // namespace vorlen::match
