#include "VersionIntake.h"

#include "BotCopy.h"
#include "LadderPaths.h"
#include "RecordText.h"

#include <filesystem>

namespace vorlen::ladder {
namespace {

// What an intake killed halfway left: gone, so that it starts clean.
void clearIntake(const std::string& folder)
{
    removeCopiedFolder(folder + "/built");
    std::error_code ignored;
    std::filesystem::remove_all(folder + "/check", ignored);
    std::filesystem::remove(folder + "/build.log", ignored);
}

} // namespace

IntakeOutcome takeInVersion(const VersionRow& version, const std::string& root, const BuildSettings& build,
                            const PlaySettings& play, BotGroups& groups, BoxPool& boxes)
{
    const std::string folder = root + "/" + LadderPaths::versionOf(version.bot, version.number);
    clearIntake(folder);
    IntakeOutcome outcome;
    std::string built = folder + "/source";
    if (!version.build.empty()) {
        const BuildOutcome made =
            buildVersion(built, version.build, folder + "/built", folder + "/build.log", build, groups);
        if (groups.stopping()) {
            outcome.interrupted = true;
            return outcome;
        }
        if (!made.built) {
            outcome.reason = made.reason + " (its log: " + LadderPaths::versionOf(version.bot, version.number) + "/build.log)";
            return outcome;
        }
        built = folder + "/built";
    }
    const match::NamedPlayer candidate{versionName(version), versionSeat(version.command, built)};
    const match::NamedPlayer greedy{kCheckOpponent, SeatPlayer{}};
    const PairOutcome check =
        playPair(candidate, greedy, {static_cast<std::uint64_t>(version.id), folder + "/check"}, play, groups, boxes);
    outcome.interrupted = check.interrupted;
    outcome.error = check.error;
    if (check.interrupted || !check.error.empty())
        return outcome;
    for (const match::MatchRecord& record : check.records)
        outcome.checkRecords.push_back(match::toJsonLine(record));
    outcome.checkFailures = failedMatches(check.records, candidate.name);
    outcome.reason = checkFailure(check.records, candidate.name);
    if (!outcome.reason.empty())
        outcome.reason = "its check against the built-in player: " + outcome.reason;
    outcome.ready = outcome.reason.empty();
    return outcome;
}

} // namespace vorlen::ladder
