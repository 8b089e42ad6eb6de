#include "LadderSite.h"

#include "MatchEvaluation.h"
#include "MatchPage.h"
#include "PairPlay.h"
#include "MatchRecord.h"
#include "ReplayFile.h"
#include "Retirement.h"
#include "Credentials.h"
#include "SiteAssets.h"
#include "SitePages.h"
#include "SiteAdmin.h"
#include "SiteUploads.h"
#include "WebAssets.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <stdexcept>

namespace vorlen::ladder {
namespace {

// The site's pages run only its own script; a match page (the report's
// viewer, whole in one file) its own inline one too.
std::string contentPolicy(bool inlineScript)
{
    return std::string("default-src 'none'; script-src 'self'") + (inlineScript ? " 'unsafe-inline'" : "")
           + "; style-src 'self' 'unsafe-inline'; img-src 'self' data:; connect-src 'self'; form-action 'self'; "
             "base-uri 'none'; frame-ancestors 'none'";
}

HttpResponse withSafety(HttpResponse response)
{
    const bool told = std::any_of(response.headers.begin(), response.headers.end(),
                                  [](const auto& header) { return header.first == "Content-Security-Policy"; });
    if (!told)
        response.headers.emplace_back("Content-Security-Policy", contentPolicy(false));
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    response.headers.emplace_back("Referrer-Policy", "same-origin");
    response.headers.emplace_back("Cache-Control", "no-store");
    return response;
}

HttpResponse notFound(const Visitor& visitor) { return refusal(404, "Not found", "No such page.", visitor); }

std::vector<MatchLine> matchLines(const std::vector<MatchRow>& rows)
{
    std::vector<MatchLine> lines;
    for (const MatchRow& row : rows) {
        const std::optional<match::MatchRecord> record = recordOf(row);
        if (!record)
            continue;
        MatchLine line{row.id, row.played, record->seats[0].player, record->seats[1].player, record->seats[0].score,
                       record->seats[1].score, ""};
        for (const match::SeatRecord& seat : record->seats)
            if (!seat.retired.empty() && !isGameEnd(seat.retired))
                line.end += (line.end.empty() ? "" : "; ") + seat.player + ": " + seat.retired;
        lines.push_back(std::move(line));
    }
    return lines;
}

// A replay as the visitor may see it: the moves, and what a bot wrote
// only to its owner; how the bots ran and where to nobody.
void withoutPrivateParts(Replay& replay, const std::array<std::string, 2>& names, const std::array<bool, 2>& owned)
{
    replay.players = names;
    replay.names = names;
    for (ReplayTurn& turn : replay.turns) {
        if (turn.seat >= 0 && turn.seat < 2 && owned[static_cast<std::size_t>(turn.seat)])
            continue;
        turn.log.clear();
        turn.seatFiles.reset();
    }
    replay.playersAsRun = {};
    replay.runFolder.clear();
}

// A whole number from 1, as a path names a match; none otherwise.
std::optional<std::int64_t> idOf(const std::string& text)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos || text[0] == '0')
        return std::nullopt;
    return std::stoll(text);
}

} // namespace

LadderSite::LadderSite(const LadderPaths& ladder, const std::string& location, std::size_t top)
    : stores_([location] { return std::make_unique<LadderStore>(location, false); })
    , site_{ladder, stores_, {}}
    , standings_([location] { return std::make_unique<LadderStore>(location, false); }, top)
{
    if (!credentialsReady())
        throw std::runtime_error("libsodium cannot start: no randomness to be had");
    site_.dummyHash = hashPassword(randomToken());
}

HttpResponse LadderSite::handle(const HttpRequest& request)
{
    Visitor visitor;
    {
        const StorePool::Lease store = stores_.borrow();
        visitor = visitorOf(*store, request, static_cast<std::int64_t>(std::time(nullptr)));
    }
    return withSafety(route(request, visitor));
}

HttpResponse LadderSite::route(const HttpRequest& request, const Visitor& visitor)
{
    const std::string& path = request.path;
    if (request.method == "POST") {
        if (path == "/signup")
            return signup(site_, request);
        if (path == "/login")
            return login(site_, request);
        if (path == "/logout")
            return logout(site_, request, visitor);
        if (path == "/token")
            return newToken(site_, request, visitor);
        if (path == "/upload")
            return upload(site_, request, visitor);
        if (path.starts_with("/admin/"))
            return adminAction(site_, request, visitor);
        if (path.starts_with("/bots/") && path.ends_with("/retire"))
            return retire(site_, request, visitor, path.substr(6, path.size() - 6 - 7));
        return notFound(visitor);
    }
    if (request.method != "GET")
        return {405, "text/plain; charset=utf-8", "Only GET and POST are answered here.\n", {{"Allow", "GET, HEAD, POST"}}};
    if (path == "/")
        return htmlAnswer(standingsPageHtml(*standings_.view(), visitor.header()));
    if (path == "/vorlen.css")
        return {200, "text/css; charset=utf-8", std::string(webStyle()), {}};
    if (path == "/ladder.css")
        return {200, "text/css; charset=utf-8", std::string(siteStyle()), {}};
    if (path == "/ladder.js")
        return {200, "text/javascript; charset=utf-8", std::string(siteScript()), {}};
    if (path == "/signup")
        return signupPage(site_, request);
    if (path == "/login")
        return loginPage(request);
    if (path == "/matches")
        return matchesPage(visitor);
    if (path == "/admin")
        return adminPage(site_, visitor);
    if (path.starts_with("/matches/")) {
        const std::string rest = path.substr(9);
        const std::size_t evaluation = rest.find("/evaluation/");
        if (evaluation != std::string::npos)
            return matchEvaluation(rest.substr(0, evaluation), rest.substr(evaluation + 12), visitor);
        return matchPage(rest, visitor);
    }
    if (path.starts_with("/users/"))
        return userPage(site_, path.substr(7), visitor);
    if (path.starts_with("/bots/")) {
        const std::string rest = path.substr(6);
        const std::size_t slash = rest.find('/');
        if (slash == std::string::npos)
            return botPage(rest, visitor);
        // NAME/v/N/build.log
        const std::string tail = rest.substr(slash);
        if (tail.starts_with("/v/") && tail.ends_with("/build.log"))
            return buildLog(site_, visitor, rest.substr(0, slash), tail.substr(3, tail.size() - 3 - 10));
    }
    return notFound(visitor);
}

HttpResponse LadderSite::botPage(const std::string& name, const Visitor& visitor)
{
    if (!isSoundBotName(name))
        return notFound(visitor);
    const StorePool::Lease store = stores_.borrow();
    BotView view;
    const std::optional<BotRow> bot = store->bot(name);
    if (!bot)
        return notFound(visitor);
    view.bot = *bot;
    view.owner = visitor.owns(*bot);
    std::vector<VersionRow> versions = store->versionsOf(name);
    for (auto version = versions.rbegin(); version != versions.rend(); ++version)
        view.versions.push_back({*version, store->matchCount(version->id),
                                 !version->build.empty() && version->state != "waiting", failedMovesOf(*store, *version)});
    if (!versions.empty()) {
        view.matches = matchLines(store->matches(20, versions.back().id));
        view.ratings = store->ratingsOf(versions.back().id);
    }
    return htmlAnswer(botPageHtml(view, visitor.header()));
}

HttpResponse LadderSite::matchesPage(const Visitor& visitor)
{
    const StorePool::Lease store = stores_.borrow();
    return htmlAnswer(matchesPageHtml(matchLines(store->matches(100)), visitor.header()));
}

HttpResponse LadderSite::matchPage(const std::string& id, const Visitor& visitor)
{
    const std::optional<std::int64_t> number = idOf(id);
    if (!number)
        return notFound(visitor);
    std::optional<MatchRow> row;
    std::array<bool, 2> owned{};
    std::optional<match::MatchRecord> record;
    {
        const StorePool::Lease store = stores_.borrow();
        row = store->match(*number);
        record = row ? recordOf(*row) : std::nullopt;
        for (std::size_t seat = 0; record && seat < 2; ++seat) {
            const std::string& player = record->seats[seat].player;
            const std::optional<BotRow> bot = store->bot(player.substr(0, player.rfind(".v")));
            owned[seat] = bot && visitor.owns(*bot);
        }
    }
    if (!record || row->pair <= 0)
        return notFound(visitor);
    const std::string file = site_.ladder.root + "/" + landedReplay(row->pair, *record);
    Replay replay;
    std::string problem, html;
    if (!readReplayFile(file, replay, problem))
        return refusal(404, "Match " + id, "Its replay is no longer kept; its result stands in the lists.", visitor);
    MatchPageSettings settings;
    settings.title = "match " + id;
    settings.backTo = "/matches";
    settings.names = {record->seats[0].player, record->seats[1].player};
    settings.evaluationSource = "/matches/" + id + "/evaluation/";
    withoutPrivateParts(replay, settings.names, owned);
    if (!matchPageHtml(replay, settings, html, problem))
        return refusal(500, "Match " + id, "Its replay cannot be shown.", visitor);
    HttpResponse response = htmlAnswer(std::move(html));
    response.headers.emplace_back("Content-Security-Policy", contentPolicy(true));
    return response;
}

HttpResponse LadderSite::matchEvaluation(const std::string& id, const std::string& level, const Visitor& visitor)
{
    const std::optional<std::int64_t> number = idOf(id);
    const int depth = level.size() == 1 ? level[0] - '0' : 0;
    if (!number || !isSearchLevel(depth))
        return notFound(visitor);
    const EvaluationCache::Answer answer = evaluations_.get(*number, depth, [&]() -> std::string {
        std::optional<MatchRow> row;
        std::optional<match::MatchRecord> record;
        {
            const StorePool::Lease store = stores_.borrow();
            row = store->match(*number);
            record = row ? recordOf(*row) : std::nullopt;
        }
        Replay replay;
        std::string problem;
        if (!record || row->pair <= 0
            || !readReplayFile(site_.ladder.root + "/" + landedReplay(row->pair, *record), replay, problem))
            return {};
        return matchEvaluationJson(replay, depth);
    });
    switch (answer.outcome) {
    case EvaluationCache::Outcome::Made: return {200, "application/json", answer.json, {}};
    case EvaluationCache::Outcome::Busy:
        return {503, "text/plain; charset=utf-8", "Another evaluation is being made; ask again in a moment.\n",
                {{"Retry-After", "1"}}};
    case EvaluationCache::Outcome::Failed: break;
    }
    return notFound(visitor);
}

} // namespace vorlen::ladder
