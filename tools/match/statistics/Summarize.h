#pragma once

#include "MatchRecord.h"
#include "StandingRows.h"

#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

// The records of one run from any number of files (the shards of a cluster
// run, say), summed up as one whole run would have summed them up, with what
// is said of the files besides, a line each: matches recorded twice or
// missing, a last line cut short.
struct RecordFilesSummary {
    std::string text;
    std::vector<std::string> notes;
};
// None, with the reason, when the files cannot be summed up as one run: a
// file that cannot be read, records of different runs mixed together, or no
// records at all.
std::optional<RecordFilesSummary> summarizeRecordFiles(const std::vector<std::string>& paths, std::string& error);

// A run's records, in game order, summed up as summarize does, with the
// SPRT's log-likelihood ratio after each sample when the run has one.
struct RecordsSummary {
    std::string text;
    std::vector<std::string> commands; // by player of the run, as first played
    std::vector<double> llr;
    double lower = 0;
    double upper = 0;
    std::vector<StandingRow> standings;
    std::string standingsNote; // a small sample, said beside them
    // Three players or more: each pairing's results, from the row player's
    // side, players in the standings' order; none on the diagonal.
    std::vector<std::vector<Tally::Results>> cross;
};
RecordsSummary summarizeRecords(const std::vector<MatchRecord>& records, bool complete);

} // namespace vorlen::match
