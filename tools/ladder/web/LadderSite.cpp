#include "LadderSite.h"

#include "MatchPage.h"
#include "PairPlay.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "ReplayFile.h"
#include "Retirement.h"
#include "SitePages.h"
#include "WebAssets.h"

#include <optional>

namespace vorlen::ladder {
namespace {

constexpr const char* kLadderStyle = "nav { margin-bottom: 8px; } nav a { margin-right: 12px; }\n"
                                     "body.ladder table { margin-bottom: 12px; }\n";

HttpResponse withSafety(HttpResponse response)
{
    // The match page's script and style are inside it; nothing else loads
    // from anywhere but here.
    response.headers.emplace_back("Content-Security-Policy",
                                  "default-src 'none'; script-src 'self' 'unsafe-inline'; style-src 'self' "
                                  "'unsafe-inline'; img-src 'self' data:; connect-src 'self'; form-action 'self'; "
                                  "base-uri 'none'; frame-ancestors 'none'");
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    response.headers.emplace_back("Referrer-Policy", "same-origin");
    response.headers.emplace_back("Cache-Control", "no-store");
    return response;
}

HttpResponse notFound() { return {404, "text/html; charset=utf-8", messagePageHtml("Not found", "No such page."), {}}; }

std::optional<match::MatchRecord> recordOf(const MatchRow& row)
{
    std::vector<match::MatchRecord> records;
    std::string error;
    if (!match::parseRecords(row.record, true, records, error) || records.size() != 1)
        return std::nullopt;
    return records[0];
}

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

// A replay as anyone may see it: the moves, not what the bots wrote, how
// they ran nor where.
void withoutPrivateParts(Replay& replay, const std::array<std::string, 2>& names)
{
    replay.players = names;
    replay.names = names;
    for (ReplayTurn& turn : replay.turns) {
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
    : ladder_(ladder)
    , stores_([location] { return std::make_unique<LadderStore>(location, false); })
    , standings_([location] { return std::make_unique<LadderStore>(location, false); }, top)
{
}

HttpResponse LadderSite::handle(const HttpRequest& request)
{
    if (request.method != "GET")
        return withSafety({405, "text/plain; charset=utf-8", "Only GET is answered here.\n", {{"Allow", "GET, HEAD"}}});
    const std::string& path = request.path;
    if (path == "/")
        return withSafety({200, "text/html; charset=utf-8", standingsPageHtml(*standings_.view()), {}});
    if (path == "/vorlen.css")
        return withSafety({200, "text/css; charset=utf-8", std::string(webStyle()), {}});
    if (path == "/ladder.css")
        return withSafety({200, "text/css; charset=utf-8", kLadderStyle, {}});
    if (path == "/matches")
        return withSafety(matchesPage());
    if (path.starts_with("/matches/"))
        return withSafety(matchPage(path.substr(9)));
    if (path.starts_with("/bots/"))
        return withSafety(botPage(path.substr(6)));
    return withSafety(notFound());
}

HttpResponse LadderSite::botPage(const std::string& name)
{
    if (!isSoundBotName(name))
        return notFound();
    const StorePool::Lease store = stores_.borrow();
    BotView view;
    const std::optional<BotRow> bot = store->bot(name);
    if (!bot)
        return notFound();
    view.bot = *bot;
    std::vector<VersionRow> versions = store->versionsOf(name);
    for (auto version = versions.rbegin(); version != versions.rend(); ++version)
        view.versions.push_back({*version, store->matchCount(version->id)});
    if (!versions.empty())
        view.matches = matchLines(store->matches(20, versions.back().id));
    return {200, "text/html; charset=utf-8", botPageHtml(view), {}};
}

HttpResponse LadderSite::matchesPage()
{
    const StorePool::Lease store = stores_.borrow();
    return {200, "text/html; charset=utf-8", matchesPageHtml(matchLines(store->matches(100))), {}};
}

HttpResponse LadderSite::matchPage(const std::string& id)
{
    const std::optional<std::int64_t> number = idOf(id);
    if (!number)
        return notFound();
    std::optional<MatchRow> row;
    {
        const StorePool::Lease store = stores_.borrow();
        row = store->match(*number);
    }
    const std::optional<match::MatchRecord> record = row ? recordOf(*row) : std::nullopt;
    if (!record || row->pair <= 0)
        return notFound();
    const std::string file = ladder_.root + "/" + landedReplay(row->pair, *record);
    Replay replay;
    std::string problem, html;
    if (!readReplayFile(file, replay, problem))
        return {404, "text/html; charset=utf-8",
                messagePageHtml("Match " + id, "Its replay is no longer kept; its result stands in the lists."), {}};
    MatchPageSettings settings;
    settings.title = "match " + id;
    settings.backTo = "/matches";
    settings.names = {record->seats[0].player, record->seats[1].player};
    withoutPrivateParts(replay, settings.names);
    if (!matchPageHtml(replay, settings, html, problem))
        return {500, "text/html; charset=utf-8", messagePageHtml("Match " + id, "Its replay cannot be shown."), {}};
    return {200, "text/html; charset=utf-8", std::move(html), {}};
}

} // namespace vorlen::ladder
