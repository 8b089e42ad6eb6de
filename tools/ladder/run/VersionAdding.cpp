#include "VersionAdding.h"

#include "BotArchive.h"
#include "BotRecipe.h"
#include "RunLock.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

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
void dropVersionFolder(const std::string& version)
{
    removeCopiedFolder(version);
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(version).parent_path(),
        ignored); // only when empty
}

// A file is taken as an archive, anything else as a folder.
CopyOutcome takeFiles(const std::string& path, const std::string& target, const CopyCaps& caps)
{
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        return unpackBotArchive(path, target, caps);
    return copyBotFolder(path, target, caps);
}

// Why a user may not hand in one more version now; empty when they may.
std::string quotaFault(LadderStore& store, const UserRow& user, const VersionRequest& request, bool newBot)
{
    if (newBot && store.botsOwnedBy(user.id) >= request.quota.bots)
        return "over the quota: " + std::to_string(request.quota.bots) + " bots a user (retire one first)";
    if (store.versionsAddedSince(user.id, request.dayAgo) >= request.quota.versionsADay)
        return "over the quota: " + std::to_string(request.quota.versionsADay) + " versions a day";
    return "";
}

VersionAdded refused(const std::string& why)
{
    VersionAdded added;
    added.error = why;
    return added;
}

} // namespace

VersionAdded addBotVersion(
    const LadderPaths& ladder, LadderStore& store, const VersionRequest& request, const CopyCaps& caps)
{
    const std::string& name = request.bot;
    if (!isSoundBotName(name))
        return refused("'" + name
            + "' cannot name a bot: 1 to 64 letters, digits, '_' or '-', "
              "not first '-'");
    const std::optional<BotRow> bot = store.bot(name);
    if (bot && bot->state == "retired")
        return refused("'" + name + "' is retired: a new bot needs a new name");
    const bool limited = request.user && request.user->role != "admin";
    if (limited && bot && bot->owner != request.user->name)
        return refused("'" + name + "' is another's bot: choose another name");
    if (const std::string over = limited ? quotaFault(store, *request.user, request, !bot) : ""; !over.empty())
        return refused(over);
    std::error_code made;
    std::filesystem::create_directories(ladder.storage(), made);
    const RunLock lock(ladder.storage() + "/adding.lock", std::chrono::seconds(60), "another version is being added");
    if (!lock.held())
        return refused(lock.why());

    const int number = static_cast<int>(store.versionsOf(name).size()) + 1;
    const std::string folder = LadderPaths::sourceOf(name, number);
    const std::string version = ladder.root + "/" + LadderPaths::versionOf(name, number);
    removeCopiedFolder(version); // not in the database: a killed add's
    std::filesystem::create_directories(version, made);
    const CopyOutcome copy = takeFiles(request.path, ladder.root + "/" + folder, caps);
    if (!copy.error.empty()) {
        dropVersionFolder(version);
        return refused("'" + request.path + "' cannot be taken: " + copy.error);
    }
    const BotRecipe found = recipeFor(copy.files, recipeTexts(ladder.root + "/" + folder, copy.files));
    const BotRecipe recipe{
        request.build.empty() ? found.build : request.build, request.command.empty() ? found.command : request.command};
    if (recipe.command.empty()) {
        dropVersionFolder(version);
        return refused("cannot tell how to run '" + request.path + "': name its command line");
    }
    if (limited && store.bytesOwnedBy(request.user->id) + static_cast<std::int64_t>(copy.bytes) > request.quota.bytes) {
        dropVersionFolder(version);
        return refused("over the quota: " + std::to_string(request.quota.bytes >> 20) + " MiB of files a user");
    }
    VersionAdded added;
    try {
        added.version = store.addVersion(name, folder, recipe.command, recipe.build, request.now);
        store.setVersionBytes(added.version->id, static_cast<std::int64_t>(copy.bytes));
        if (request.user && !bot)
            store.setBotOwner(name, request.user->id);
    } catch (const SqlError&) {
        dropVersionFolder(version);
        throw;
    }
    // A paused bot's owner answers with a new version: it may play again.
    if (bot && bot->state == "paused")
        store.setBotState(name, "active");
    added.files = copy.files.size();
    added.bytes = copy.bytes;
    return added;
}

} // namespace vorlen::ladder
