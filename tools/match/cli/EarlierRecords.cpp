#include "EarlierRecords.h"

#include "RecordText.h"

#include <algorithm>
#include <filesystem>

namespace vorlen::match {

bool readEarlierRecords(const MatchConfig& config, std::vector<MatchRecord>& records, std::string& error,
                        std::string& warning)
{
    const std::string& path = config.resultsPath;
    std::error_code missing;
    const std::filesystem::file_status status = std::filesystem::status(path, missing);
    if (!std::filesystem::exists(status))
        return true;
    if (!std::filesystem::is_regular_file(status)) {
        error = "--results: '" + path + "' is not a regular file";
        return false;
    }
    if (!readRecordFile(path, records, error, &warning)) {
        error = "--results: cannot read '" + path + "': " + error;
        return false;
    }
    const std::string run = config.runId();
    if (!config.resume) {
        const bool ours = std::any_of(records.begin(), records.end(), [&](const MatchRecord& r) { return r.run == run; });
        records.clear();
        if (ours) {
            error = "'" + path + "' already holds records of this run; add --resume to play only the matches not "
                    "yet in it, or use another --results file";
            return false;
        }
        return true;
    }
    for (const MatchRecord& record : records) {
        if (record.run != run || record.game >= config.matchCount()) {
            error = "'" + config.resultsPath + "' holds records of another run (game " + std::to_string(record.game)
                    + ": its players, boards or seatings differ from these options); resume with the options of "
                      "that run, or use another --results file";
            return false;
        }
    }
    return true;
}

} // namespace vorlen::match
