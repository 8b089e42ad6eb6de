#include "SiteAdmin.h"

#include "AccountPages.h"
#include "HtmlText.h"

#include <climits>

namespace vorlen::ladder {
namespace {

std::int64_t settingNumber(LadderStore& store, const std::string& name, std::int64_t otherwise)
{
    const std::optional<std::string> text = store.setting(name);
    if (!text || text->empty() || text->size() > 12 || text->find_first_not_of("0123456789") != std::string::npos)
        return otherwise;
    return std::stoll(*text);
}

std::string button(const std::string& action, const std::string& label, const std::string& csrf)
{
    return "<form method=\"post\" action=\"" + escapedHtml(action) + "\" class=\"inline\">" + formTokenHtml(csrf)
           + "<button>" + label + "</button></form> ";
}

std::string numberField(const std::string& label, const std::string& name, std::int64_t value)
{
    return "<p><label>" + label + " <input type=\"number\" min=\"0\" name=\"" + name + "\" value=\""
           + std::to_string(value) + "\"></label></p>\n";
}

std::string adminHtml(LadderStore& store, const SiteHeader& header)
{
    std::string html = "<h2>Bots</h2>\n<table class=\"bots\">\n<thead><tr><th class=\"text\">bot</th>"
                       "<th class=\"text\">owner</th><th class=\"text\">state</th><th class=\"text\"></th></tr></thead>\n"
                       "<tbody>\n";
    for (const BotRow& bot : store.bots()) {
        const std::string base = "/admin/bots/" + bot.name + "/";
        std::string actions;
        if (bot.state == "active")
            actions += button(base + "pause", "Pause", header.csrf);
        if (bot.state == "paused")
            actions += button(base + "resume", "Resume", header.csrf);
        if (bot.state != "retired")
            actions += button(base + "recheck", "Build and check again", header.csrf)
                       + button(base + "retire", "Retire", header.csrf);
        html += "<tr><td class=\"text\"><a href=\"/bots/" + escapedHtml(bot.name) + "\">" + escapedHtml(bot.name)
                + "</a></td><td class=\"text\">" + escapedHtml(bot.owner.empty() ? "organisers" : bot.owner)
                + "</td><td class=\"text\">" + escapedHtml(bot.state) + "</td><td class=\"text\">" + actions
                + "</td></tr>\n";
    }
    const std::string mode = signupModeName(signupModeOf(store.setting("signup").value_or("closed")));
    const Quota quota = quotaOf(store);
    html += "</tbody></table>\n<h2>Settings</h2>\n<form method=\"post\" action=\"/admin/settings\">"
            + formTokenHtml(header.csrf) + "\n<p><label>Signing up <select name=\"signup\">";
    for (const char* choice : {"open", "invitation", "closed"})
        html += std::string("<option") + (mode == choice ? " selected" : "") + ">" + choice + "</option>";
    html += "</select></label> (invitation codes: <code>vorlen-ladder admin invite</code>)</p>\n"
            + numberField("Bots a user", "bots", quota.bots) + numberField("Versions a user a day", "versions", quota.versionsADay)
            + numberField("MiB of files a user", "mib", quota.bytes >> 20) + "<p><button>Save</button></p>\n</form>\n";
    return html;
}

// A whole number of at most nine digits from a form; none otherwise.
std::optional<std::int64_t> formNumber(const HttpRequest& request, const std::string& name)
{
    const auto found = request.form.find(name);
    if (found == request.form.end() || found->second.empty() || found->second.size() > 9
        || found->second.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(found->second);
}

HttpResponse saveSettings(LadderStore& store, const HttpRequest& request, const Visitor& visitor)
{
    const auto signup = request.form.find("signup");
    const std::optional<std::int64_t> bots = formNumber(request, "bots"), versions = formNumber(request, "versions"),
                                      mib = formNumber(request, "mib");
    if (signup == request.form.end() || signupModeName(signupModeOf(signup->second)) != signup->second || !bots
        || !versions || !mib)
        return refusal(400, "Settings", "Signing up is open, invitation or closed; the quotas are whole numbers.",
                       visitor);
    store.setSetting("signup", signup->second);
    store.setSetting("quota.bots", std::to_string(*bots));
    store.setSetting("quota.versions", std::to_string(*versions));
    store.setSetting("quota.mib", std::to_string(*mib));
    return seeOther("/admin");
}

HttpResponse botAction(LadderStore& store, const std::string& name, const std::string& action, const Visitor& visitor)
{
    const std::optional<BotRow> bot = isSoundBotName(name) ? store.bot(name) : std::nullopt;
    if (!bot)
        return refusal(404, "Not found", "No such bot.", visitor);
    if (action == "pause" && bot->state == "active")
        store.pauseBot(name, "paused by the organisers");
    else if (action == "resume" && bot->state == "paused")
        store.setBotState(name, "active");
    else if (action == "retire" && bot->state != "retired")
        store.setBotState(name, "retired");
    else if (action == "recheck" && bot->state != "retired") {
        const std::vector<VersionRow> versions = store.versionsOf(name);
        if (versions.empty())
            return refusal(409, "Check again", "It has no version.", visitor);
        // Waiting again: the runner builds and checks it afresh.
        store.setVersionState(versions.back().id, "waiting");
    } else
        return refusal(409, name, "That cannot be done to a bot that is " + bot->state + ".", visitor);
    return seeOther("/admin");
}

} // namespace

Quota quotaOf(LadderStore& store)
{
    Quota quota;
    quota.bots = settingNumber(store, "quota.bots", quota.bots);
    quota.versionsADay = settingNumber(store, "quota.versions", quota.versionsADay);
    quota.bytes = settingNumber(store, "quota.mib", quota.bytes >> 20) << 20;
    return quota;
}

HttpResponse adminPage(SiteContext& site, const Visitor& visitor)
{
    if (!visitor.admin())
        return refusal(403, "Organisers", "This page is the organisers'.", visitor);
    const StorePool::Lease store = site.stores.borrow();
    return htmlAnswer(sitePageHtml("Organisers", adminHtml(*store, visitor.header()), visitor.header()));
}

HttpResponse adminAction(SiteContext& site, const HttpRequest& request, const Visitor& visitor)
{
    if (!visitor.admin() || visitor.byToken)
        return refusal(403, "Organisers", "This is the organisers' to do, from their page.", visitor);
    if (!formTrusted(request, visitor))
        return refusal(403, "Organisers", "That form was not this site's: send it from the organisers' page.", visitor);
    const StorePool::Lease store = site.stores.borrow();
    if (request.path == "/admin/settings")
        return saveSettings(*store, request, visitor);
    const std::string rest = request.path.substr(std::string("/admin/bots/").size());
    const std::size_t slash = rest.find('/');
    if (!request.path.starts_with("/admin/bots/") || slash == std::string::npos)
        return refusal(404, "Not found", "No such page.", visitor);
    return botAction(*store, rest.substr(0, slash), rest.substr(slash + 1), visitor);
}

} // namespace vorlen::ladder
