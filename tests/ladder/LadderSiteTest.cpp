#include "HttpServer.h"
#include "LadderSite.h"
#include "LadderStandings.h"
#include "SitePages.h"
#include "ladder/LadderRuns.h"
#include "support/HttpClient.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace vorlen::ladder;
using vorlen::testing::httpExchange;
using vorlen::testing::httpGet;

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
    EXPECT_TRUE(holds(crasher.body, "<td class=\"text\">failed</td>")) << crasher.body;
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

    const std::pair<std::string, int> refused[] = {
        {"/matches/999", 404}, {"/matches/0", 404}, {"/matches/-1", 404}, {"/matches/1x", 404},
        {"/matches/99999999999999999999", 404}, {"/matches/..%2F..%2Fetc%2Fpasswd", 404}, {"/bots/nobody", 404},
        {"/bots/..%2F..%2Fetc", 404}, {"/bots/first%00", 404}, {"/storage/pairs/1", 404}, {"/ladder.sqlite", 404},
    };
    for (const auto& [path, status] : refused)
        EXPECT_EQ(httpGet(port, path).status, status) << path;
    EXPECT_EQ(httpGet(port, "/", "POST").status, 405);
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
    bot.versions.push_back({version, 0});
    bot.matches.push_back({7, "<i>", "a\"b", "<c>", 1, 2, "<d>"});
    for (const bool owner : {false, true}) {
        bot.owner = owner;
        const std::string html = botPageHtml(bot);
        for (const char* raw : {"<img", "<script>alert", "<b>now", "<i>", "a\"b", "<c>", "<d>"})
            EXPECT_FALSE(holds(html, raw)) << raw;
        EXPECT_EQ(holds(html, "&lt;script&gt;alert(2)"), owner) << "a reason is its owner's";
    }
    StandingsView empty;
    empty.empty = "No <bot> yet.";
    EXPECT_TRUE(holds(standingsPageHtml(empty), "No &lt;bot&gt; yet."));
    EXPECT_TRUE(holds(messagePageHtml("<t>", "<x>"), "&lt;t&gt;"));
}

} // namespace
