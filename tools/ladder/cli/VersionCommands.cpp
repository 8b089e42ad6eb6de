#include "CommandParts.h"
#include "FailedMoves.h"
#include "PairPlay.h"
#include "RecordText.h"
#include "VersionAdding.h"

#include <optional>
#include <sstream>

namespace vorlen::ladder {
namespace {

// A version's latest failed moves, with what to do about them and where
// their logs are.
std::string failuresOf(LadderStore& store, const VersionRow& version)
{
    std::string text;
    for (const FailedMove& move : failedMovesOf(store, version))
        text += "      match " + std::to_string(move.match) + ", turn " + std::to_string(move.turn) + ": " + move.reason
                + (move.hint.empty() ? "" : " (" + move.hint + ")")
                + (move.pair > 0 ? "; its logs in " + LadderPaths::pairOf(move.pair) : "") + "\n";
    return text.empty() ? text : "    failed moves, the latest first:\n" + text;
}

} // namespace

CommandOutcome addVersion(CommandCall& call, LadderStore& store)
{
    VersionRequest request;
    if (!takeOption(call.args, "--command", request.command) || !takeOption(call.args, "--build", request.build))
        return call.refuse("--command and --build each need a command line");
    if (call.args.size() != 2)
        return call.refuse("add takes a name and a folder or archive: vorlen-ladder add NAME PATH [--command LINE]");
    request.bot = call.args[0];
    request.path = call.args[1];
    request.now = call.now;
    const VersionAdded added = addBotVersion(call.ladder, store, request);
    if (!added.version)
        return call.refuse(added.error + (added.error.starts_with("cannot tell how") ? " with --command" : ""));
    const VersionRow& version = *added.version;
    call.outcome.out = versionName(version) + " added (" + std::to_string(added.files) + " files, "
                       + std::to_string(added.bytes) + " bytes): runs '" + version.command + "', "
                       + (version.build.empty() ? "builds nothing" : "builds with '" + version.build + "'")
                       + "; it plays once built and checked\n";
    return call.outcome;
}

// The bot a command names as its one word; none, refused, when there is no
// such bot.
std::optional<BotRow> namedBot(CommandCall& call, LadderStore& store, const std::string& command)
{
    if (call.args.size() != 1) {
        call.refuse(command + " takes a name: vorlen-ladder " + command + " NAME");
        return std::nullopt;
    }
    auto bot = store.bot(call.args[0]);
    if (!bot)
        call.refuse("no bot named '" + call.args[0] + "'");
    return bot;
}

CommandOutcome showBot(CommandCall& call, LadderStore& store)
{
    const auto bot = namedBot(call, store, "bot");
    if (!bot)
        return call.outcome;
    std::ostringstream text;
    text << bot->name << ": " << bot->state << (bot->note.empty() ? "" : " (" + bot->note + ")") << ", since "
         << bot->added << "\n";
    for (const VersionRow& version : store.versionsOf(bot->name)) {
        text << "  v" << version.number << "  " << version.state << (version.reason.empty() ? "" : ": " + version.reason)
             << "\n    runs '" << version.command << "'"
             << (version.build.empty() ? ", builds nothing" : ", builds with '" + version.build + "'") << "\n    added "
             << version.added << ", its files in " << version.folder << "\n";
        const std::int64_t played = store.matchCount(version.id);
        text << "    " << played << (played == 1 ? " match" : " matches") << (played > 0 ? ", the latest:" : "") << "\n";
        for (const MatchRow& row : store.matches(3, version.id))
            text << "      " << matchLine(row);
        text << failuresOf(store, version);
    }
    call.outcome.out = text.str();
    return call.outcome;
}

CommandOutcome retireBot(CommandCall& call, LadderStore& store)
{
    const auto bot = namedBot(call, store, "retire");
    if (!bot)
        return call.outcome;
    if (bot->state == "retired") {
        call.outcome.out = bot->name + " was retired already\n";
        return call.outcome;
    }
    store.setBotState(bot->name, "retired");
    call.outcome.out = bot->name + " retired: out of the standings and the schedule, its results kept\n";
    return call.outcome;
}

} // namespace vorlen::ladder
