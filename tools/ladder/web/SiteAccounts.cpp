#include "SiteAccounts.h"

#include "AccountPages.h"
#include "Credentials.h"

#include <algorithm>
#include <ctime>

namespace vorlen::ladder {
namespace {

constexpr const char* kSessionCookie = "vorlen_session";
constexpr const char* kFormCookie = "vorlen_form";
constexpr std::int64_t kSessionSeconds = 7 * 24 * 3600;
constexpr std::int64_t kFreeFailures = 5;

std::int64_t now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::string value(const std::map<std::string, std::string>& map, const std::string& key)
{
    const auto found = map.find(key);
    return found == map.end() ? std::string() : found->second;
}

bool secure(const HttpRequest& request) { return value(request.headers, "x-forwarded-proto") == "https"; }

std::string cookie(const std::string& name, const std::string& text, std::int64_t maxAge, bool secure)
{
    return name + "=" + text + "; Path=/; Max-Age=" + std::to_string(maxAge) + "; HttpOnly; SameSite=Strict"
           + (secure ? "; Secure" : "");
}

// An anonymous form's token: the one its cookie already holds, else a new one.
std::string formToken(const HttpRequest& request)
{
    const std::string held = value(request.cookies, kFormCookie);
    return held.size() == 64 ? held : randomToken();
}

HttpResponse anonymousForm(std::string html, const HttpRequest& request, const std::string& token, int status = 200)
{
    HttpResponse response = htmlAnswer(std::move(html), status);
    response.headers.emplace_back("Set-Cookie", cookie(kFormCookie, token, 3600, secure(request)));
    return response;
}

// The anonymous form came from a page of ours: its token is its cookie's.
bool anonymousFormTrusted(const HttpRequest& request)
{
    return sameSecret(value(request.form, "csrf"), value(request.cookies, kFormCookie));
}

// Signed in: a new session (a login renews it), the old one gone, and on to
// the user's page.
HttpResponse signedIn(LadderStore& store, const HttpRequest& request, const UserRow& user)
{
    if (const std::string old = value(request.cookies, kSessionCookie); !old.empty())
        store.dropSession(tokenHash(old));
    const std::string token = randomToken();
    store.addSession(tokenHash(token), user.id, randomToken(), now() + kSessionSeconds);
    HttpResponse response = seeOther("/users/" + user.name);
    response.headers.emplace_back("Set-Cookie", cookie(kSessionCookie, token, kSessionSeconds, secure(request)));
    return response;
}

} // namespace

HttpResponse htmlAnswer(std::string html, int status) { return {status, "text/html; charset=utf-8", std::move(html), {}}; }

HttpResponse seeOther(const std::string& where)
{
    return {303, "text/plain; charset=utf-8", "See " + where + "\n", {{"Location", where}}};
}

HttpResponse refusal(int status, const std::string& title, const std::string& text, const Visitor& visitor)
{
    return htmlAnswer(messagePageHtml(title, text, visitor.header()), status);
}

Visitor visitorOf(LadderStore& store, const HttpRequest& request, std::int64_t at)
{
    Visitor visitor;
    visitor.secure = secure(request);
    if (const std::string authorization = value(request.headers, "authorization"); authorization.starts_with("Bearer ")) {
        visitor.user = store.userByToken(tokenHash(authorization.substr(7)));
        visitor.byToken = visitor.user.has_value();
        return visitor;
    }
    const std::string token = value(request.cookies, kSessionCookie);
    if (token.empty())
        return visitor;
    if (auto found = store.session(tokenHash(token), at)) {
        visitor.user = std::move(found->first);
        visitor.csrf = std::move(found->second);
        visitor.session = tokenHash(token);
    }
    return visitor;
}

bool formTrusted(const HttpRequest& request, const Visitor& visitor)
{
    return visitor.user && (visitor.byToken || sameSecret(value(request.form, "csrf"), visitor.csrf));
}

HttpResponse signupPage(SiteContext& site, const HttpRequest& request)
{
    const SignupMode mode = signupModeOf(site.stores.borrow()->setting("signup").value_or("closed"));
    const std::string token = formToken(request);
    return anonymousForm(signupPageHtml(mode, token, ""), request, token);
}

HttpResponse signup(SiteContext& site, const HttpRequest& request)
{
    const StorePool::Lease store = site.stores.borrow();
    const SignupMode mode = signupModeOf(store->setting("signup").value_or("closed"));
    const std::string token = formToken(request);
    const auto again = [&](int status, const std::string& error) {
        return anonymousForm(signupPageHtml(mode, token, error), request, token, status);
    };
    if (mode == SignupMode::Closed)
        return again(403, "Signing up is closed.");
    if (!anonymousFormTrusted(request))
        return again(403, "The form had expired or was not this site's: send it again.");
    const std::string name = value(request.form, "name");
    const std::string password = value(request.form, "password");
    if (!isSoundBotName(name))
        return again(400, "A name is 1 to 64 letters, digits, '_' or '-', not first '-'.");
    if (password.size() < 10 || password.size() > 1024)
        return again(400, "A password is 10 to 1024 characters.");
    if (store->user(name))
        return again(409, "That name is taken.");
    const std::string hashed = hashPassword(password);
    if (hashed.empty())
        return again(503, "The server is too busy to sign you up now: try again.");
    std::optional<std::int64_t> id;
    try {
        id = store->addUser(name, hashed, "", mode == SignupMode::Invitation ? value(request.form, "invitation") : "");
    } catch (const SqlError&) {
        return again(409, "That name is taken.");
    }
    if (!id)
        return again(403, "That invitation code is not one, or was used.");
    return signedIn(*store, request, *store->user(name));
}

HttpResponse loginPage(const HttpRequest& request)
{
    const std::string token = formToken(request);
    return anonymousForm(loginPageHtml(token, ""), request, token);
}

HttpResponse login(SiteContext& site, const HttpRequest& request)
{
    const std::string token = formToken(request);
    const auto again = [&](int status, const std::string& error) {
        return anonymousForm(loginPageHtml(token, error), request, token, status);
    };
    if (!anonymousFormTrusted(request))
        return again(403, "The form had expired or was not this site's: send it again.");
    const StorePool::Lease store = site.stores.borrow();
    const std::string password = value(request.form, "password");
    const std::optional<UserRow> user = store->user(value(request.form, "name"));
    if (!user) {
        passwordMatches(site.dummyHash, password);
        return again(403, "Wrong name or password.");
    }
    const std::int64_t at = now();
    if (user->lockedUntil > at)
        return again(429, "Too many failed logins: try again in " + std::to_string(user->lockedUntil - at) + " s.");
    if (!passwordMatches(user->password, password)) {
        const std::int64_t failures = user->failures + 1;
        // After a few, each failure locks the name for twice as long as the
        // last, up to an hour.
        const std::int64_t lock =
            failures < kFreeFailures ? 0 : at + std::min<std::int64_t>(3600, 30LL << std::min<std::int64_t>(failures - kFreeFailures, 7));
        store->setLoginFailures(user->id, failures, lock);
        return again(403, "Wrong name or password.");
    }
    store->setLoginFailures(user->id, 0, 0);
    return signedIn(*store, request, *user);
}

HttpResponse logout(SiteContext& site, const HttpRequest& request, const Visitor& visitor)
{
    if (!visitor.user || visitor.byToken || !formTrusted(request, visitor))
        return refusal(403, "Log out", "That form was not this site's.", visitor);
    site.stores.borrow()->dropSession(visitor.session);
    HttpResponse response = seeOther("/");
    response.headers.emplace_back("Set-Cookie", cookie(kSessionCookie, "", 0, visitor.secure));
    return response;
}

HttpResponse newToken(SiteContext& site, const HttpRequest& request, const Visitor& visitor)
{
    if (!visitor.user || visitor.byToken || !formTrusted(request, visitor))
        return refusal(403, "API token", "That form was not this site's.", visitor);
    const std::string token = randomToken();
    const StorePool::Lease store = site.stores.borrow();
    store->setUserToken(visitor.user->id, tokenHash(token));
    UserView view{visitor.user->name, visitor.user->role, {}, true, token};
    for (const BotRow& bot : store->bots())
        if (bot.owner == view.name)
            view.bots.push_back(bot);
    return htmlAnswer(userPageHtml(view, visitor.header()));
}

HttpResponse userPage(SiteContext& site, const std::string& name, const Visitor& visitor)
{
    const StorePool::Lease store = site.stores.borrow();
    const std::optional<UserRow> user = isSoundBotName(name) ? store->user(name) : std::nullopt;
    if (!user)
        return refusal(404, "Not found", "No such user.", visitor);
    UserView view{user->name, user->role, {}, visitor.user && !visitor.byToken && visitor.user->id == user->id, ""};
    for (const BotRow& bot : store->bots())
        if (bot.owner == user->name)
            view.bots.push_back(bot);
    return htmlAnswer(userPageHtml(view, visitor.header()));
}

} // namespace vorlen::ladder
