// A run's report: the same whether written as the run goes or built from its
// files afterwards; every player and match in its index; its pages draw the
// referee's boards in a real browser, opened from disk, with no network.
#include "MatchRecord.h"
#include "RecordText.h"
#include "MatchResult.h"
#include "Palette.h"
#include "ReplayFile.h"
#include "ReplayPlayback.h"
#include "support/Bots.h"
#include "support/Browser.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QColor>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

using namespace vorlen;
using namespace vorlen::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kCell = 14; // pixels a cell on a match page

std::map<std::string, std::string> filesIn(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        std::ifstream in(entry.path());
        std::ostringstream text;
        text << in.rdbuf();
        files[entry.path().filename().string()] = text.str();
    }
    return files;
}

// Cells whose colour on the screenshot, its board at `origin`, is not the
// referee's after `turns` turns.
int wrongCells(const QImage& shot, QPoint origin, const Replay& replay, int turns)
{
    if (shot.isNull())
        return kBoardCells;
    ReplayPlayback playback(replay);
    playback.seek(turns);
    const Palette palette = classicPalette();
    int wrong = 0;
    for (int row = 0; row < kBoardRows; ++row)
        for (int column = 0; column < kBoardColumns; ++column) {
            const Rgb& rgb = palette.of(playback.board()[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
            const QColor seen = shot.pixelColor(origin.x() + column * kCell + kCell / 2, origin.y() + row * kCell + kCell / 2);
            wrong += seen != QColor(rgb.red, rgb.green, rgb.blue);
        }
    return wrong;
}

// A match page's address at the position after `turns` turns: the turn on
// show, numbered from 0, or the start.
std::string at(int turns) { return turns == 0 ? "#start" : "#turn=" + std::to_string(turns - 1); }

class Reports : public ::testing::Test {
protected:
    Reports() : cwd(dir.path())
    {
        // A bot whose logged lines would break a careless page.
        writeBot(dir, "chatty.sh", "echo '</script><b>bold</b> & more' >&2; head -c 1 vorla.in > /dev/null; "
                                   "for c in 1 2 3 4 5 6; do echo $c > vorla.out; done");
    }

    TempDir dir;
    WorkingDirectory cwd;
};

} // namespace

TEST_F(Reports, TheReportWrittenAsTheRunGoesEqualsTheOneBuiltAfterwards)
{
    const ToolRun run = runTool("--first ./chatty.sh --games 3 --swap --seed 5 --results r.jsonl --replays replays "
                                "--report during");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const ToolRun built = runTool("report after r.jsonl replays");
    ASSERT_EQ(built.exitCode, 0) << built.out;
    const auto during = filesIn(dir.file("during"));
    const auto after = filesIn(dir.file("after"));
    ASSERT_EQ(during.size(), 6U + 3U) << "six matches, the index, the script and the style sheet";
    for (const auto& [name, text] : during) {
        ASSERT_TRUE(after.count(name)) << name;
        EXPECT_EQ(after.at(name), text) << name;
    }

    // The index names every player and links every match; every link and
    // script is a file of the report: nothing comes from a network.
    const std::string& index = during.at("index.html");
    EXPECT_NE(index.find("./chatty.sh"), std::string::npos);
    EXPECT_NE(index.find("stupid"), std::string::npos);
    for (int game = 0; game < 6; ++game) {
        const std::string page = "game-" + std::to_string(game) + (game % 2 ? "-B-A" : "-A-B") + ".html";
        // The chatty bot's failed move is where its match's link leads.
        EXPECT_NE(index.find("[" + std::to_string(game) + ",\"" + page + "#turn="), std::string::npos) << page;
        EXPECT_TRUE(during.count(page)) << page;
    }
    const std::regex reference(R"((?:src|href)="([^"#]*))");
    for (const auto& [name, text] : during) {
        EXPECT_EQ(text.find("http"), std::string::npos) << name;
        for (std::sregex_iterator it(text.begin(), text.end(), reference), end; it != end; ++it)
            EXPECT_TRUE(during.count((*it)[1].str())) << name << " refers to " << (*it)[1].str();
    }
    EXPECT_EQ(during.at("game-0-A-B.html").find("<b>bold"), std::string::npos) << "a log is data, not markup";
}

TEST_F(Reports, TheIndexSumsUpAsSummarizeDoesWithTheSprtsCourseAndEveryPlayer)
{
    const struct {
        std::string options;
        bool sprt;
    } runs[] = {
        {"--first " VORLEN_LOOKAHEAD_BOT " --sprt elo0=0,elo1=50 --games 60 --swap --seed 3 --concurrency 2", true},
        {"--player greedy=stupid --player chatty=./chatty.sh --player other=stupid --tournament round-robin --games 1 "
         "--swap --seed 4",
         false},
    };
    for (const auto& run : runs) {
        fs::remove_all(dir.file("report"));
        fs::remove(dir.file("r.jsonl"));
        ASSERT_EQ(runTool(run.options + " --results r.jsonl --report report").exitCode, 0) << run.options;
        const ToolRun summed = runTool("summarize r.jsonl");
        const std::string index = filesIn(dir.file("report")).at("index.html");
        std::string escaped = std::regex_replace(summed.out, std::regex("&"), "&amp;");
        escaped = std::regex_replace(escaped, std::regex("<"), "&lt;");
        escaped = std::regex_replace(escaped, std::regex(">"), "&gt;");
        EXPECT_NE(index.find("<pre id=\"summary\">" + escaped + "</pre>"), std::string::npos) << summed.out << index;
        EXPECT_EQ(index.find("id=\"llr\"") != std::string::npos, run.sprt) << run.options;
        if (!run.sprt) {
            for (const char* player : {"greedy", "chatty", "other", "./chatty.sh"})
                EXPECT_NE(index.find(player), std::string::npos) << player;
            continue;
        }
        // The settings as they were given, not as a double's every digit.
        EXPECT_NE(index.find(", SPRT elo0=0 elo1=50 alpha=0.05 beta=0.05</td>"), std::string::npos);
        // One LLR a board pair, ending where the summary's does.
        std::smatch llr;
        ASSERT_TRUE(std::regex_search(index, llr, std::regex(R"("llr":\[([^\]]*)\])")));
        const std::string values = llr[1].str();
        const auto pairs = static_cast<int>(std::count(values.begin(), values.end(), ',')) + 1;
        // Matches still running when the SPRT decides are recorded but not counted.
        std::smatch counted;
        ASSERT_TRUE(std::regex_search(summed.out, counted, std::regex(R"(, (\d+) board pairs: LLR)")));
        EXPECT_EQ(pairs, std::stoi(counted[1].str()));
    }
}

TEST_F(Reports, WhatCannotMakeAReportIsSaid)
{
    ASSERT_EQ(runTool("--games 1 --results r.jsonl --replays replays").exitCode, 0);
    dir.write("notes.txt", "hello");
    fs::create_directories(dir.file("bad"));
    fs::create_directories(dir.file("forged"));
    dir.write("bad/game-0.json", "{not json");
    std::string replay;
    {
        std::ifstream in(dir.file("replays/game-0.json"));
        std::ostringstream text;
        text << in.rdbuf();
        replay = text.str();
    }
    // A turn whose score the referee does not come to.
    dir.write("forged/game-0.json", std::regex_replace(replay, std::regex(R"("scores": \[\s*)"), R"("scores": [9)",
                                                                      std::regex_constants::format_first_only));
    const struct {
        std::string arguments;
        int exitCode;
        std::string said;
    } cases[] = {
        {"report", 2, "vorlen-match: report: name the folder and the records and replays"},
        {"report out", 2, "vorlen-match: report: name the folder"},
        {"report out notes.txt", 2, "'notes.txt' is no records file (.csv, .jsonl), replay (game-G....json) or folder"},
        {"report out missing.jsonl", 2, "cannot read 'missing.jsonl'"},
        {"report out r.jsonl bad", 1, "bad/game-0.json': "},
        {"report out r.jsonl forged", 1, "forged/game-0.json': "},
        {"report notes.txt/out r.jsonl", 2, "cannot make 'notes.txt/out'"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.arguments, "2>&1");
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << ": " << run.out;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << c.arguments << ": " << run.out;
    }
    // What could be made is there: the index links no page that is not.
    const auto files = filesIn(dir.file("out"));
    EXPECT_TRUE(files.count("index.html"));
    EXPECT_FALSE(files.count("game-0.html"));
    EXPECT_NE(files.at("index.html").find("[0,\"\",\"rand:0\""), std::string::npos);
}

TEST_F(Reports, AMatchPageDrawsTheRefereesBoardAtTheTurnItsAddressNames)
{
    if (chromium().empty())
        GTEST_SKIP() << "no Chromium here to open the pages in";
    ASSERT_EQ(runTool("--first ./chatty.sh --games 1 --seed 5 --replays replays --report pages").exitCode, 0);
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(dir.file("replays/game-0.json"), replay, error)) << error;
    const int last = static_cast<int>(replay.turns.size());
    for (const int turns : {0, 1, 17, last}) {
        const QImage shot = screenshot(dir, "file://" + dir.file("pages/game-0.html") + at(turns));
        EXPECT_EQ(wrongCells(shot, {0, 0}, replay, turns), 0) << "at " << at(turns);
    }
    // Each move's standard error is kept with it: in the runner's replay, and
    // on the page at its turn.
    EXPECT_EQ(replay.turns[0].log, "</script><b>bold</b> & more\n");
    const std::string atTurn = renderedDom(dir, "file://" + dir.file("pages/game-0.html") + "#turn=0");
    EXPECT_NE(atTurn.find("&lt;/script&gt;&lt;b&gt;bold&lt;/b&gt; &amp; more"), std::string::npos) << atTurn;
    // Names are isolated from the page's own text around them.
    EXPECT_NE(atTurn.find("<bdi>A</bdi></b><span class=\"where\">"), std::string::npos) << atTurn;
    EXPECT_NE(atTurn.find("<bdi>A</bdi>, turn 0</b>"), std::string::npos) << atTurn;
    // The index lays out its matches, each linking its page.
    const std::string index = renderedDom(dir, "file://" + dir.file("pages/index.html"));
    EXPECT_NE(index.find("<a href=\"game-0.html#turn=2\">0</a>"), std::string::npos) << index;
    EXPECT_NE(index.find("./chatty.sh"), std::string::npos);
    // An address past the end shows the end, and who won, by the run's names.
    EXPECT_EQ(wrongCells(screenshot(dir, "file://" + dir.file("pages/game-0.html") + "#turn=99999"), {0, 0}, replay, last), 0);
    const std::string atEnd = renderedDom(dir, "file://" + dir.file("pages/game-0.html") + at(last));
    const std::string result = matchResultText(replay, {"A", "B"});
    EXPECT_NE(result.find(" wins, "), std::string::npos) << result;
    EXPECT_NE(atEnd.find("<p id=\"result\">" + result + "</p>"), std::string::npos) << result << "\n" << atEnd;
    // A page copied alone into an empty folder still shows the referee's board.
    fs::create_directories(dir.file("alone"));
    fs::copy_file(dir.file("pages/game-0.html"), dir.file("alone/game-0.html"));
    EXPECT_EQ(wrongCells(screenshot(dir, "file://" + dir.file("alone/game-0.html") + at(17)), {0, 0}, replay, 17), 0);
}

TEST_F(Reports, AFailedMatchLinksToItsFailedMoveWithTheBotsWordsOnShow)
{
    if (chromium().empty())
        GTEST_SKIP() << "no Chromium here to open the pages in";
    writeBot(dir, "third.sh", kCrashesOnItsThirdMove);
    ASSERT_EQ(runTool("--first ./third.sh --games 1 --seed 5 --no-sandbox --report pages --replays r").exitCode, 0);
    const std::string index = renderedDom(dir, "file://" + dir.file("pages/index.html"));
    EXPECT_NE(index.find("<a href=\"game-0.html#turn=4\">0</a>"), std::string::npos) << index;
    const std::string page = renderedDom(dir, "file://" + dir.file("pages/game-0.html#turn=4"));
    EXPECT_NE(page.find("turn 4 \u00b7 5 of"), std::string::npos) << page;
    // The summary's failures open their matches at their turns.
    EXPECT_NE(index.find("in <a href=\"game-0.html#turn=4\">game 0 turn 4</a>"), std::string::npos) << index;
    // The failed move's log, whole.
    EXPECT_NE(page.find("<pre class=\"whole\">broke at move 3"), std::string::npos) << page;

    // The board each move's seat read, offered to save: as vorlen-match move saves it, turned for the second seat.
    for (const int turn : {4, 3}) {
        const std::string shown = renderedDom(dir, "file://" + dir.file("pages/game-0.html#turn=" + std::to_string(turn)));
        const std::string seat = turn % 2 == 0 ? "1" : "2";
        EXPECT_NE(shown.find("Save the board as seat " + seat + " saw it in turn " + std::to_string(turn)),
                  std::string::npos);
        const std::string start = "href=\"data:text/plain,";
        const std::size_t at = shown.find(start, shown.find("id=\"save-input\""));
        ASSERT_NE(at, std::string::npos) << shown;
        std::string offered = shown.substr(at + start.size(), shown.find('"', at + start.size()) - at - start.size());
        for (std::size_t newline; (newline = offered.find("%0A")) != std::string::npos;)
            offered.replace(newline, 3, "\n");
        ASSERT_EQ(runTool("move r/game-0.json@" + std::to_string(turn) + " --save-input seen.in").exitCode, 0);
        EXPECT_EQ(offered, readFile(dir.file("seen.in"))) << "turn " << turn;
    }
}

TEST_F(Reports, TheIndexHasTheStandingsAndFindsAPlayersLosses)
{
    if (chromium().empty())
        GTEST_SKIP() << "no Chromium here to open the pages in";
    ASSERT_EQ(runTool("--player greedy=stupid --player chatty=./chatty.sh --player other=stupid --tournament "
                      "round-robin --games 2 --swap --seed 4 --results r.jsonl --report web")
                  .exitCode,
              0);
    std::vector<match::MatchRecord> records;
    std::string error;
    ASSERT_TRUE(match::readRecordFile(dir.file("r.jsonl"), records, error)) << error;
    const auto losses = [&](const std::string& player) {
        return std::count_if(records.begin(), records.end(), [&](const match::MatchRecord& r) {
            const bool played = r.seats[0].player == player || r.seats[1].player == player;
            return played && r.winner() != "D" && r.winner() != player;
        });
    };
    // The standings as a table: every player, its command line on hover, its failures.
    const std::string index = filesIn(dir.file("web")).at("index.html");
    EXPECT_NE(index.find("<table id=\"standings\">"), std::string::npos);
    EXPECT_NE(index.find("<td class=\"text\" title=\"./chatty.sh\">chatty</td>"), std::string::npos) << index;
    for (const char* player : {"greedy", "other"})
        EXPECT_NE(index.find(std::string("\">") + player + "</td>"), std::string::npos) << player;
    // Beside the ratings, who is likely the stronger of neighbours, and what
    // so few matches are worth.
    EXPECT_NE(index.find("LOS over next</th>"), std::string::npos);
    EXPECT_NE(index.find(" %</td>"), std::string::npos) << index;
    EXPECT_NE(index.find("<p id=\"standings-note\">Small samples: a pairing has "), std::string::npos) << index;
    // The cross table: chatty's points against greedy, in chatty's row.
    double points = 0;
    int games = 0;
    for (const match::MatchRecord& r : records) {
        const int chatty = r.seats[0].player == "chatty" ? 0 : r.seats[1].player == "chatty" ? 1 : -1;
        if (chatty < 0 || r.seats[1 - chatty].player != "greedy")
            continue;
        ++games;
        points += r.winner() == "chatty" ? 1 : r.winner() == "D" ? 0.5 : 0;
    }
    const std::size_t cross = index.find("<table id=\"cross\">");
    ASSERT_NE(cross, std::string::npos);
    const std::size_t row = index.find("<th class=\"text\">chatty</th>", cross);
    ASSERT_NE(row, std::string::npos);
    char cell[32];
    std::snprintf(cell, sizeof cell, "%.1f/%d</td>", points, games);
    EXPECT_NE(index.substr(row, index.find("</tr>", row) - row).find(cell), std::string::npos) << cell;
    // A player's losses, as an address asks for them, read in a browser.
    const std::string shown =
        renderedDom(dir, "file://" + dir.file("web/index.html") + "#player=chatty&result=losses");
    const std::size_t body = shown.find("<tbody>", shown.find("id=\"matches\""));
    ASSERT_NE(body, std::string::npos) << shown;
    const std::string rows = shown.substr(body, shown.find("</tbody>", body) - body);
    std::ptrdiff_t count = 0;
    for (std::size_t at = rows.find("<tr>"); at != std::string::npos; at = rows.find("<tr>", at + 1))
        ++count;
    EXPECT_GT(losses("chatty"), 0);
    EXPECT_EQ(count, losses("chatty")) << rows;
    EXPECT_NE(shown.find(std::to_string(count) + " of " + std::to_string(records.size()) + " matches"),
              std::string::npos);
    // One pairing's matches, in either seating and either order of names.
    for (const char* address : {"#pairing=greedy&pairing=chatty", "#pairing=chatty&pairing=greedy"}) {
        const std::string paired = renderedDom(dir, "file://" + dir.file("web/index.html") + address);
        EXPECT_NE(paired.find(std::to_string(games) + " of " + std::to_string(records.size()) + " matches"),
                  std::string::npos)
            << address << ": " << games << " of them";
        EXPECT_NE(paired.find("<option value=\"[&quot;chatty&quot;,&quot;greedy&quot;]\">chatty vs greedy</option>"),
                  std::string::npos)
            << paired.substr(paired.find("id=\"filters\""), 600);
    }
    const std::string unknown = renderedDom(dir, "file://" + dir.file("web/index.html") + "#pairing=chatty&pairing=nobody");
    EXPECT_NE(unknown.find(std::to_string(records.size()) + " of " + std::to_string(records.size()) + " matches"),
              std::string::npos)
        << "a pairing of no match shows every match";
}

TEST_F(Reports, KeysMoveThroughAMatchInABrowserWindow)
{
    if (chromium().empty())
        GTEST_SKIP() << "no Chromium here to open the pages in";
    const XServer screen;
    if (!screen.ready())
        GTEST_SKIP() << "Xvfb could not start";
    ASSERT_EQ(runTool("--games 1 --seed 8 --replays replays --report pages").exitCode, 0);
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(dir.file("replays/game-0.json"), replay, error)) << error;
    const int last = static_cast<int>(replay.turns.size());

    const Background browser("env DISPLAY=" + screen.display() + " " + chromium() + browserOptions(dir)
                             + " --kiosk --window-position=0,0 --window-size=1280,800 'file://"
                             + dir.file("pages/game-0.html") + at(5) + "'");
    // The page is up once it shows turn 5.
    QImage shot;
    for (int i = 0; i < 100 && wrongCells(shot, {0, 0}, replay, 5) != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        shot = screen.capture(dir);
    }
    ASSERT_EQ(wrongCells(shot, {0, 0}, replay, 5), 0) << "the page at " << at(5);
    screen.run("xdotool search --sync --class chromium windowfocus --sync");
    const struct {
        const char* keys;
        int turns;
    } steps[] = {
        {"Right Right Right", 8}, {"Left", 7}, {"End", last}, {"Right", last}, {"Home", 0}, {"Left", 0}, {"Right", 1},
        // The address follows: reloading the page opens it where it was.
        {"Right Right", 3}, {"F5", 3},
    };
    for (const auto& step : steps) {
        screen.run(std::string("xdotool key --delay 50 ") + step.keys);
        int wrong = kBoardCells;
        for (int i = 0; i < 30 && wrong != 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            wrong = wrongCells(screen.capture(dir), {0, 0}, replay, step.turns);
        }
        EXPECT_EQ(wrong, 0) << "after " << step.keys << ": turn " << step.turns;
    }
    // Space plays on and Space again pauses at a later turn, where it stays.
    screen.run("xdotool key space sleep 0.6 key space");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    shot = screen.capture(dir);
    int paused = 4;
    while (paused < last && wrongCells(shot, {0, 0}, replay, paused) != 0)
        ++paused;
    EXPECT_EQ(wrongCells(shot, {0, 0}, replay, paused), 0) << "no turn after 3 is on show";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(wrongCells(screen.capture(dir), {0, 0}, replay, paused), 0) << "it went on past turn " << paused;
}
