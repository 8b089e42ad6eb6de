#pragma once

#include "MatchRecord.h"
#include "Replay.h"
#include "Summarize.h"

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

// A run as web pages in a folder, opened from disk in any browser:
// index.html, a page per match named as its replay ("game-3.html"), and the
// script and style sheet they share. Written as the run goes: a match's page
// when it ends, the index at most once a second, and whole at the end.
class RunReport {
public:
    // Makes the folder and its shared files. `earlier`: a resumed run's records.
    bool open(const std::string& dir, const std::vector<MatchRecord>& earlier, std::string& error);
    // The search levels whose evaluations each match page shows.
    void showEvaluations(std::vector<int> levels) { evaluationLevels_ = std::move(levels); }
    // A finished match's page; from any thread.
    // `names`: the players as the run names them; empty: by their programs.
    bool addPage(int game, const std::string& name, const Replay& replay, const std::array<std::string, 2>& names,
                 std::string& error);
    // Finished matches' records; the index is written when a second has
    // passed since the last time, or when `now`.
    bool addRecords(const std::vector<MatchRecord>& records, bool now, std::string& error);

private:
    std::string dir_;
    std::vector<int> evaluationLevels_;
    std::vector<MatchRecord> records_;
    std::mutex pagesMutex_;
    std::map<int, std::string> pages_;
    std::chrono::steady_clock::time_point written_{};
};

// The game of a page or replay named "game-G.json", "game-G-A-B.html"...;
// -1 for any other name.
int gameOfName(const std::string& name);

// The report of a run written in `dir` from its records (CSV or JSON Lines
// files) and its replays (files, or folders of them), as the run would have
// written it: how many matches and pages it has, and the replays that gave
// no page, with why, a line each.
struct BuiltReport {
    std::size_t matches = 0;
    std::size_t pages = 0;
    std::vector<std::string> failures;
};
// None, with the reason, when there is no report: an input that is none of
// those or cannot be read, or a folder that cannot be written.
std::optional<BuiltReport> buildReport(const std::string& dir, const std::vector<std::string>& inputs,
                                       std::string& error);

} // namespace vorlen::match
