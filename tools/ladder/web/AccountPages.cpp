#include "AccountPages.h"

#include "HtmlText.h"

namespace vorlen::ladder {
namespace {

std::string errorHtml(const std::string& error)
{
    return error.empty() ? "" : "<p class=\"error\" role=\"alert\">" + escapedHtml(error) + "</p>\n";
}

std::string field(const std::string& label, const std::string& name, const std::string& type,
                  const std::string& extra = "")
{
    return "<p><label>" + label + "<br><input type=\"" + type + "\" name=\"" + name + "\"" + extra
           + "></label></p>\n";
}

} // namespace

SignupMode signupModeOf(const std::string& setting)
{
    return setting == "open" ? SignupMode::Open : setting == "invitation" ? SignupMode::Invitation : SignupMode::Closed;
}

const char* signupModeName(SignupMode mode)
{
    return mode == SignupMode::Open ? "open" : mode == SignupMode::Invitation ? "invitation" : "closed";
}

std::string signupPageHtml(SignupMode mode, const std::string& csrf, const std::string& error)
{
    if (mode == SignupMode::Closed)
        return sitePageHtml("Sign up", errorHtml(error) + "<p>Signing up is closed: ask the organisers.</p>\n", {});
    const std::string form =
        "<form method=\"post\" action=\"/signup\">" + formTokenHtml(csrf) + "\n"
        + field("Name (1 to 64 letters, digits, _ or -)", "name", "text",
                " required maxlength=\"64\" pattern=\"[A-Za-z0-9_][A-Za-z0-9_-]*\" autocomplete=\"username\"")
        + field("Password (10 characters or more)", "password", "password",
                " required minlength=\"10\" autocomplete=\"new-password\"")
        + (mode == SignupMode::Invitation ? field("Invitation code", "invitation", "text", " required") : "")
        + "<p><button>Sign up</button></p>\n</form>\n";
    return sitePageHtml("Sign up", errorHtml(error) + form, {});
}

std::string loginPageHtml(const std::string& csrf, const std::string& error)
{
    const std::string form = "<form method=\"post\" action=\"/login\">" + formTokenHtml(csrf) + "\n"
                             + field("Name", "name", "text", " required autocomplete=\"username\"")
                             + field("Password", "password", "password", " required autocomplete=\"current-password\"")
                             + "<p><button>Log in</button></p>\n</form>\n";
    return sitePageHtml("Log in", errorHtml(error) + form, {});
}

std::string userPageHtml(const UserView& view, const SiteHeader& header)
{
    std::string html = view.role == "admin" ? "<p>An organiser of this ladder.</p>\n" : "";
    html += "<h2>Bots</h2>\n";
    if (view.bots.empty())
        html += "<p>None yet.</p>\n";
    for (const BotRow& bot : view.bots)
        html += "<p><a href=\"/bots/" + escapedHtml(bot.name) + "\">" + escapedHtml(bot.name) + "</a> ("
                + escapedHtml(bot.state) + (bot.note.empty() ? "" : ": " + escapedHtml(bot.note)) + ")</p>\n";
    if (!view.self)
        return sitePageHtml(view.name, html, header);
    html += "<h2>Hand in a bot</h2>\n<p>A zip or tar.gz of the bot's folder (Python's main.py, a Makefile with a "
            "bot target, Java or Node sources): it is built and checked, then plays. A name already yours takes a "
            "new version.</p>\n<form method=\"post\" action=\"/upload\" enctype=\"multipart/form-data\">"
            + formTokenHtml(header.csrf) + "\n"
            + field("Bot's name (the archive's name when empty)", "name", "text", " maxlength=\"64\"")
            + field("Archive", "bot", "file", " required accept=\".zip,.tar.gz,.tgz,.tar\"")
            + "<p><button>Hand in</button></p>\n</form>\n<h2>API token</h2>\n";
    if (!view.token.empty())
        html += "<p>Your new token, shown this once:</p>\n<pre id=\"token\">" + escapedHtml(view.token)
                + "</pre>\n<p>Hand in from a shell with:</p>\n<pre>curl -F bot=@mybot.zip -H 'Authorization: Bearer "
                + escapedHtml(view.token) + "' https://THIS-SITE/upload</pre>\n";
    html += "<form method=\"post\" action=\"/token\">" + formTokenHtml(header.csrf)
            + "<button>Make a new token</button> (the old one stops working)</form>\n";
    return sitePageHtml(view.name, html, header);
}

} // namespace vorlen::ladder
