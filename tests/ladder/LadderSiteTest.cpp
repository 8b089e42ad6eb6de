#include "HttpServer.h"
#include "LadderSite.h"
#include "LadderStandings.h"
#include "MatchEvaluation.h"
#include "PairPlay.h"
#include "ReplayFile.h"
#include "SitePages.h"
#include "ladder/LadderRuns.h"
#include "support/Archives.h"
#include "support/HttpClient.h"
#include "support/WebSession.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace vorlen::ladder;
using vorlen::testing::httpExchange;
using vorlen::testing::httpGet;

namespace fs = std::filesystem;

namespace {

class SiteRuns : public LadderRuns {};

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The pages served from a played ladder: what anyone may see is there, what
// is its owners' (what a bot wrote, how it runs, why it failed) is not, and
// nothing a bot wrote is markup.
TEST_P(SiteRuns, TheServerShowsTheLadderToAnyoneAndNothingThatIsAnOwners)
{
    addScriptBot("first", std::string("echo first-secret-log >&2\n") + kFirstLegal);
    addScriptBot("last", kLastLegal);
    addScriptBot("crasher", "echo '<script>alert(1)</script>' >&2; exit 1\n");
    ASSERT_EQ(run({"run", "--matches", "2"}).code, 0);
    ASSERT_NE(stateOf("crasher", 1).find("<script>alert(1)</script>"), std::string::npos)
        << "the reason quotes what the bot wrote: " << stateOf("crasher", 1);

    LadderSite site(LadderPaths{root}, location, kStandingsTop);
    HttpServer server({"127.0.0.1", 0, 2}, [&site](const HttpRequest& request) { return site.handle(request); });
    const int port = server.port();

    auto standings = httpGet(port, "/");
    ASSERT_EQ(standings.status, 200);
    EXPECT_TRUE(holds(standings.body, "<a href=\"/bots/first\">first.v1</a>")) << standings.body;
    EXPECT_TRUE(holds(standings.body, "<a href=\"/bots/last\">last.v1</a>"));
    EXPECT_FALSE(holds(standings.body, "bot.sh")) << "how a bot runs is its owner's";
    EXPECT_TRUE(holds(standings.headers["content-security-policy"], "default-src 'none'"));
    EXPECT_EQ(standings.headers["x-content-type-options"], "nosniff");

    const auto crasher = httpGet(port, "/bots/crasher");
    ASSERT_EQ(crasher.status, 200);
    EXPECT_TRUE(holds(crasher.body, "<td class=\"text version-state\">failed</td>")) << crasher.body;
    EXPECT_FALSE(holds(crasher.body, "alert(1)")) << "why it failed quotes its log: its owner's";

    LadderStore store(location, false);
    const std::vector<MatchRow> matches = store.matches(10);
    ASSERT_EQ(matches.size(), 2U);
    const std::string id = std::to_string(matches[0].id);
    const auto page = httpGet(port, "/matches/" + id);
    ASSERT_EQ(page.status, 200) << page.body;
    EXPECT_TRUE(holds(page.body, "match " + id));
    const std::string replays = vorlen::testing::readFile(root + "/storage/pairs/1/game-0-first.v1-last.v1.json")
                                + vorlen::testing::readFile(root + "/storage/pairs/1/game-1-last.v1-first.v1.json");
    ASSERT_TRUE(holds(replays, "first-secret-log")) << "the replay keeps the log, the page must not";
    EXPECT_FALSE(holds(page.body, "first-secret-log"));
    EXPECT_FALSE(holds(page.body, root)) << "nor where the bots ran";
    EXPECT_TRUE(holds(httpGet(port, "/bots/first").body, "<a href=\"/matches/" + id + "\">"));
    EXPECT_TRUE(holds(httpGet(port, "/matches").body, "first.v1"));
    // The page asks the site for a level's evaluation of every position.
    EXPECT_TRUE(holds(page.body, "\"source\":\"/matches/" + id + "/evaluation/\""));
    const auto evaluated = httpGet(port, "/matches/" + id + "/evaluation/2");
    ASSERT_EQ(evaluated.status, 200) << evaluated.body;
    EXPECT_EQ(evaluated.headers.at("content-type"), "application/json");
    vorlen::Replay played;
    std::string unread;
    ASSERT_TRUE(readReplayFile(root + "/" + landedReplay(matches[0].pair, *recordOf(matches[0])), played, unread))
        << unread;
    EXPECT_EQ(evaluated.body, matchEvaluationJson(played, 2));
    EXPECT_EQ(httpGet(port, "/matches/" + id + "/evaluation/2").body, evaluated.body) << "kept: the same again";

    const std::pair<std::string, int> refused[] = {
        {"/matches/999", 404}, {"/matches/0", 404}, {"/matches/-1", 404}, {"/matches/1x", 404},
        {"/matches/99999999999999999999", 404}, {"/matches/..%2F..%2Fetc%2Fpasswd", 404}, {"/bots/nobody", 404},
        {"/bots/..%2F..%2Fetc", 404}, {"/bots/first%00", 404}, {"/storage/pairs/1", 404}, {"/ladder.sqlite", 404},
        {"/matches/" + id + "/evaluation/0", 404}, {"/matches/" + id + "/evaluation/6", 404},
        {"/matches/" + id + "/evaluation/", 404}, {"/matches/" + id + "/evaluation/22", 404},
        {"/matches/" + id + "/evaluation/x", 404}, {"/matches/999/evaluation/1", 404},
        {"/matches/x/evaluation/1", 404}, {"/matches/" + id + "/evaluation/1/..", 404},
    };
    for (const auto& [path, status] : refused)
        EXPECT_EQ(httpGet(port, path).status, status) << path;
    EXPECT_EQ(httpGet(port, "/", "POST").status, 404);
    EXPECT_EQ(httpGet(port, "/", "DELETE").status, 405);
    const auto head = httpGet(port, "/", "HEAD");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.body, "");
    const std::string big(2 << 20, 'x');
    EXPECT_EQ(httpExchange(port, "POST / HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: "
                                     + std::to_string(big.size()) + "\r\n\r\n" + big)
                  .status,
              413);
    EXPECT_NE(httpExchange(port, "GARBAGE\r\n\r\n").status, 200);

    // New matches reach the page without anyone asking for a computation.
    ASSERT_EQ(run({"run", "--matches", "2"}).code, 0);
    std::string now;
    for (int tries = 0; tries < 100 && !holds(now, "<td>4</td><td class=\"text\">none</td>"); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        now = httpGet(port, "/").body;
    }
    EXPECT_TRUE(holds(now, "<td>4</td><td class=\"text\">none</td>")) << now;
}

// A bot of Python behind a Makefile (so that it has a build log) that
// writes a secret of its owner's on its standard error.
void writeBotArchive(const std::string& path, const std::string& secret)
{
    using namespace vorlen::testing;
    const std::string play = "#!/usr/bin/env python3\nimport sys\nsys.stderr.write('" + secret + "\\n')\n"
                             "lines = [l.strip() for l in open('vorla.in') if l.strip()]\n"
                             "mine, theirs = lines[0][0], lines[-1][-1]\n"
                             "open('vorla.out', 'w').write(next(c for c in '123456' if c not in (mine, theirs)))\n";
    writeArchive(path, ArchiveKind::Zip,
                 {fileEntry("bot/play.py", play, 0755), fileEntry("bot/Makefile", "bot: play.py\n\tcp play.py bot\n")});
}

// Accounts as a participant meets them: closed until the organiser opens
// them, every form with its token, a session renewed at login and guessing
// slowed; bots handed in by form and by API token; and what is one
// participant's (build logs, what their bot wrote, retiring it) out of
// another's reach.
TEST_P(SiteRuns, ParticipantsSignUpHandInBotsAndReachOnlyWhatIsTheirs)
{
    using vorlen::testing::formTokenIn;
    using vorlen::testing::WebSession;
    addScriptBot("house", kFirstLegal);
    LadderSite site(LadderPaths{root}, location, kStandingsTop);
    HttpSettings settings{"127.0.0.1", 0, 2};
    settings.uploads = dir.file("uploads");
    fs::create_directories(settings.uploads);
    HttpServer server(settings, [&site](const HttpRequest& request) { return site.handle(request); });
    const int port = server.port();

    WebSession alice(port);
    EXPECT_TRUE(holds(alice.get("/signup").body, "Signing up is closed"));
    EXPECT_EQ(alice.post("/signup", {{"csrf", alice.cookies["vorlen_form"]}, {"name", "alice"},
                                     {"password", "correct horse"}}).status, 403);
    ASSERT_EQ(run({"admin", "signup", "open"}).code, 0);
    std::string token = formTokenIn(alice.get("/signup").body);
    ASSERT_EQ(token.size(), 64U);
    EXPECT_EQ(alice.post("/signup", {{"name", "alice"}, {"password", "correct horse"}}).status, 403) << "no token";
    EXPECT_EQ(alice.post("/signup", {{"csrf", token}, {"name", "al<i>ce"}, {"password", "correct horse"}}).status, 400);
    EXPECT_EQ(alice.post("/signup", {{"csrf", token}, {"name", "alice"}, {"password", "short"}}).status, 400);
    const auto signedUp = alice.post("/signup", {{"csrf", token}, {"name", "alice"}, {"password", "correct horse"}});
    ASSERT_EQ(signedUp.status, 303) << signedUp.body;
    EXPECT_EQ(signedUp.headers.at("location"), "/users/alice");
    EXPECT_TRUE(holds(alice.lastSetCookie, "vorlen_session=") && holds(alice.lastSetCookie, "HttpOnly")
                && holds(alice.lastSetCookie, "SameSite=Strict") && !holds(alice.lastSetCookie, "Secure"))
        << alice.lastSetCookie;

    // Alice hands in a bot through the form; a form without her token is refused.
    const std::string archive = dir.file("alibot.zip");
    writeBotArchive(archive, "alice-secret");
    const std::string mine = formTokenIn(alice.get("/users/alice").body);
    EXPECT_EQ(alice.postFile("/upload", {}, "bot", "alibot.zip", archive).status, 403);
    const auto handedIn = alice.postFile("/upload", {{"csrf", mine}}, "bot", "alibot.zip", archive);
    ASSERT_EQ(handedIn.status, 303) << handedIn.body;
    EXPECT_EQ(handedIn.headers.at("location"), "/bots/alibot");
    EXPECT_TRUE(holds(alice.get("/bots/alibot").body, "waiting"));
    ASSERT_EQ(run({"run", "--matches", "2"}).code, 0);
    ASSERT_EQ(stateOf("alibot", 1), "ready");

    // Bob signs up over HTTPS (as the proxy tells), hands in by API token.
    WebSession bob(port, {"X-Forwarded-Proto: https"});
    token = formTokenIn(bob.get("/signup").body);
    ASSERT_EQ(bob.post("/signup", {{"csrf", token}, {"name", "bob"}, {"password", "battery staple"}}).status, 303);
    EXPECT_TRUE(holds(bob.lastSetCookie, "; Secure")) << bob.lastSetCookie;
    const std::string bobs = formTokenIn(bob.get("/users/bob").body);
    EXPECT_FALSE(holds(alice.get("/users/bob").body, "Authorization")) << "only to its owner";
    const std::string apiToken = [&] {
        const std::string page = bob.post("/token", {{"csrf", bobs}}).body;
        const std::size_t at = page.find("<pre id=\"token\">");
        return at == std::string::npos ? std::string() : page.substr(at + 16, 64);
    }();
    ASSERT_EQ(apiToken.size(), 64U);
    WebSession shell(port, {"Authorization: Bearer " + apiToken});
    const auto byApi = shell.postFile("/upload", {}, "bot", "bobbot.tar.gz", archive);
    EXPECT_EQ(byApi.status, 201) << byApi.body;
    EXPECT_TRUE(holds(byApi.body, "bobbot.v1 added")) << byApi.body;
    WebSession forger(port, {"Authorization: Bearer " + std::string(64, '0')});
    EXPECT_EQ(forger.postFile("/upload", {}, "bot", "x.zip", archive).status, 401);
    EXPECT_EQ(shell.postFile("/upload", {{"name", "alibot"}}, "bot", "x.zip", archive).status, 422)
        << "another's bot's name";

    // What is Alice's stays hers.
    EXPECT_EQ(bob.get("/bots/alibot/v/1/build.log").status, 403);
    EXPECT_EQ(WebSession(port).get("/bots/alibot/v/1/build.log").status, 403);
    const auto log = alice.get("/bots/alibot/v/1/build.log");
    EXPECT_EQ(log.status, 200);
    EXPECT_TRUE(holds(log.body, "cp play.py bot")) << log.body;
    EXPECT_EQ(log.headers.at("content-type"), "text/plain; charset=utf-8");
    LadderStore store(location, false);
    const std::string match = "/matches/" + std::to_string(store.matches(1).at(0).id);
    EXPECT_TRUE(holds(alice.get(match).body, "alice-secret"));
    EXPECT_FALSE(holds(bob.get(match).body, "alice-secret"));
    EXPECT_EQ(bob.post("/bots/alibot/retire", {{"csrf", bobs}}).status, 403);
    EXPECT_EQ(alice.post("/bots/alibot/retire", {}).status, 403) << "no token";
    EXPECT_EQ(alice.post("/bots/alibot/retire", {{"csrf", bobs}}).status, 403) << "another session's token";
    EXPECT_EQ(shell.post("/bots/alibot/retire", {}).status, 403);
    EXPECT_EQ(run({"bot", "alibot"}).out.rfind("alibot: active", 0), 0U);
    EXPECT_EQ(alice.post("/bots/alibot/retire", {{"csrf", mine}}).status, 400) << "not ticked 'for good'";
    EXPECT_EQ(alice.post("/bots/alibot/retire", {{"csrf", mine}, {"sure", "yes"}}).status, 303);
    EXPECT_EQ(run({"bot", "alibot"}).out.rfind("alibot: retired", 0), 0U);

    // Out and in again: the session goes, a new one comes; guessing is slowed.
    EXPECT_EQ(alice.post("/logout", {{"csrf", mine}}).status, 303);
    EXPECT_TRUE(holds(alice.get("/").body, "Log in"));
    WebSession guesser(port);
    token = formTokenIn(guesser.get("/login").body);
    EXPECT_EQ(guesser.post("/login", {{"csrf", token}, {"name", "nobody"}, {"password", "correct horse"}}).status, 403);
    for (int guess = 0; guess < 5; ++guess)
        EXPECT_EQ(guesser.post("/login", {{"csrf", token}, {"name", "bob"}, {"password", "guess"}}).status, 403);
    EXPECT_EQ(guesser.post("/login", {{"csrf", token}, {"name", "bob"}, {"password", "battery staple"}}).status, 429);
    token = formTokenIn(alice.get("/login").body);
    const std::string before = alice.cookies["vorlen_session"];
    EXPECT_EQ(alice.post("/login", {{"csrf", token}, {"name", "alice"}, {"password", "correct horse"}}).status, 303);
    EXPECT_NE(alice.cookies["vorlen_session"], before);
    EXPECT_TRUE(holds(alice.get("/").body, "/users/alice"));

    // The organisers' page: theirs alone, its forms with their token.
    ASSERT_EQ(run({"admin", "add", "alice"}).code, 0);
    const auto organisers = alice.get("/admin");
    ASSERT_EQ(organisers.status, 200);
    EXPECT_TRUE(holds(organisers.body, "bobbot") && holds(organisers.body, "Build and check again"));
    const std::string admins = formTokenIn(organisers.body);
    EXPECT_EQ(bob.get("/admin").status, 403);
    EXPECT_EQ(bob.post("/admin/bots/bobbot/retire", {{"csrf", bobs}}).status, 403);
    EXPECT_EQ(alice.post("/admin/bots/bobbot/pause", {}).status, 403) << "no token";
    EXPECT_EQ(alice.post("/admin/bots/bobbot/pause", {{"csrf", admins}}).status, 303);
    EXPECT_EQ(run({"bot", "bobbot"}).out.rfind("bobbot: paused (paused by the organisers)", 0), 0U);
    EXPECT_EQ(alice.post("/admin/bots/bobbot/pause", {{"csrf", admins}}).status, 409);
    EXPECT_EQ(alice.post("/admin/bots/bobbot/resume", {{"csrf", admins}}).status, 303);
    EXPECT_EQ(alice.post("/admin/bots/bobbot/recheck", {{"csrf", admins}}).status, 303);
    EXPECT_EQ(stateOf("bobbot", 1), "waiting");
    EXPECT_EQ(alice.post("/admin/bots/nobody/pause", {{"csrf", admins}}).status, 404);
    EXPECT_EQ(alice.post("/admin/settings", {{"csrf", admins}, {"signup", "wide"}, {"bots", "1"}, {"versions", "1"},
                                             {"mib", "1"}}).status, 400);
    EXPECT_EQ(alice.post("/admin/settings", {{"csrf", admins}, {"signup", "open"}, {"bots", "1"}, {"versions", "9"},
                                             {"mib", "9"}}).status, 303);
    const auto over = shell.postFile("/upload", {}, "bot", "another.zip", archive);
    EXPECT_EQ(over.status, 422);
    EXPECT_TRUE(holds(over.body, "over the quota: 1 bots a user")) << over.body;

    // By invitation: a code is good once.
    ASSERT_EQ(run({"admin", "signup", "invitation"}).code, 0);
    const std::string code = run({"admin", "invite"}).out.substr(0, 24);
    for (const auto& [name, given, status] : std::vector<std::tuple<std::string, std::string, int>>{
             {"carol", "wrong", 403}, {"carol", code, 303}, {"dave", code, 403}}) {
        WebSession visitor(port);
        token = formTokenIn(visitor.get("/signup").body);
        EXPECT_EQ(visitor.post("/signup", {{"csrf", token}, {"name", name}, {"password", "long enough pass"},
                                           {"invitation", given}}).status, status) << name << " " << given;
    }
}

INSTANTIATE_TEST_SUITE_P(BothDatabases, SiteRuns, ::testing::Values(Backend::Sqlite, Backend::Postgres), backendName);

// The pages escape whatever a participant or a bot put in a row.
TEST(SitePages, EveryParticipantsTextIsEscaped)
{
    BotView bot;
    bot.bot = {"x", "paused", "<b>now</b>", "<img src=x onerror=alert(1)>"};
    VersionRow version;
    version.number = 1;
    version.state = "failed";
    version.reason = "<script>alert(2)</script>";
    bot.versions.push_back({version, 0, false, {}});
    bot.matches.push_back({7, "<i>", "a\"b", "<c>", 1, 2, "<d>"});
    for (const bool owner : {false, true}) {
        bot.owner = owner;
        const std::string html = botPageHtml(bot, {"x", "token"});
        for (const char* raw : {"<img", "<script>alert", "<b>now", "<i>", "a\"b", "<c>", "<d>"})
            EXPECT_FALSE(holds(html, raw)) << raw;
        EXPECT_EQ(holds(html, "&lt;script&gt;alert(2)"), owner) << "a reason is its owner's";
    }
    bot.versions[0].failures.push_back({7, 3, "time <limit>", "<hint>", 1});
    EXPECT_TRUE(holds(botPageHtml(bot, {}), "turn 3: time &lt;limit&gt; (&lt;hint&gt;)"));
    EXPECT_EQ(ratingChartSvg({{"a", 1, 0, 2}}), "") << "one point draws no course";
    const std::string chart = ratingChartSvg({{"<t1>", 0, -50, 50}, {"t2", 20, -10, 50}, {"t3", 40, 20, 60}});
    EXPECT_TRUE(holds(chart, "<polygon points=\"") && holds(chart, "<polyline points=\"") && holds(chart, "&lt;t1&gt;"));
    EXPECT_TRUE(holds(chart, ">+60<") && holds(chart, ">-50<")) << chart;
    StandingsView empty;
    empty.empty = "No <bot> yet.";
    EXPECT_TRUE(holds(standingsPageHtml(empty, {}), "No &lt;bot&gt; yet."));
    EXPECT_TRUE(holds(messagePageHtml("<t>", "<x>"), "&lt;t&gt;"));
}

} // namespace
