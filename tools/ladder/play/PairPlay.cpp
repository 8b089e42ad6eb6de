#include "PairPlay.h"

#include "CommandLine.h"
#include "MatchRunner.h"
#include "Retirement.h"

#include <algorithm>
#include <filesystem>

namespace vorlen::ladder {

SeatPlayer versionSeat(const std::string& command, const std::string& folder)
{
    SeatPlayer seat = parseSeatPlayer(command);
    seat.command = anchorInFolder(seat.command, folder);
    seat.ownDir = folder;
    seat.blankOwnDir = false;
    return seat;
}

PairOutcome playPair(const match::NamedPlayer& a, const match::NamedPlayer& b, const PairPlace& place,
                     const PlaySettings& settings, const volatile std::sig_atomic_t& interrupted)
{
    match::MatchConfig config;
    config.named = {a, b};
    config.swap = true;
    config.games = 1;
    config.boards = match::BoardMode::Seeded;
    config.seed = place.seed;
    config.sandbox = match::SandboxMode::Required;
    config.boxes = settings.plan;
    config.limits = settings.limits;
    config.botLogDir = place.folder;
    config.replayDir = place.folder;
    config.quiet = true;
    PairOutcome outcome;
    std::error_code made;
    std::filesystem::create_directories(place.folder, made);
    if (made) {
        outcome.error = "cannot make '" + place.folder + "': " + made.message();
        return outcome;
    }
    match::MatchRunner runner(config, nullptr);
    const bool whole = runner.run(interrupted, [&](const match::MatchRunner::Progress& progress) {
        outcome.records.insert(outcome.records.end(), progress.fresh.begin(), progress.fresh.end());
    });
    outcome.error = runner.error();
    outcome.interrupted = !whole && outcome.error.empty();
    if (!whole)
        outcome.records.clear();
    std::sort(outcome.records.begin(), outcome.records.end(),
              [](const match::MatchRecord& x, const match::MatchRecord& y) { return x.game < y.game; });
    return outcome;
}

bool failedIn(const match::SeatRecord& seat) { return !seat.retired.empty() && !isGameEnd(seat.retired); }

std::string checkFailure(const std::vector<match::MatchRecord>& records, const std::string& version)
{
    for (const match::MatchRecord& record : records)
        for (const match::SeatRecord& seat : record.seats)
            if (seat.player == version && failedIn(seat))
                return "match " + std::to_string(record.game + 1) + ", turn " + std::to_string(seat.retiredTurn)
                       + ": " + seat.retired + (seat.hint.empty() ? "" : " (" + seat.hint + ")");
    return {};
}

} // namespace vorlen::ladder
