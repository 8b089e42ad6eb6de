#include "CgroupPlaces.h"
#include "CommandParts.h"
#include "DatabaseLocation.h"
#include "LadderCommands.h"
#include "LadderRun.h"
#include "RunLock.h"
#include "SandboxProbe.h"
#include "ScratchDir.h"

#include <filesystem>

namespace vorlen::ladder {


CommandOutcome runLadder(CommandCall& call, LadderStore& store)
{
    std::string matches = "-1", concurrency = "1", seed = "0", batch = "10", keep = "0";
    if (!takeOption(call.args, "--matches", matches) || !takeOption(call.args, "--concurrency", concurrency)
        || !takeOption(call.args, "--seed", seed) || !takeOption(call.args, "--batch", batch)
        || !takeOption(call.args, "--keep-pairs", keep))
        return call.refuse("--matches, --concurrency, --seed, --batch and --keep-pairs each need a number");
    RunSettings settings;
    settings.slurm.on = std::erase(call.args, "--slurm") > 0;
    if (!call.args.empty())
        return call.refuse("run takes only --matches N, --concurrency N, --seed N, --keep-pairs N and --slurm [--batch N]");
    const auto pairsAJob = countOf(batch, 1, 1000);
    if (!pairsAJob)
        return call.refuse("--batch takes a count from 1 to 1000");
    settings.slurm.batch = static_cast<int>(*pairsAJob);
    const auto kept = countOf(keep, 0);
    if (!kept)
        return call.refuse("--keep-pairs takes a count from 0 (0: every pair's files are kept)");
    settings.keepPairs = *kept;
    if (settings.slurm.on) {
        // Nodes share what they play against: the folder and a database
        // that many machines may write.
        const std::optional<std::string> location = call.ladder.databaseLocation();
        if (!location || !isPostgresLocation(*location))
            return call.refuse("--slurm needs the ladder's database in PostgreSQL, which the nodes share "
                               "(vorlen-ladder init DIR --database postgresql://...)");
        std::error_code unknown;
        settings.slurm.program = std::filesystem::read_symlink("/proc/self/exe", unknown).string();
    }
    const auto matchCount = countOf(matches, -1), workers = countOf(concurrency, 1, 256), ladderSeed = countOf(seed, 0);
    if (!matchCount || (matches != "-1" && *matchCount < 1))
        return call.refuse("--matches takes a count from 1");
    if (!workers)
        return call.refuse("--concurrency takes a count from 1 to 256");
    if (!ladderSeed)
        return call.refuse("--seed takes a number from 0");
    settings.matches = *matchCount;
    settings.concurrency = static_cast<int>(*workers);
    settings.seed = static_cast<std::uint64_t>(*ladderSeed);

    // Bots from anyone: built and played in boxes, or not at all.
    settings.play.plan = findSandbox();
    std::string why;
    if (!probeSandbox(settings.play.plan, why))
        return call.fail("a ladder builds and plays its bots in boxes, and none can be made here: " + why);
    settings.build.plan = settings.play.plan;
    // What killed runs left (their boxes' groups, their scratch folders) goes
    // first: a process of theirs still starting may hold the ladder's lock
    // until its group is gone, which takes a moment.
    for (const std::string& root : match::scratchRoots())
        match::removeAbandonedScratch(root);
    removeAbandonedBoxGroups();
    const RunLock lock(call.ladder.runLock(), std::chrono::seconds(2));
    if (!lock.held())
        return call.fail(lock.why());

    const volatile std::sig_atomic_t never = 0;
    const auto say = call.say ? call.say : [&](const std::string& line) { call.outcome.out += line; };
    LadderRun run(std::filesystem::absolute(call.ladder.root).lexically_normal().string(), store, settings,
                  {say, utcNow});
    const std::string error = run.run(call.interrupted ? *call.interrupted : never);
    if (!error.empty())
        return call.fail(error);
    say(std::to_string(run.matchesPlayed()) + " matches played\n");
    return call.outcome;
}

} // namespace vorlen::ladder
