#pragma once

#include "MatchRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorlen::match {

// Records as files hold them: CSV lines under a header, or JSON Lines.
std::string csvHeader();
// A CSV line of the first `fieldCount` fields (all by default): a file begun
// by an earlier version goes on with its own columns.
std::string toCsv(const MatchRecord& record, std::size_t fieldCount = SIZE_MAX);
std::string toJsonLine(const MatchRecord& record);

// Reads records back, CSV (with its header) or JSON Lines: false, with the
// line and what is wrong with it, at the first line that is not a record. A
// last line without its line end was cut short by a run that stopped while
// writing it: it is left out, and `warning` says so.
bool parseRecords(const std::string& text, bool json, std::vector<MatchRecord>& records, std::string& error,
                  std::string* warning = nullptr);
// A results file, JSON Lines when its name ends in ".jsonl".
bool readRecordFile(const std::string& path, std::vector<MatchRecord>& records, std::string& error,
                    std::string* warning = nullptr);
// Whether the name says CSV (".csv") or JSON Lines (".jsonl").
bool isRecordsPath(const std::string& path);
bool isJsonLinesPath(const std::string& path);

} // namespace vorlen::match
