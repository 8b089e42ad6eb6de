#pragma once

#include "HttpServer.h"
#include "LadderPaths.h"
#include "SitePages.h"
#include "StorePool.h"
#include "VersionAdding.h"

#include <optional>
#include <string>

namespace vorlen::ladder {

// What the site's handlers share.
struct SiteContext {
    LadderPaths ladder;
    StorePool& stores;
    // Checked against when no user has the name given, so that a wrong name
    // takes as long to refuse as a wrong password.
    std::string dummyHash;
};

// Who asks: a user signed in by a session's cookie (with the session's
// form token) or by an API token, or nobody.
struct Visitor {
    std::optional<UserRow> user;
    std::string session; // the session's hash; empty: none
    std::string csrf;    // the session's form token
    bool byToken = false;
    bool secure = false; // came over HTTPS, as the proxy in front says

    bool admin() const { return user && user->role == "admin"; }
    bool owns(const BotRow& bot) const { return user && (admin() || bot.owner == user->name); }
    SiteHeader header() const { return user && !byToken ? SiteHeader{user->name, csrf, admin()} : SiteHeader{}; }
};

Visitor visitorOf(LadderStore& store, const HttpRequest& request, std::int64_t now);
// A form sent by a signed-in visitor carries its session's token; an API
// token needs none (no browser sends it by itself).
bool formTrusted(const HttpRequest& request, const Visitor& visitor);

HttpResponse signupPage(SiteContext& site, const HttpRequest& request);
HttpResponse signup(SiteContext& site, const HttpRequest& request);
HttpResponse loginPage(const HttpRequest& request);
HttpResponse login(SiteContext& site, const HttpRequest& request);
HttpResponse logout(SiteContext& site, const HttpRequest& request, const Visitor& visitor);
HttpResponse newToken(SiteContext& site, const HttpRequest& request, const Visitor& visitor);
HttpResponse userPage(SiteContext& site, const std::string& name, const Visitor& visitor);

// A page's answer: 200 unless told.
HttpResponse htmlAnswer(std::string html, int status = 200);
// On to `where` after a form (303), with any cookies set.
HttpResponse seeOther(const std::string& where);
HttpResponse refusal(int status, const std::string& title, const std::string& text, const Visitor& visitor);

} // namespace vorlen::ladder
