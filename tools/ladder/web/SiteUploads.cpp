#include "SiteUploads.h"

#include "FileDescriptor.h"
#include "SiteAdmin.h"
#include "UtcTime.h"

#include <fcntl.h>

#include <ctime>

namespace vorlen::ladder {
namespace {

// What an API call is told: plain text, as a shell shows it.
HttpResponse said(int status, const std::string& text) { return {status, "text/plain; charset=utf-8", text + "\n", {}}; }

// The archive's name without its folders and endings: "mybot.tar.gz" is "mybot".
std::string stemOf(const std::string& file)
{
    const std::size_t slash = file.find_last_of("/\\");
    std::string stem = slash == std::string::npos ? file : file.substr(slash + 1);
    return stem.substr(0, stem.find('.'));
}

std::optional<VersionRow> versionOf(LadderStore& store, const std::string& bot, const std::string& number)
{
    for (const VersionRow& version : store.versionsOf(bot))
        if (std::to_string(version.number) == number)
            return version;
    return std::nullopt;
}

} // namespace

HttpResponse upload(SiteContext& site, const HttpRequest& request, const Visitor& visitor)
{
    const auto answer = [&](int status, const std::string& text) {
        return visitor.byToken ? said(status, text) : refusal(status, "Hand in a bot", text, visitor);
    };
    if (!visitor.user)
        return answer(401, "Log in first, or send your API token (Authorization: Bearer ...).");
    if (!formTrusted(request, visitor))
        return answer(403, "That form was not this site's: send it from your page.");
    const auto file = request.files.find("bot");
    if (file == request.files.end())
        return answer(400, "No archive: send it as the form's field 'bot'.");
    const auto named = request.form.find("name");
    VersionRequest version;
    version.bot = named != request.form.end() && !named->second.empty() ? named->second : stemOf(file->second.name);
    version.path = file->second.path;
    const std::time_t at = std::time(nullptr);
    version.now = isoTime(at);
    version.dayAgo = isoTime(at - 24 * 3600);
    version.user = visitor.user;
    const StorePool::Lease store = site.stores.borrow();
    version.quota = quotaOf(*store);
    const VersionAdded added = addBotVersion(site.ladder, *store, version);
    if (!added.version)
        return answer(422, added.error);
    if (!visitor.byToken)
        return seeOther("/bots/" + version.bot);
    return said(201, versionName(*added.version) + " added (" + std::to_string(added.files) + " files, "
                         + std::to_string(added.bytes) + " bytes): it plays once built and checked");
}

HttpResponse retire(SiteContext& site, const HttpRequest& request, const Visitor& visitor, const std::string& bot)
{
    const StorePool::Lease store = site.stores.borrow();
    const std::optional<BotRow> row = isSoundBotName(bot) ? store->bot(bot) : std::nullopt;
    if (!row)
        return refusal(404, "Not found", "No such bot.", visitor);
    if (!visitor.owns(*row))
        return refusal(403, "Retire", "Only its owner or an organiser may retire a bot.", visitor);
    if (!formTrusted(request, visitor))
        return refusal(403, "Retire", "That form was not this site's: send it from the bot's page.", visitor);
    // For good: a retired name is not taken again.
    if (const auto sure = request.form.find("sure"); sure == request.form.end() || sure->second != "yes")
        return refusal(400, "Retire", "Tick 'for good' to retire a bot: its name is not taken again.", visitor);
    store->setBotState(bot, "retired");
    return seeOther("/bots/" + bot);
}

HttpResponse buildLog(SiteContext& site, const Visitor& visitor, const std::string& bot, const std::string& number)
{
    const StorePool::Lease store = site.stores.borrow();
    const std::optional<BotRow> row = isSoundBotName(bot) ? store->bot(bot) : std::nullopt;
    const std::optional<VersionRow> version = row ? versionOf(*store, bot, number) : std::nullopt;
    if (!version)
        return refusal(404, "Not found", "No such version.", visitor);
    if (!visitor.owns(*row))
        return refusal(403, "Build log", "A build log is its bot's owner's to read.", visitor);
    const std::string path = site.ladder.root + "/" + LadderPaths::versionOf(bot, version->number) + "/build.log";
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid())
        return said(404, "No build log: the version has not been built" + std::string(version->build.empty() ? " (it builds nothing)" : " yet"));
    return said(200, readUpTo(file.get(), 4 << 20));
}

} // namespace vorlen::ladder
