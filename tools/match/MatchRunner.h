#pragma once

#include "BotGroups.h"
#include "MatchConfig.h"
#include "MatchRecord.h"
#include "Summary.h"

#include <csignal>
#include <functional>

namespace vorlen::match {

// Plays every match of a run on `config.concurrency` threads. Boards are
// handed out in order; each finished match is recorded at once. When
// `interrupted` becomes set, or the referee itself fails (a record or a log
// that cannot be written), no new match starts, running bots are killed and
// unfinished matches are dropped. `progress` is called on the calling thread
// about every 100 ms and once at the end with the number of finished matches.
class MatchRunner {
public:
    MatchRunner(const MatchConfig& config, RecordWriter* records)
        : config_(config), records_(records) {}

    // True if every match was played.
    bool run(const volatile std::sig_atomic_t& interrupted,
             const std::function<void(int finished)>& progress);

    const Tally& tally() const { return tally_; }
    // The referee's failure that stopped the run; empty if none.
    const std::string& error() const { return error_; }
    BotGroups& groups() { return groups_; }

private:
    const MatchConfig& config_;
    RecordWriter* records_;
    Tally tally_;
    BotGroups groups_;
    std::string error_;
};

} // namespace vorlen::match
