#include "Boards.h"
#include "MatchStory.h"
#include "SeatColours.h"
#include "Palette.h"
#include "PlayersPanel.h"
#include "ReplayFile.h"
#include "ScoreChart.h"
#include "StartupOptions.h"
#include "VorlenWidget.h"
#include "main_window.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"
#include "support/Window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QComboBox>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

std::unique_ptr<main_window> makeWindow(const QStringList& options = {})
{
    std::srand(1);
    return std::make_unique<main_window>(QStringList{"vorlen"} + options, nullptr);
}

QPushButton* button(const main_window& window, const QString& text)
{
    for (auto* candidate : window.findChildren<QPushButton*>())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

// The board on show, a pixel a cell: windows with other panels show it at
// other sizes. A grab lays out a window not yet shown: the cell is read after.
QImage grabBoard(const main_window& window)
{
    const QImage whole = window.board()->grab().toImage();
    const int cell = window.board()->cellPixels();
    return whole.copy(0, 0, kBoardColumns * cell, kBoardRows * cell)
        .scaled(kBoardColumns, kBoardRows, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QString status(const main_window& window) { return window.statusBar()->currentMessage(); }

QStringList actionTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions)
        texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

// A live match played to its end with "step", keeping what the window showed
// after every turn.
struct Shown {
    QImage board;
    QString first;
    QString second;
};
std::vector<Shown> playToTheEnd(main_window& window)
{
    std::vector<Shown> shown;
    for (int turn = 0; !window.match().gameOver() && turn < 5000; ++turn) {
        QTest::mouseClick(button(window, "step"), Qt::LeftButton);
        settle(window);
        shown.push_back({grabBoard(window), window.board()->labels[0]->text(), window.board()->labels[1]->text()});
    }
    return shown;
}

} // namespace

TEST(ReplayWindow, MenusAndAQuietLiveWindow)
{
    const auto window = makeWindow();
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(actionTexts(menus), (QStringList{"&File", "&View"}));
    EXPECT_EQ(actionTexts(menus[0]->menu()->actions()),
              (QStringList{QString::fromUtf8("New match\u2026"), QString::fromUtf8("Save replay\u2026"),
                           QString::fromUtf8("Export as web page\u2026"),
                           QString::fromUtf8("Save the board as seat 1 saw it\u2026"), QString::fromUtf8("Open replay\u2026"),
                           "Play from here", "-", "Quit"}));
    EXPECT_EQ(actionTexts(menus[1]->menu()->actions()),
              (QStringList{"Players", "Moves", "Bot logs", "Score chart", "Evaluation"}));
    // Opens as it always has: no chart, no replay controls, no status.
    EXPECT_TRUE(window->scoreChart()->isHidden());
    EXPECT_TRUE(window->findChild<QToolBar*>("replayBar")->isHidden());
    EXPECT_TRUE(status(*window).isEmpty());
    EXPECT_FALSE(makeWindow({"--chart"})->scoreChart()->isHidden());
    // The title names the program and the players, live and in a replay.
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("vorlen \u2014 stupid vs stupid"));
    EXPECT_EQ(makeWindow({"--second", "stream:/opt/bots/v7 --fast"})->windowTitle(),
              QString::fromUtf8("vorlen \u2014 stupid vs v7"));
    vorlen::Replay replay = window->replay();
    replay.players = {"python3 \"my bot.py\"", "./lowbot"};
    window->viewReplay(replay);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("vorlen \u2014 python3 vs lowbot"));
}

TEST(ReplayWindow, SavedMatchShowsTheLiveBoardAtEveryTurn)
{
    TempDir dir;
    const std::string path = dir.file("match.json");
    const auto live = makeWindow({"--save-replay", QString::fromStdString(path)});
    ::testing::internal::CaptureStdout();
    const std::vector<Shown> shown = playToTheEnd(*live);
    ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(std::filesystem::exists(path)) << "not written at the end of the match";
    EXPECT_NE(status(*live).indexOf("match over, 908 to 937: second (stupid) wins"), -1) << status(*live).toStdString();

    const auto viewer = makeWindow();
    std::string error;
    ASSERT_TRUE(viewer->openReplay(path, error)) << error;
    ASSERT_TRUE(viewer->viewing());
    EXPECT_FALSE(viewer->findChild<QToolBar*>("replayBar")->isHidden());
    EXPECT_FALSE(viewer->scoreChart()->isHidden());
    EXPECT_EQ(viewer->replay().boardSource, "");
    EXPECT_EQ(viewer->scoreChart()->pointCount(0), static_cast<int>(shown.size()));
    // Each seat keeps its colour in the chart as its region changes colour.
    const std::array<QColor, 2> seatColours = {viewer->scoreChart()->seatColour(0), viewer->scoreChart()->seatColour(1)};
    EXPECT_EQ(seatColours[0], seatMarkColour(0));
    EXPECT_EQ(seatColours[1], seatMarkColour(1));
    for (std::size_t k = 0; k < shown.size(); ++k) {
        QTest::mouseClick(button(*viewer, "step"), Qt::LeftButton);
        if (k < 3) {
            EXPECT_EQ(viewer->scoreChart()->seatColour(0), seatColours[0]);
            EXPECT_EQ(viewer->scoreChart()->seatColour(1), seatColours[1]);
        }
        ASSERT_EQ(grabBoard(*viewer), shown[k].board) << "after turn " << k;
        ASSERT_EQ(viewer->board()->labels[0]->text(), shown[k].first);
        ASSERT_EQ(viewer->board()->labels[1]->text(), shown[k].second);
    }
    EXPECT_EQ(status(*viewer), status(*live));

    // The replay on show as a web page, in the window's colours: one file, that works alone.
    const auto colourBlind = makeWindow({"--palette", "colorblind"});
    ASSERT_TRUE(colourBlind->openReplay(path, error)) << error;
    ASSERT_TRUE(colourBlind->exportWebPage(dir.file("match.html"), error)) << error;
    EXPECT_TRUE(std::filesystem::exists(dir.file("match.html")));
    for (const char* name : {"vorlen.js", "vorlen.css"})
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    std::ifstream in(dir.file("match.html"));
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const vorlen::Rgb first = vorlen::colourBlindPalette().of(1);
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", first.red, first.green, first.blue);
    EXPECT_NE(page.find(std::string("\"colours\":[\"") + hex), std::string::npos) << hex;
    EXPECT_NE(page.find("\"turns\":[{\"seat\":0"), std::string::npos);
    // The quick levels' evaluations go with it: the page cannot ask for them.
    const std::size_t levels = page.find("\"evaluation\":{\"levels\":{\"1\":[[0,");
    ASSERT_NE(levels, std::string::npos);
    EXPECT_NE(page.find("\"3\":[[0,", levels), std::string::npos);
    EXPECT_EQ(page.find("\"5\":[[0,", levels), std::string::npos) << "search:5 only when the panel shows it";
    EXPECT_FALSE(colourBlind->exportWebPage(dir.file("no/such/folder/match.html"), error));
    EXPECT_FALSE(error.empty());
}

TEST(ReplayWindow, KeysSliderBackAndTheClockMoveThroughTheReplay)
{
    Replay replay;
    std::string error;
    {
        const auto live = makeWindow({"--seed", "3", "--game", "1"});
        ::testing::internal::CaptureStdout();
        playToTheEnd(*live);
        ::testing::internal::GetCapturedStdout();
        replay = live->replay();
    }
    ASSERT_TRUE(replay.finished);
    EXPECT_EQ(replay.board, seededBoard(3, 1));
    EXPECT_EQ(replay.boardSource, "seed:3:1");
    const int length = static_cast<int>(replay.turns.size());

    const auto window = makeWindow();
    window->viewReplay(replay);
    // Keys reach the window's shortcuts only when it is the active one.
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* slider = window->findChild<QSlider*>("turnSlider");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->maximum(), length);
    EXPECT_FALSE(button(*window, "back")->isEnabled());
    EXPECT_NE(status(*window).indexOf("Start: first (stupid) moves first"), -1);

    const struct {
        std::function<void()> act;
        int shown;
    } steps[] = {
        {[&] { QTest::keyClick(window.get(), Qt::Key_Right); }, 1},
        {[&] { QTest::keyClick(window.get(), Qt::Key_Right); }, 2},
        {[&] { QTest::keyClick(window.get(), Qt::Key_Left); }, 1},
        {[&] { QTest::keyClick(window.get(), Qt::Key_End); }, length},
        {[&] { QTest::keyClick(window.get(), Qt::Key_Right); }, length},
        {[&] { slider->setValue(7); }, 7},
        {[&] { QTest::mouseClick(button(*window, "back"), Qt::LeftButton); }, 6},
        {[&] { QTest::mouseClick(button(*window, "step"), Qt::LeftButton); }, 7},
        {[&] { QTest::keyClick(window.get(), Qt::Key_Home); }, 0},
        {[&] { QTest::keyClick(window.get(), Qt::Key_Left); }, 0},
    };
    for (const auto& step : steps) {
        step.act();
        ASSERT_EQ(window->shownTurns(), step.shown);
        EXPECT_EQ(slider->value(), step.shown);
        EXPECT_EQ(button(*window, "back")->isEnabled(), step.shown > 0);
    }
    // The story of the turn on show: at the end, the winner.
    QTest::keyClick(window.get(), Qt::Key_End);
    EXPECT_EQ(status(*window).toStdString(), storyLine(replay, length));
    EXPECT_NE(status(*window).indexOf("match over"), -1);

    // "start" plays the replay on the clock and stops at its end.
    QTest::keyClick(window.get(), Qt::Key_Home);
    window->Start();
    QTest::qWait(350);
    EXPECT_GE(window->shownTurns(), 2);
    slider->setValue(length - 1);
    QTest::qWait(250);
    EXPECT_EQ(window->shownTurns(), length);
    EXPECT_FALSE(window->clock()->isActive());

    // Its pace is the bar's: 8 times the clock's plays a turn every 12 ms.
    auto* speed = window->findChild<QComboBox*>("speed");
    ASSERT_NE(speed, nullptr);
    QTest::keyClick(window.get(), Qt::Key_Home);
    window->Start();
    EXPECT_EQ(window->clock()->interval(), 100);
    speed->setCurrentIndex(speed->findData(8.0));
    EXPECT_EQ(window->clock()->interval(), 12) << "changed while it plays";
    window->Stop();
    speed->setCurrentIndex(speed->findData(0.25));
    window->Start();
    EXPECT_EQ(window->clock()->interval(), 400);
    window->Stop();
}

TEST(ReplayWindow, AFailedMatchOpensAtItsFailureAndKeysAndTheTurnBoxGoWhereAsked)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "third.sh", kCrashesOnItsThirdMove);
    Replay replay;
    {
        const auto live = makeWindow({"--first", QString::fromStdString(bot)});
        ::testing::internal::CaptureStdout();
        playToTheEnd(*live);
        ::testing::internal::GetCapturedStdout();
        replay = live->replay();
    }
    ASSERT_GT(replay.turns.size(), 5U);
    ASSERT_FALSE(replay.turns[4].retired.empty());
    const int last = static_cast<int>(replay.turns.size());

    const auto window = makeWindow();
    window->viewReplay(replay);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // At the failed move, its log on show.
    EXPECT_EQ(window->shownTurns(), 5);
    auto* box = window->findChild<QSpinBox*>("turnBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->value(), 4) << "numbered as the bar numbers it";
    const struct {
        std::function<void()> act;
        int shown;
    } steps[] = {
        {[&] { QTest::keyClick(window.get(), Qt::Key_Home); }, 0},
        {[&] { QTest::keyClick(window.get(), Qt::Key_F8); }, 5},
        // The other seat plays on alone until the game ends it: the last turn.
        {[&] { QTest::keyClick(window.get(), Qt::Key_F8); }, last},
        {[&] { QTest::keyClick(window.get(), Qt::Key_F8); }, last},
        {[&] { QTest::keyClick(window.get(), Qt::Key_F8, Qt::ShiftModifier); }, 5},
        {[&] { QTest::keyClick(window.get(), Qt::Key_F8, Qt::ShiftModifier); }, 5},
        {[&] { box->setValue(1); }, 2},
        {[&] { box->setValue(-1); }, 0},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(window->shownTurns(), step.shown);
        EXPECT_EQ(box->value(), step.shown - 1);
    }
}

TEST(ReplayWindow, NamesFromAReplayAreBoundedAndNeverMarkup)
{
    TempDir dir;
    const std::string path = dir.file("match.json");
    const auto live = makeWindow({"--save-replay", QString::fromStdString(path)});
    ::testing::internal::CaptureStdout();
    playToTheEnd(*live);
    ::testing::internal::GetCapturedStdout();
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(path, replay, error)) << error;
    // A megabyte of one name, and markup that would show as a big green label.
    replay.players = {std::string(1 << 20, 'n'), "<b>WINNER<b> <font size=6 color=#0a0>BIG</font>"};
    ASSERT_TRUE(writeReplayFile(path, replay, error)) << error;

    const auto viewer = makeWindow();
    ASSERT_TRUE(viewer->openReplay(path, error)) << error;
    EXPECT_LE(viewer->windowTitle().size(), 200) << "the title names both players, each cut short";
    for (int seat = 0; seat < 2; ++seat) {
        EXPECT_LE(viewer->scoreChart()->seatName(seat).size(), 100) << seat;
        EXPECT_EQ(viewer->scoreChart()->seatName(seat).indexOf("<b>"), -1) << "escaped in the chart's legend";
        EXPECT_LE(viewer->playersPanel()->text(seat).size(), 400) << seat;
    }
    EXPECT_NE(viewer->scoreChart()->seatName(1).indexOf("&lt;b&gt;WINNER"), -1);
    // The status line names the players at the start and the winner at the end.
    EXPECT_LE(viewer->statusBar()->currentMessage().size(), 300) << "at the start";
    viewer->showTurn(static_cast<int>(replay.turns.size()));
    EXPECT_NE(viewer->statusBar()->currentMessage().indexOf("match over"), -1);
    EXPECT_LE(viewer->statusBar()->currentMessage().size(), 300) << "at the end";
    for (const QLabel* label : viewer->playersPanel()->findChildren<QLabel*>()) {
        EXPECT_LE(label->toolTip().size(), 5000) << "a whole command on demand, within bounds";
        EXPECT_EQ(label->toolTip().indexOf("<font"), -1) << label->toolTip().toStdString();
        EXPECT_EQ(label->toolTip().indexOf("<b>"), -1) << label->toolTip().toStdString();
    }
}

TEST(ReplayWindow, TheRunnersBoardsByTheirLabels)
{
    EXPECT_EQ(makeWindow({"--seed", "9", "--game", "4"})->match().board(), seededBoard(9, 4));
    EXPECT_EQ(makeWindow({"--seed", "9"})->match().board(), seededBoard(9, 0));
    EXPECT_EQ(makeWindow({"--game", "2"})->match().board(), DrawnBoards().at(2));
    EXPECT_EQ(makeWindow({"--game", "0"})->match().board(), makeWindow()->match().board());
    TempDir dir;
    const std::string map = dir.write("top.map", std::string(kBoardColumns, '5'));
    const auto window = makeWindow({"--game", "3", "--map", QString::fromStdString(map)});
    Field expected = DrawnBoards().at(3);
    expected[0] = std::vector<std::int32_t>(kBoardColumns, 5);
    EXPECT_EQ(window->match().board(), expected);
    EXPECT_EQ(window->replay().boardSource, "map:" + map + "+rand:3");

    // A board list's board K, cycled; board 0 without --game.
    const QString list = QString::fromStdString(dir.write("list.txt", "# two\nseed:9:4\nrand:2\n"));
    const struct {
        QStringList arguments;
        Field board;
        std::string label;
    } listed[] = {
        {{"--boards", list}, seededBoard(9, 4), "seed:9:4"},
        {{"--boards", list, "--game", "1"}, DrawnBoards().at(2), "rand:2"},
        {{"--game", "4", "--boards", list}, seededBoard(9, 4), "seed:9:4"},
    };
    for (const auto& c : listed) {
        const auto fromList = makeWindow(c.arguments);
        EXPECT_EQ(fromList->match().board(), c.board) << c.label;
        EXPECT_EQ(fromList->replay().boardSource, c.label);
    }
    const struct {
        QStringList arguments;
        std::string problem;
    } bad[] = {
        {{"--boards", list, "--seed", "3"}, "--seed and --boards choose the board: give one of them"},
        {{"--boards", QString::fromStdString(dir.write("bad.txt", "rand:1\nboard 7\n"))},
         "--boards: " + dir.file("bad.txt") + ": line 2: 'board 7': a board is rand:K, seed:S:K, map:PATH or replay:FILE@K"},
        {{"--boards", QString::fromStdString(dir.file("none.txt"))}, "--boards: " + dir.file("none.txt") + ": "},
    };
    for (const auto& c : bad) {
        const std::string problem = startupProblem(scanStartupOptions(QStringList{"vorlen"} + c.arguments));
        EXPECT_EQ(problem.rfind(c.problem, 0), 0U) << problem;
    }
}

TEST(ReplayWindow, ClosingKeepsAnUnfinishedMatchAndABotsNameAndReasons)
{
    TempDir dir;
    const std::string bot = writeBot(dir, "bot.sh", "echo 9 > vorla.out");
    const std::string path = dir.file("partial.json");
    {
        auto window = makeWindow({"--first", QString::fromStdString(bot), "--save-replay", QString::fromStdString(path)});
        WorkingDirectory cwd(dir.path());
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        for (int turn = 0; turn < 3; ++turn)
            playTurn(*window);
        ::testing::internal::GetCapturedStdout();
        ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(status(*window), "Turn 2: first is out · next: second");
        window->close();
    }
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(path, replay, error)) << error;
    EXPECT_FALSE(replay.finished);
    ASSERT_EQ(replay.turns.size(), 3U);
    EXPECT_EQ(replay.players[0], bot);
    EXPECT_EQ(replay.players[1], "stupid");
    EXPECT_EQ(replay.turns[0].answer, 9);
    ASSERT_EQ(replay.turns[0].retired.size(), 1U);
    EXPECT_EQ(replay.turns[0].retired[0].reason, "colour outside 1-6");
    EXPECT_FALSE(replay.turns[2].answer.has_value());
}

TEST(ReplayWindow, BadReplaysAndNumbersStopTheWindowBeforeItOpens)
{
    TempDir dir;
    const std::string bad = dir.write("bad.json", "{\"format\": \"vorlen-replay\", \"version\": 7}");
    const struct {
        std::string arguments;
        std::string line;
    } cases[] = {
        {"--replay " + bad, "vorlen: cannot open the replay '" + bad + "': a replay of version 7; this vorlen reads versions 1 to 2"},
        {"--replay " + dir.file("none.json"), "vorlen: cannot open the replay '" + dir.file("none.json") + "': No such file or directory"},
        {"--game -1", "vorlen: --game needs a whole number from 0 to 100000000, not '-1'"},
        {"--seed x", "vorlen: --seed needs a whole number from 0, not 'x'"},
        {"--bot-logs", "vorlen: --bot-logs needs a value (see vorlen --help)"},
        // A mistyped option is said, with the one meant, before the problem that stops the window.
        {"--frist ./bot --game 100001", "vorlen: ignoring '--frist': not an option of vorlen; did you mean --first?\n"
                                        "vorlen: --game without --seed needs a whole number from 0 to 100000 (every "
                                        "board before it is drawn in turn), not '100001'"},
        // Nothing near: the help is pointed to.
        {"--zzzzzz --seed x", "vorlen: ignoring '--zzzzzz': not an option of vorlen (see vorlen --help)\n"
                              "vorlen: --seed needs a whole number from 0, not 'x'"},
    };
    for (const auto& c : cases) {
        const std::string command = std::string(VORLEN_BIN) + " " + c.arguments + " 2>&1";
        const ToolRun run = finish(popen(command.c_str(), "r"));
        EXPECT_EQ(run.exitCode, 2) << c.arguments;
        EXPECT_EQ(run.out, c.line + "\n");
    }
}

TEST(MatchStory, WhatTheStatusBarSays)
{
    Replay replay;
    replay.players = {"./bot", "stupid"};
    replay.turns = {{0, 3, 0.041, {5, 1}, {}, {}, {}},
                    {1, 2, 12.34, {5, 8}, {}, {}, {}},
                    {0, 9, 2901, {5, 8}, {{0, "colour outside 1-6"}}, {}, {}},
                    {1, 4, 0.5, {5, 20}, {}, {}, {}},
                    {0, std::nullopt, 0, {5, 20}, {}, {}, {}}};
    const struct {
        int shown;
        std::string line;
    } cases[] = {
        {0, "Start: first (./bot) moves first"},
        {1, "Turn 0: first played colour 3 in 41 µs · next: second"},
        {2, "Turn 1: second played colour 2 in 12.3 ms · next: first"},
        {3, "Turn 2: first answered 9 after 2.90 s · first failed: colour outside 1-6 · next: second"},
        {5, "Turn 4: first is out · next: second"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storyLine(replay, c.shown), c.line) << c.shown;
    replay.turns.back().retired = {{1, "full board"}};
    replay.finished = true;
    EXPECT_EQ(storyLine(replay, 5), "Turn 4: first is out · second is done: full board · match over, 5 to 20: "
                                    "second (stupid) wins");
    replay.turns.back().score = {20, 20};
    EXPECT_EQ(storyLine(replay, 5).substr(storyLine(replay, 5).rfind(':')), ": a draw");
    // A move that failed without naming a number shows no number.
    replay.turns[2] = {0, -1, 2901, {5, 8}, {{0, "no move in vorla.out"}}, {}, {}};
    EXPECT_EQ(storyLine(replay, 3),
              "Turn 2: first gave no move in 2.90 s · first failed: no move in vorla.out · next: second");
    EXPECT_FALSE(namedANumber(replay.turns[2]));
    replay.turns[2].answer = -1;
    replay.turns[2].retired = {{0, "colour outside 1-6"}};
    EXPECT_TRUE(namedANumber(replay.turns[2])) << "a bot may write -1 itself";
}
