#include "BotCopy.h"
#include "BotRecipe.h"
#include "CommandParts.h"
#include "PairPlay.h"
#include "RecordText.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace vorlen::ladder {
namespace {

// The files a recipe reads, at most a MiB each.
std::map<std::string, std::string> recipeTexts(const std::string& folder, const std::vector<std::string>& files)
{
    std::map<std::string, std::string> texts;
    for (const std::string& file : files) {
        const bool wanted = file == "Makefile" || (file.find('/') == std::string::npos && file.ends_with(".java"));
        if (!wanted)
            continue;
        std::ifstream in(folder + "/" + file, std::ios::binary);
        std::string text(1 << 20, '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(in.gcount()));
        texts[file] = std::move(text);
    }
    return texts;
}

// A version that did not come in leaves nothing: its folder, and its bot's
// when it was the first.
void dropVersionFolder(const std::string& source)
{
    const std::filesystem::path version = std::filesystem::path(source).parent_path();
    removeCopiedFolder(version.string());
    std::error_code ignored;
    std::filesystem::remove(version.parent_path(), ignored); // only when empty
}

// A version's latest failed moves, with what to do about them and where
// their logs are.
std::string failuresOf(LadderStore& store, const VersionRow& version)
{
    constexpr int kShown = 5, kLooked = 200;
    const std::string name = versionName(version);
    std::string text;
    int shown = 0;
    for (const MatchRow& row : store.matches(kLooked, version.id)) {
        std::vector<match::MatchRecord> records;
        std::string error;
        if (!match::parseRecords(row.record, true, records, error) || records.empty())
            continue;
        for (const match::SeatRecord& seat : records[0].seats) {
            if (seat.player != name || !failedIn(seat) || shown >= kShown)
                continue;
            text += "      match " + std::to_string(row.id) + ", turn " + std::to_string(seat.retiredTurn) + ": "
                    + seat.retired + (seat.hint.empty() ? "" : " (" + seat.hint + ")")
                    + (row.pair > 0 ? "; its logs in " + LadderPaths::pairOf(row.pair) : "") + "\n";
            ++shown;
        }
    }
    return text.empty() ? text : "    failed moves, the latest first:\n" + text;
}

} // namespace

CommandOutcome addVersion(CommandCall& call, LadderStore& store)
{
    std::string command, build;
    if (!takeOption(call.args, "--command", command) || !takeOption(call.args, "--build", build))
        return call.refuse("--command and --build each need a command line");
    if (call.args.size() != 2)
        return call.refuse("add takes a name and a folder: vorlen-ladder add NAME PATH [--command LINE]");
    const std::string& name = call.args[0];
    const std::string& path = call.args[1];
    if (!isSoundBotName(name))
        return call.refuse("'" + name + "' cannot name a bot: 1 to 64 letters, digits, '_' or '-', not first '-'");
    if (const auto bot = store.bot(name); bot && bot->state == "retired")
        return call.refuse("'" + name + "' is retired: a new bot needs a new name");
    const int number = static_cast<int>(store.versionsOf(name).size()) + 1;
    const std::string folder = LadderPaths::sourceOf(name, number);
    const std::string target = call.ladder.root + "/" + folder;
    std::error_code made;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), made);
    const CopyOutcome copy = copyBotFolder(path, target, CopyCaps{});
    if (!copy.error.empty()) {
        dropVersionFolder(target);
        return call.refuse("'" + path + "' cannot be taken: " + copy.error);
    }
    const BotRecipe found = recipeFor(copy.files, recipeTexts(target, copy.files));
    const BotRecipe recipe{build.empty() ? found.build : build, command.empty() ? found.command : command};
    if (recipe.command.empty()) {
        dropVersionFolder(target);
        return call.refuse("cannot tell how to run '" + path + "': name its command line with --command");
    }
    try {
        const VersionRow version = store.addVersion(name, folder, recipe.command, recipe.build, call.now);
        // A paused bot's owner answers with a new version: it may play again.
        if (const auto bot = store.bot(name); bot && bot->state == "paused")
            store.setBotState(name, "active");
        call.outcome.out = versionName(version) + " added (" + std::to_string(copy.files.size()) + " files, "
                           + std::to_string(copy.bytes) + " bytes): runs '" + recipe.command + "', "
                           + (recipe.build.empty() ? "builds nothing" : "builds with '" + recipe.build + "'")
                           + "; it plays once built and checked\n";
    } catch (const SqlError&) {
        dropVersionFolder(target);
        throw;
    }
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
