#pragma once

#include "MatchRunner.h"
#include "Ratings.h"

#include <chrono>
#include <string>
#include <vector>

namespace vorlen::match {

// What a run tells on standard error as it goes. By default a line per
// finished match (its players, scores, winner, and why a seat failed), and
// every ten matches or ten seconds a score line (the first player's wins,
// draws and losses, Elo, the SPRT's ratio, matches and time left). Quiet:
// a bare count, every tenth of the run or ten seconds. On a terminal the
// count stands on the last line and is rewritten in place.
class ProgressReport {
public:
    using Clock = std::chrono::steady_clock;

    struct Settings {
        int total = 0;        // matches this process plays, with earlier ones
        int earlier = 0;      // of those, done before it started
        bool quiet = false;
        bool terminal = false;
        std::vector<std::string> players; // the run's, in order: the first one's score is shown
        RatingAnchor anchor;              // who the standings put at 0
    };

    ProgressReport(const Settings& settings, Clock::time_point start);

    // The text to write for this news.
    std::string update(const MatchRunner::Progress& now, Clock::time_point at);
    // What ends the report: the terminal's count line cleared.
    std::string finish() const;

private:
    std::string matchLine(const MatchRecord& record) const;
    std::string scoreLine(const MatchRunner::Progress& now, Clock::time_point at) const;
    std::string countLine(const MatchRunner::Progress& now) const;

    Settings settings_;
    Clock::time_point start_;
    Clock::time_point lastShown_;
    int lastCount_;
};

} // namespace vorlen::match
