#pragma once

#include "MatchConfig.h"
#include "MatchRecord.h"

#include <string>
#include <vector>

namespace vorlen::match {

// The records already in the --results file: those of the run being
// resumed, none when the file is not there yet. False when it is no file of
// records, when it holds another run's records to resume, or this run's
// without --resume (which would record its matches twice).
// A last line cut short is left out and said in `warning`.
bool readEarlierRecords(const MatchConfig& config, std::vector<MatchRecord>& records, std::string& error,
                        std::string& warning);

} // namespace vorlen::match
