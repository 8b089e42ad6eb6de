// The window as a match viewer: it answers during a move, grows the board
// with itself, says who is who and who won, and shows each bot's own words.
#include "BotLogPanel.h"
#include "MoveList.h"
#include "Palette.h"
#include "PersonBar.h"
#include "VorlenLogicTeam02.h"
#include "PlayersPanel.h"
#include "ReplayFile.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "ScoreChart.h"
#include "VorlenWidget.h"
#include "main_window.h"
#include "support/Bots.h"
#include "support/Fakes.h"
#include "support/Processes.h"
#include "support/TempDir.h"
#include "support/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <QLabel>
#include <QSlider>
#include <QStatusBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <chrono>
#include <cstdlib>

using namespace vorlen;
using namespace vorlen::testing;
using Clock = std::chrono::steady_clock;

namespace {

std::unique_ptr<main_window> makeWindow(QStringList arguments)
{
    std::srand(1);
    arguments.prepend("vorlen");
    return std::make_unique<main_window>(arguments, nullptr);
}

// A map of 4s with 1 and 2 in the home corners: every first move takes the board.
std::string fourMap()
{
    std::string map(kBoardCells, '4');
    map.front() = '1';
    map.back() = '2';
    return map;
}

QString quoted(const std::string& path) { return "\"" + QString::fromStdString(path) + "\""; }

} // namespace

TEST(LiveWindow, AnswersWhileABotThinksAndClosingEndsIt)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "slow.sh", "sleep 2.5; echo 3 > vorla.out");
    const std::string stuck = writeBot(dir, "stuck.sh", "exec sleep 42.9");
    {
        const auto window = makeWindow({"--first", quoted(bot)});
        window->nextStep();
        ASSERT_TRUE(window->moving());
        // Events are handled at once while the move goes on.
        const auto asked = Clock::now();
        bool handled = false;
        QTimer::singleShot(0, [&] { handled = true; });
        while (!handled && Clock::now() - asked < std::chrono::seconds(2))
            QTest::qWait(5);
        EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(500));
        EXPECT_TRUE(window->moving()) << "the move is still going on";
        // The clock waits for it: ticks and steps in between play nothing more.
        window->Start();
        QTest::qWait(350);
        window->nextStep();
        window->Stop();
        EXPECT_NE(window->playersPanel()->text(0).indexOf(QString::fromUtf8("thinking\u2026")), -1)
            << window->playersPanel()->text(0).toStdString();
        EXPECT_NE(window->playersPanel()->text(0).indexOf("of 3.0 s"), -1);
        ASSERT_TRUE(settle(*window));
        EXPECT_EQ(window->replay().turns.size(), 1U);
        EXPECT_EQ(window->match().board()[0][0], 3);
    }
    {
        const auto window = makeWindow({"--first", quoted(stuck)});
        window->nextStep();
        QTest::qWait(300);
        ASSERT_TRUE(window->moving());
        const auto closing = Clock::now();
        window->close();
        EXPECT_LT(Clock::now() - closing, std::chrono::milliseconds(500));
    }
    EXPECT_EQ(liveProcessesWith("42.9"), 0);
}

TEST(LiveWindow, TheBoardGrowsWithTheWindowAndTheLabelsStayAtItsCorners)
{
    const auto window = makeWindow({});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    int last = 0;
    for (const QSize size : {QSize(1000, 620), QSize(1280, 700), QSize(1600, 1000), QSize(2400, 1500)}) {
        window->resize(size);
        QTest::qWait(50);
        const VorlenWidget* board = window->board();
        const int cell = board->cellPixels();
        EXPECT_GT(cell, last) << size.width() << "x" << size.height();
        last = cell;
        EXPECT_EQ(board->size(), QSize(kBoardColumns * cell, kBoardRows * cell));
        // Whole, square cells, and the labels at the board's own corners.
        const QRect onBoard = board->geometry();
        const QRect first = board->labels[0]->geometry();
        const QRect second = board->labels[1]->geometry();
        EXPECT_EQ(first.left(), onBoard.left());
        EXPECT_LE(first.bottom(), onBoard.top());
        EXPECT_GT(first.bottom(), onBoard.top() - 30);
        EXPECT_EQ(second.right(), onBoard.right());
        EXPECT_GE(second.top(), onBoard.bottom());
        EXPECT_LT(second.top(), onBoard.bottom() + 30);
    }
    // It fits a small laptop's screen with the panels shown.
    const QSize smallest = window->minimumSizeHint().expandedTo(window->minimumSize());
    EXPECT_LE(smallest.width(), 1280);
    EXPECT_LE(smallest.height(), 700);
}

TEST(LiveWindow, AnEndedMatchIsReviewedAtOnceAndStepStillPlaysEmptyTurns)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    ::testing::internal::CaptureStdout();
    const auto window = makeWindow({"--seed", "4"});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QScrollBar* rows = window->moveList()->findChild<QTableWidget*>()->verticalScrollBar();
    while (!window->match().gameOver()) {
        playTurn(*window);
        // The move list follows the game: its newest row in view.
        if (window->replay().turns.size() == 40) {
            EXPECT_EQ(rows->value(), rows->maximum());
        }
    }
    const int length = static_cast<int>(window->replay().turns.size());
    EXPECT_TRUE(window->reviewingLiveMatch());
    EXPECT_EQ(window->shownTurns(), length) << "at its end";
    EXPECT_FALSE(window->resultBanner().isEmpty());
    EXPECT_EQ(window->moveList()->rows(), length);
    // The review keys work at once.
    QTest::keyClick(window.get(), Qt::Key_Left);
    EXPECT_EQ(window->shownTurns(), length - 1);
    QTest::keyClick(window.get(), Qt::Key_Home);
    EXPECT_EQ(window->shownTurns(), 0);
    QTest::keyClick(window.get(), Qt::Key_End);
    EXPECT_EQ(window->shownTurns(), length);
    // Step still plays the empty turns an ended match has, on the console.
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::CaptureStdout();
    window->nextStep();
    ASSERT_TRUE(settle(*window));
    EXPECT_EQ(::testing::internal::GetCapturedStdout().find("Turn #" + std::to_string(length) + ":"), 1U);
    EXPECT_EQ(window->shownTurns(), length) << "the review stays where it was";
    // Saving keeps the whole match.
    std::string error;
    ASSERT_TRUE(window->saveReplay(dir.file("ended.json"), error)) << error;
    Replay saved;
    ASSERT_TRUE(readReplayFile(dir.file("ended.json"), saved, error)) << error;
    EXPECT_EQ(saved.turns.size(), static_cast<std::size_t>(length));
    EXPECT_TRUE(saved.finished);
}

TEST(LiveWindow, PlayersResultAndMovesAreOnShow)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // A long command line must not hide the result.
    const std::string bot = writeBot(dir, "fourbot.sh", "echo 4 > vorla.out");
    const QString command = quoted(bot) + " " + QString("--an-option-of-its-own ").repeated(8);
    dir.write("board.map", fourMap());
    const auto window = makeWindow({"--first", command, "--map", "board.map"});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(window->playersPanel()->isVisible()) << "on by default";
    EXPECT_EQ(window->playersPanel()->text(0).section('\n', 0, 0), "fourbot.sh");
    EXPECT_EQ(window->playersPanel()->text(1).section('\n', 0, 0), "stupid");
    EXPECT_NE(window->playersPanel()->text(0).indexOf("to move"), -1);
    EXPECT_TRUE(window->resultBanner().isEmpty());
    for (int turn = 0; turn < 10 && !window->match().gameOver(); ++turn)
        playTurn(*window);
    ASSERT_TRUE(window->match().gameOver());
    const int first = window->match().score().first;
    EXPECT_EQ(window->resultBanner(),
              QString("fourbot.sh wins, %1 to 1 (full board)").arg(first));
    // On screen whole, not cut off.
    QTest::qWait(50);
    const auto* banner = window->findChild<QLabel*>("resultBanner");
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_GE(banner->width(), banner->sizeHint().width());
    // With the logs, the banner and the review's bar too, it fits a small laptop's screen.
    EXPECT_FALSE(window->botLogs()->isHidden());
    const QSize smallest = window->minimumSizeHint().expandedTo(window->minimumSize());
    EXPECT_LE(smallest.width(), 1280);
    EXPECT_LE(smallest.height(), 700);
    EXPECT_NE(window->playersPanel()->text(0).indexOf("done: full board"), -1);
    EXPECT_NE(window->playersPanel()->text(0).indexOf("1 move, mean"), -1);

    const MoveList* moves = window->moveList();
    ASSERT_EQ(moves->rows(), static_cast<int>(window->replay().turns.size()));
    EXPECT_EQ(moves->cellText(0, 0), "0");
    EXPECT_EQ(moves->cellText(0, 1), "fourbot.sh");
    EXPECT_EQ(moves->cellText(0, 2), "4");
    EXPECT_EQ(moves->cellText(0, 3), QString::number(first - 1));
}

TEST(LiveWindow, EachBotsStandardErrorAtItsTurnLiveInItsLogAndInTheReplay)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "talker.sh",
                                     "n=$(cat count 2>/dev/null || echo 0); echo $((n+1)) > count\n"
                                     "echo \"thinking at move $n\" >&2\n"
                                     "[ $n = 1 ] && head -c 6000 /dev/zero | tr '\\0' 'z' >&2\n"
                                     "echo $((n % 2 + 3)) > vorla.out");
    const std::string saved = dir.file("talk.json");
    const auto window = makeWindow({"--first", quoted(bot), "--bot-logs", QString::fromStdString(dir.file("logs")),
                                    "--save-replay", QString::fromStdString(saved)});
    EXPECT_FALSE(window->botLogs()->isHidden()) << "shown when a program plays";
    for (int turn = 0; turn < 5; ++turn)
        playTurn(*window);
    const QString text = window->botLogs()->text();
    EXPECT_NE(text.indexOf("turn 0, talker.sh:\nthinking at move 0"), -1) << text.toStdString();
    EXPECT_NE(text.indexOf("turn 4, talker.sh:\nthinking at move 2"), -1) << text.toStdString();
    EXPECT_NE(text.indexOf("[vorlen] cut: "), -1) << "a flood of output is cut in the replay";
    EXPECT_EQ(text.indexOf("stupid:"), -1) << "the built-in player says nothing";
    // The whole log is kept in the folder named, as the runner keeps it.
    const std::string log = readFile(dir.file("logs/seat-0-talker.sh.log"));
    EXPECT_NE(log.find("thinking at move 2"), std::string::npos);
    EXPECT_NE(log.find(std::string(6000, 'z')), std::string::npos);

    std::string error;
    ASSERT_TRUE(window->saveReplay(saved, error)) << error;
    const auto viewer = makeWindow({});
    ASSERT_TRUE(viewer->openReplay(saved, error)) << error;
    EXPECT_FALSE(viewer->botLogs()->isHidden());
    viewer->showTurn(3);
    const QString atThree = viewer->botLogs()->text();
    EXPECT_NE(atThree.indexOf("thinking at move 1"), -1) << atThree.toStdString();
    EXPECT_EQ(atThree.indexOf("thinking at move 2"), -1) << "a later turn's words are not shown yet";
    viewer->showTurn(5);
    EXPECT_NE(viewer->botLogs()->text().indexOf("thinking at move 2"), -1);
    viewer->showTurn(1);
    EXPECT_EQ(viewer->botLogs()->text().indexOf("thinking at move 1"), -1) << "going back takes them away";
}

TEST(LiveWindow, BotsStartWithAFixedEnvironmentAndWhatBotEnvPasses)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "env.sh", "env | sed 's/^/env: /' >&2; echo 3 > vorla.out");
    ::setenv("VORLEN_TEST_SECRET", "hush", 1);
    ::setenv("VORLEN_TEST_PASSED", "yes", 1);
    std::string why;
    const bool boxes = probeSandbox(findSandbox(), why);
    for (const bool boxed : {false, true}) {
        if (boxed && !boxes)
            continue; // as the window's other sandbox tests, where no box can run here
        QStringList arguments{"--first", quoted(bot), "--bot-env", "VORLEN_TEST_PASSED", "--bot-env", "SEED=7",
                              "--bot-logs", QString::fromStdString(dir.file("logs"))};
        if (boxed)
            arguments << "--sandbox";
        const auto window = makeWindow(arguments);
        playTurn(*window);
        const std::string log = readFile(dir.file("logs/seat-0-env.sh.log"));
        const std::string home = boxed ? "/tmp" : dir.path().string();
        for (const std::string& line : {"HOME=" + home, std::string("VORLEN_TEST_PASSED=yes"), std::string("SEED=7"),
                                        std::string("LC_ALL=C.UTF-8")})
            EXPECT_NE(log.find("env: " + line + "\n"), std::string::npos) << boxed << ": " << line << "\n" << log;
        for (const char* absent : {"VORLEN_TEST_SECRET", "DISPLAY", "QT_QPA_PLATFORM"})
            EXPECT_EQ(log.find(absent), std::string::npos) << boxed << ": " << absent << "\n" << log;
        std::filesystem::remove_all(dir.file("logs"));
    }
    ::unsetenv("VORLEN_TEST_SECRET");
    ::unsetenv("VORLEN_TEST_PASSED");
}

TEST(LiveWindow, TheColourBlindPaletteOnTheBoardAndInTheLegend)
{
    const auto classic = makeWindow({});
    const auto window = makeWindow({"--palette", "colorblind"});
    const QImage image = window->board()->grab().toImage();
    const int cell = window->board()->cellPixels();
    const Palette palette = colourBlindPalette();
    const Field& board = window->match().board();
    for (const auto& [row, column] : {std::pair{0, 0}, {3, 7}, {20, 22}, {40, 44}}) {
        const Rgb& rgb = palette.of(board[row][column]);
        EXPECT_EQ(image.pixelColor(column * cell + cell / 2, row * cell + cell / 2).rgb(),
                  qRgb(rgb.red, rgb.green, rgb.blue)) << row << "," << column;
    }
    // The legend names the palette's colours.
    QStringList legend;
    for (const QLabel* label : window->playersPanel()->findChildren<QLabel*>())
        legend << label->text();
    EXPECT_TRUE(legend.contains("1 vermilion"));
    EXPECT_TRUE(legend.contains("6 reddish purple"));
}

TEST(LiveWindow, AProgramThatCannotRunIsSaidBeforeTheMatch)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    const auto window = makeWindow({"--first", "./missing", "--second", "stream:\"./no bot\""});
    window->nextStep();
    window->Start();
    const std::string trace = ::testing::internal::GetCapturedStdout();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "vorlen: --first: cannot run './missing': no such file\n"
                    "vorlen: --second: cannot run './no bot': no such file\n");
    ASSERT_EQ(window->startProblems().size(), 2U);
    EXPECT_FALSE(window->moving());
    EXPECT_FALSE(window->clock()->isActive());
    EXPECT_EQ(trace.find("Turn #"), std::string::npos) << "no turn is played";
    EXPECT_EQ(window->statusBar()->currentMessage(),
              "The match cannot be played: --first: cannot run './missing': no such file");

    // A log folder that cannot be made is the window's own problem, said as such.
    const std::string bot = writeBot(dir, "bot.sh", "echo 3 > vorla.out");
    dir.write("plain", "");
    ::testing::internal::CaptureStderr();
    const auto logged = makeWindow({"--first", quoted(bot), "--bot-logs", QString::fromStdString(dir.file("plain/logs"))});
    logged->nextStep();
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(logged->startProblems().size(), 1U);
    EXPECT_EQ(logged->startProblems().front().rfind("--bot-logs: cannot make '" + dir.file("plain/logs") + "': ", 0), 0U)
        << logged->startProblems().front();
    EXPECT_EQ(logged->match().retirement(0).reason, RetireReason::None) << "the bot is charged nothing";
}

TEST(LiveWindow, APlayerHasOneNameInTheTitlePanelChartAndBanner)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    std::filesystem::create_directories(dir.file("my bots"));
    const std::string bot = writeBot(dir, "my bots/v7", "echo 3 > vorla.out");
    // It answers its own colour at its second move, and is out.
    const auto window = makeWindow(
        {"--first", quoted(bot), "--chart", "--map", QString::fromStdString(dir.write("four.map", fourMap()))});
    for (int turn = 0; turn < 4 && !window->match().gameOver(); ++turn)
        playTurn(*window);
    EXPECT_EQ(window->windowTitle(), QString("vorlen \u2014 v7 vs stupid"));
    EXPECT_EQ(window->scoreChart()->seatName(0), "first (v7)");
    EXPECT_EQ(window->scoreChart()->seatName(1), "second (stupid)");
    EXPECT_TRUE(window->match().gameOver());
    EXPECT_NE(window->resultBanner().indexOf("(v7 (first) failed"), -1) << window->resultBanner().toStdString();
}

TEST(LiveWindow, KeysPlayAStepAndStartAndStopTheClock)
{
    const auto window = makeWindow({});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ::testing::internal::CaptureStdout();
    QTest::keyClick(window.get(), Qt::Key_Right);
    settle(*window);
    EXPECT_EQ(window->replay().turns.size(), 1U);
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_TRUE(window->clock()->isActive());
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_FALSE(window->clock()->isActive());
    settle(*window);
    ::testing::internal::GetCapturedStdout();
}

TEST(LiveWindow, TheSliderGoesWhereItIsClicked)
{
    const auto live = makeWindow({});
    ::testing::internal::CaptureStdout();
    for (int turn = 0; turn < 60; ++turn)
        playTurn(*live);
    ::testing::internal::GetCapturedStdout();
    const auto window = makeWindow({});
    window->viewReplay(live->replay());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* slider = window->findChild<QSlider*>("turnSlider");
    ASSERT_NE(slider, nullptr);
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() * 3 / 4, slider->height() / 2));
    EXPECT_NEAR(window->shownTurns(), 45, 4);
    auto* position = window->findChild<QLabel*>("turnPosition");
    EXPECT_EQ(position->text(),
              QString::fromUtf8("turn %1 \u00b7 %2 of 60 turns").arg(window->shownTurns() - 1).arg(window->shownTurns()));
    // A click in the move list shows the board after that move.
    auto* table = window->moveList()->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    table->scrollToItem(table->item(9, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(9, 0)).center());
    EXPECT_EQ(window->shownTurns(), 10);
    EXPECT_EQ(slider->value(), 10);
}

TEST(LiveWindow, AProgramsTimeForAMoveOrNone)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "slow.sh", "sleep 0.8; echo 3 > vorla.out");
    {
        const auto window = makeWindow({"--first", quoted(bot), "--move-time", "500"});
        playTurn(*window);
        ASSERT_EQ(window->replay().turns.size(), 1U);
        ASSERT_EQ(window->replay().turns[0].retired.size(), 1U);
        EXPECT_EQ(window->replay().turns[0].retired[0].reason, "time limit");
        EXPECT_EQ(window->replay().moveLimitsMs[0], 500);
    }
    {
        // Debugging a bot: the move waits as long as it takes.
        const std::string stepped = writeBot(dir, "stepped.sh", "sleep 3.3; echo 3 > vorla.out");
        const auto window = makeWindow({"--first", quoted(stepped), "--no-time-limit"});
        window->nextStep();
        QTest::qWait(300);
        EXPECT_NE(window->playersPanel()->text(0).indexOf("no time limit"), -1)
            << window->playersPanel()->text(0).toStdString();
        ASSERT_TRUE(settle(*window));
        EXPECT_TRUE(window->replay().turns[0].retired.empty());
        EXPECT_EQ(window->match().board()[0][0], 3);
        EXPECT_EQ(window->replay().moveLimitsMs[0], 0) << "none, in its replay";
        EXPECT_EQ(window->replay().moveLimitsMs[1], 3000);
    }
}

TEST(LiveWindow, ABotsMistakeComesWithHowToFixIt)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "printer.sh", "echo 3");
    const auto window = makeWindow({"--first", quoted(bot)});
    playTurn(*window);
    const QString status = window->statusBar()->currentMessage();
    EXPECT_NE(status.indexOf("first failed: no move in vorla.out"), -1) << status.toStdString();
    EXPECT_NE(status.indexOf(QString::fromUtf8("\u00b7 hint: it ended without writing vorla.out")), -1)
        << status.toStdString();
    EXPECT_NE(window->botLogs()->text().indexOf("hint: it ended without writing vorla.out"), -1)
        << window->botLogs()->text().toStdString();
}

TEST(LiveWindow, PlaysOnFromAReplaysTurn)
{
    const auto live = makeWindow({});
    ::testing::internal::CaptureStdout();
    for (int turn = 0; turn < 10; ++turn)
        playTurn(*live);
    const Replay played = live->replay();

    const auto window = makeWindow({});
    std::string problem;
    ASSERT_TRUE(window->playFrom(played, 6, problem)) << problem;
    EXPECT_EQ(window->replay().turns.size(), 6U);
    EXPECT_EQ(window->match().score(), played.turns[5].score);
    playTurn(*window);
    ASSERT_EQ(window->replay().turns.size(), 7U);
    // The same players play the same move.
    EXPECT_EQ(window->replay().turns[6].answer, played.turns[6].answer);
    EXPECT_EQ(window->replay().turns[6].score, played.turns[6].score);
    EXPECT_FALSE(window->playFrom(played, 2, problem)) << "only before the live match begins";

    // "Play from here" in a replay on show.
    const auto viewer = makeWindow({});
    viewer->viewReplay(played);
    viewer->showTurn(4);
    QAction* here = nullptr;
    for (QAction* action : viewer->findChildren<QAction*>())
        if (action->text() == "Play from here")
            here = action;
    ASSERT_NE(here, nullptr);
    ASSERT_TRUE(here->isEnabled());
    here->trigger();
    EXPECT_FALSE(viewer->viewing());
    EXPECT_EQ(viewer->replay().turns.size(), 4U);
    EXPECT_TRUE(viewer->findChild<QToolBar*>("replayBar")->isHidden());
    playTurn(*viewer);
    EXPECT_EQ(viewer->replay().turns.size(), 5U);
    ::testing::internal::GetCapturedStdout();

    const auto late = makeWindow({});
    EXPECT_FALSE(late->playFrom(played, 11, problem));
    EXPECT_EQ(problem, "the replay has 10 turns (0 to 9), not a turn 10");

    // A refusal leaves the window as it was: playing on from another turn works.
    TempDir maps;
    const auto quick = makeWindow({"--map", QString::fromStdString(maps.write("four.map", fourMap()))});
    while (!quick->match().gameOver())
        playTurn(*quick);
    const Replay over = quick->replay();
    const auto again = makeWindow({});
    EXPECT_FALSE(again->playFrom(over, static_cast<int>(over.turns.size()), problem));
    EXPECT_EQ(problem.rfind("the match is over after", 0), 0U) << problem;
    ASSERT_TRUE(again->playFrom(played, 6, problem)) << problem;
    playTurn(*again);
    ASSERT_EQ(again->replay().turns.size(), 7U);
    EXPECT_EQ(again->replay().turns[6].score, played.turns[6].score);

    // A board list's replay position is played up to before the window opens.
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    ASSERT_TRUE(writeReplayFile(dir.file("played.json"), played, problem)) << problem;
    dir.write("list.txt", "rand:1\nreplay:played.json@5\n");
    const auto listed = makeWindow({"--boards", "list.txt", "--game", "1"});
    EXPECT_TRUE(listed->startProblems().empty());
    EXPECT_EQ(listed->replay().turns.size(), 6U);
    EXPECT_EQ(listed->replay().boardSource, "replay:played.json@5");
    EXPECT_EQ(listed->match().score(), played.turns[5].score);
}

TEST(LiveWindow, PlayingOnFromAReplayKeepsItsPlayersUnlessTheOptionsNameOthers)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot =
        writeBot(dir, "talker.sh", "echo from-the-bot >&2; head -c 1 vorla.in | tr 123456 234561 > vorla.out");
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const auto played = makeWindow({"--first", quoted(bot)});
    for (int turn = 0; turn < 4; ++turn)
        playTurn(*played);
    const Replay replay = played->replay();
    ASSERT_EQ(QString::fromStdString(replay.players[0]), quoted(bot));

    const auto kept = makeWindow({});
    std::string problem;
    ASSERT_TRUE(kept->playFrom(replay, 2, problem)) << problem;
    EXPECT_EQ(replay.playersAsRun[0], bot) << "the quotes it needs not, gone";
    EXPECT_EQ(kept->replay().players, (std::array<std::string, 2>{bot, "stupid"})) << "as they ran";
    EXPECT_TRUE(kept->startProblems().empty());
    playTurn(*kept);
    ASSERT_EQ(kept->replay().turns.size(), 3U);
    EXPECT_EQ(kept->replay().turns[2].log, "from-the-bot\n") << "the replay's bot plays on";

    const auto replaced = makeWindow({"--first", "stupid"});
    ASSERT_TRUE(replaced->playFrom(replay, 2, problem)) << problem;
    EXPECT_EQ(replaced->replay().players[0], "stupid");
    EXPECT_EQ(replaced->replay().players[1], replay.players[1]);

    // A program that is not here is said; the match does not start.
    Replay moved = replay;
    moved.players[0] = moved.playersAsRun[0] = dir.file("gone.sh");
    const auto missing = makeWindow({});
    ASSERT_TRUE(missing->playFrom(moved, 2, problem)) << problem;
    ASSERT_EQ(missing->startProblems().size(), 1U);
    EXPECT_EQ(missing->startProblems()[0].rfind("the replay's first player: cannot run '" + dir.file("gone.sh"), 0), 0U)
        << missing->startProblems()[0];
    missing->nextStep();
    EXPECT_EQ(missing->replay().turns.size(), 2U);
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
}

TEST(LiveWindow, APersonPlaysBySwatchOrKeyAndOnlyLegalColours)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // The second seat's home is 2: on a board of 4s with 1 in the first home,
    // the person may play 3, 5 or 6, not 1 or 2.
    std::string map(kBoardCells, '4');
    map.front() = '1';
    map.back() = '2';
    dir.write("board.map", map);
    const auto window = makeWindow({"--first", "person", "--map", "board.map"});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const Field start = window->match().board();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("vorlen \u2014 person vs stupid"));
    ::testing::internal::CaptureStderr();
    // Offered at once: a person's turn needs no key to begin.
    PersonBar* bar = window->personColours();
    const auto waitFor = [](const std::function<bool()>& done) {
        for (int wait = 0; wait < 400 && !done(); ++wait)
            QTest::qWait(5);
        return done();
    };
    ASSERT_TRUE(waitFor([&] { return !bar->isHidden(); })) << "the colours are offered";
    EXPECT_FALSE(window->moving()) << "the board stays the window's to draw while the person thinks";
    for (const auto& [colour, offered] : {std::pair{1, false}, {2, false}, {3, true}, {4, true}, {5, true}, {6, true}})
        EXPECT_EQ(bar->offers(colour), offered) << colour;
    // Each colour says what it would gain; the person's region is outlined.
    std::map<QString, QToolButton*> buttons;
    for (QToolButton* button : bar->findChildren<QToolButton*>())
        buttons[button->text()] = button;
    ASSERT_TRUE(buttons.count("3") && buttons.count("4"));
    EXPECT_TRUE(buttons["4"]->toolTip().contains("+1843 cells")) << buttons["4"]->toolTip().toStdString();
    EXPECT_TRUE(buttons["3"]->toolTip().contains("+0 cells")) << buttons["3"]->toolTip().toStdString();
    EXPECT_TRUE(window->findChild<QWidget*>("regionOutline")->isVisible());
    // An illegal key does nothing; a legal one plays, and the built-in player
    // replies by itself.
    QTest::keyClick(window.get(), Qt::Key_2);
    QTest::qWait(50);
    EXPECT_TRUE(window->replay().turns.empty());
    QTest::keyClick(window.get(), Qt::Key_5);
    ASSERT_TRUE(waitFor([&] { return window->replay().turns.size() == 2 && !bar->isHidden(); }));

    // The same two moves as the engine's.
    vorlen::testing::ScriptedPlayer same({5});
    VorlenLogicTeam02 greedy;
    VorlenManager engine(kBoardColumns, kBoardRows, 2, Trace::silent());
    engine.setPlayer(0, &same);
    engine.setPlayer(1, &greedy);
    engine.setBoard(start);
    engine.makeTurn(0);
    engine.makeTurn(1);
    EXPECT_EQ(window->replay().turns[0].answer, 5);
    EXPECT_EQ(window->replay().turns[1].score, engine.score());

    // A click on a swatch plays too. The board was full: that move ends the match.
    QTest::mouseClick(buttons["3"], Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return window->replay().finished; }));
    EXPECT_EQ(window->replay().turns.size(), 3U);
    EXPECT_EQ(window->replay().turns[2].answer, 3);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_FALSE(window->findChild<QWidget*>("regionOutline")->isVisible());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Move 5\n"), std::string::npos) << "the trace shows a person's move as any other";
    EXPECT_NE(said.find("Move 3\n"), std::string::npos);

    // A turn begun by step waits for the person; closing then ends it at once.
    const auto waiting = makeWindow({"--first", "person", "--map", "board.map"});
    ASSERT_TRUE(waitFor([&] { return !waiting->personColours()->isHidden(); }));
    waiting->nextStep();
    QTest::qWait(50);
    EXPECT_TRUE(waiting->moving());
    EXPECT_FALSE(waiting->personColours()->isHidden());
    const auto closing = Clock::now();
    waiting->close();
    EXPECT_LT(Clock::now() - closing, std::chrono::milliseconds(500));
}
