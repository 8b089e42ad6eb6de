// What a cluster's node runs: one pair the scheduler chose, played and
// landed in the database every node shares.
#include "CommandParts.h"
#include "LadderCommands.h"
#include "LadderRun.h"
#include "PairLanding.h"
#include "SandboxProbe.h"

#include <filesystem>
#include <fstream>

namespace vorlen::ladder {
namespace {

// The pair on line `index` (from 0) of the list; 0 when there is none.
std::int64_t listedPair(const std::string& list, const std::string& index)
{
    long long at = -1;
    try {
        std::size_t used = 0;
        at = std::stoll(index, &used);
        if (used != index.size())
            at = -1;
    } catch (...) {
    }
    std::ifstream in(list);
    std::string line;
    for (long long i = 0; at >= 0 && std::getline(in, line); ++i)
        if (i == at) {
            try {
                return std::stoll(line);
            } catch (...) {
                return 0;
            }
        }
    return 0;
}

} // namespace

CommandOutcome playPairCommand(CommandCall& call, LadderStore& store)
{
    std::string list, index;
    if (!takeOption(call.args, "--list", list) || !takeOption(call.args, "--index", index) || !call.args.empty()
        || list.empty() || index.empty())
        return call.refuse("play-pair takes --list FILE --index I");
    const std::int64_t pair = listedPair(list, index);
    if (pair <= 0)
        return call.refuse("no pair on line " + index + " of '" + list + "'");
    PlaySettings settings;
    settings.plan = findSandbox();
    std::string why;
    if (!probeSandbox(settings.plan, why))
        return call.fail("no box can be made on this node: " + why);
    const std::string root = std::filesystem::absolute(call.ladder.root).lexically_normal().string();
    const PairJob job = playStoredPair(root, store, pair, settings, RunSettings{}.pauseAfter, utcNow());
    if (!job.error.empty())
        return call.fail(job.error);
    for (const std::string& line : job.said)
        call.outcome.out += line;
    return call.outcome;
}

} // namespace vorlen::ladder
