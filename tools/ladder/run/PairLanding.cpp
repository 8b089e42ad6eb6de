#include "PairLanding.h"

#include "LadderPaths.h"
#include "RecordText.h"

namespace vorlen::ladder {
namespace {

std::string pointsText(double points) { return points == 0.5 ? "1/2" : points == 1 ? "1" : "0"; }

} // namespace

std::array<match::NamedPlayer, 2> pairSeats(const std::string& root, const VersionRow& first, const VersionRow& second)
{
    const auto seatOf = [&](const VersionRow& version) {
        const std::string folder = root + "/" + LadderPaths::versionOf(version.bot, version.number)
                                   + (version.build.empty() ? "/source" : "/built");
        return match::NamedPlayer{versionName(version), versionSeat(version.command, folder)};
    };
    return {seatOf(first), seatOf(second)};
}

std::vector<std::string> landPair(LadderStore& store, const PairRow& pair, const VersionRow& first,
                                  const VersionRow& second, const PairOutcome& outcome, int pauseAfter,
                                  const std::string& now)
{
    PlayedPair played;
    const std::array<std::string, 2> names{versionName(first), versionName(second)};
    std::string line = "pair " + std::to_string(pair.id) + ":";
    for (match::MatchRecord record : outcome.records) {
        // Numbered across the ladder, so that its records read as one run's.
        record.game = ladderGame(pair.id, record.game);
        played.records.push_back(match::toJsonLine(record));
        played.points.push_back(record.pointsOf(names[0]));
        line += " " + record.seats[0].player + " " + pointsText(record.pointsOf(record.seats[0].player)) + "-"
                + pointsText(record.pointsOf(record.seats[1].player)) + " " + record.seats[1].player + ";";
    }
    played.failed = {failedMatches(outcome.records, names[0]), failedMatches(outcome.records, names[1])};
    const std::array<int, 2> inARow = store.finishPair(pair, played, now);
    line.back() = '\n';
    std::vector<std::string> said{line};
    const std::array<const VersionRow*, 2> versions{&first, &second};
    for (std::size_t side = 0; side < 2; ++side)
        if (inARow[side] >= pauseAfter) {
            const std::string note = "failed " + std::to_string(inARow[side]) + " matches in a row";
            store.pauseBot(versions[side]->bot, note);
            said.push_back(versions[side]->bot + " paused: " + note + " (its page lists the failures)\n");
        }
    return said;
}

PairJob playStoredPair(const std::string& root, LadderStore& store, std::int64_t id, const PlaySettings& settings,
                       int pauseAfter, const std::string& now)
{
    PairJob job;
    const std::optional<PairRow> pair = store.playingPair(id);
    if (!pair) {
        job.error = "pair " + std::to_string(id) + " is not waiting to be played";
        return job;
    }
    const VersionRow first = store.version(pair->first).value();
    const VersionRow second = store.version(pair->second).value();
    const auto seats = pairSeats(root, first, second);
    BotGroups groups;
    BoxPool boxes(2);
    const PairOutcome outcome = playPair(seats[0], seats[1],
                                         {static_cast<std::uint64_t>(pair->seed), root + "/" + LadderPaths::pairOf(id)},
                                         settings, groups, boxes);
    if (!outcome.error.empty() || outcome.records.size() != 2) {
        job.error = outcome.error.empty() ? "the pair was stopped" : outcome.error;
        return job;
    }
    job.said = landPair(store, *pair, first, second, outcome, pauseAfter, now);
    return job;
}

} // namespace vorlen::ladder
