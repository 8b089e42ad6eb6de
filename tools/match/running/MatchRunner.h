#pragma once

#include "BotGroups.h"
#include "MatchConfig.h"
#include "MatchRecord.h"
#include "RecordWriter.h"
#include "RunReport.h"
#include "SprtRun.h"
#include "Tally.h"

#include <csignal>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace vorlen::match {

// Plays every match of a run on `config.concurrency` threads, in the
// schedule's order; each finished match is recorded at once. Matches in
// `earlier` (a resumed run's records) are counted, not played again. When
// `interrupted` becomes set, or the referee itself fails (a record or a log
// that cannot be written), no new match starts, running bots are killed and
// unfinished matches are dropped. When the SPRT decides, no new match starts
// and running ones finish. `progress` is called on the calling thread about
// every 100 ms and once at the end, with what the run stands at.
class MatchRunner {
public:
    struct Progress {
        int finished = 0;               // matches, with those of earlier runs
        std::vector<MatchRecord> fresh; // finished since the last call
        Tally tally;
        std::optional<SprtRun> sprt;
    };

    MatchRunner(const MatchConfig& config, RecordWriter* records, const std::vector<MatchRecord>& earlier = {});

    // True if the run is complete: every match played, or the SPRT decided.
    bool run(const volatile std::sig_atomic_t& interrupted, const std::function<void(const Progress&)>& progress);

    const Tally& tally() const { return tally_; }
    const SprtRun* sprt() const { return sprt_ ? &*sprt_ : nullptr; }
    // The referee's failure that stopped the run; empty if none.
    const std::string& error() const { return error_; }
    BotGroups& groups() { return groups_; }
    // What held the bots' boxes, as the matches' records say; empty if none.
    const std::string& governance() const { return governance_; }
    // Where each finished match's page goes; none by default.
    void setReport(RunReport* report) { report_ = report; }

private:
    const MatchConfig& config_;
    RecordWriter* records_;
    RunReport* report_ = nullptr;
    Tally tally_;
    std::optional<SprtRun> sprt_;
    std::set<int> done_;
    std::vector<MatchRecord> fresh_;
    BotGroups groups_;
    std::string error_;
    std::string governance_;
};

} // namespace vorlen::match
