#include "QFieldObject.h"
#include "VorlenGuiQtImpl.h"
#include "VorlenWidget.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "main_window.h"
#include "support/Bots.h"
#include "support/MatchTool.h"
#include "support/Processes.h"
#include "support/TempDir.h"
#include "support/Window.h"

#include <gtest/gtest.h>

#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <cstdlib>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// A window on the default board: the first draw of an unseeded rand().
std::unique_ptr<main_window> makeWindow(const QStringList& arguments = {"vorlen"})
{
    std::srand(1);
    return std::make_unique<main_window>(arguments, nullptr);
}

QPushButton* button(const main_window& window, const QString& text)
{
    for (auto* candidate : window.findChildren<QPushButton*>())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

// The board's image is whole square cells, as large as the window allows.
int cellOf(const QImage& image) { return image.width() / kBoardColumns; }

QColor colourAt(const QImage& image, int row, int column)
{
    const int cell = cellOf(image);
    return image.pixelColor(column * cell + cell / 2, row * cell + cell / 2);
}

QRgb expectedRgb(int colour)
{
    switch (colour) {
    case 1: return qRgb(255, 0, 0);
    case 2: return qRgb(0, 255, 0);
    case 3: return qRgb(0, 0, 255);
    case 4: return qRgb(255, 255, 0);
    case 5: return qRgb(0, 0, 127);
    case 6: return qRgb(127, 0, 0);
    }
    return 0;
}

// A map of 4s with 1 and 2 in the home corners: every first move takes the board.
std::string fourMap()
{
    std::string map(kBoardCells, '4');
    map.front() = '1';
    map.back() = '2';
    return map;
}

QImage grabBoard(const main_window& window) { return window.board()->grab().toImage(); }

} // namespace

TEST(Window, FormAndGrid)
{
    const auto window = makeWindow();
    // The title names the program and the players.
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("vorlen \u2014 stupid vs stupid"));
    EXPECT_EQ(window->objectName(), "MainWindow");
    EXPECT_EQ(window->size(), QSize(744, 592));
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
    EXPECT_EQ(window->centralWidget()->objectName(), "centralwidget");

    auto* grid = qobject_cast<QGridLayout*>(window->centralWidget()->layout());
    ASSERT_NE(grid, nullptr);
    auto cell = [&](int row, int column) { return grid->itemAtPosition(row, column); };
    auto* one = qobject_cast<QLabel*>(cell(0, 0)->widget());
    auto* two = qobject_cast<QLabel*>(cell(2, 2)->widget());
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->text(), "One");
    EXPECT_EQ(two->text(), "Two");
    EXPECT_EQ(cell(0, 0)->alignment(), Qt::AlignLeft);
    EXPECT_EQ(cell(2, 2)->alignment(), Qt::AlignRight);
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(cell(1, column)->widget(), window->board());
    EXPECT_EQ(cell(1, 0)->alignment(), Qt::AlignCenter);
    EXPECT_EQ(qobject_cast<QPushButton*>(cell(3, 0)->widget())->text(), "start");
    EXPECT_EQ(qobject_cast<QPushButton*>(cell(3, 1)->widget())->text(), "stop");
    EXPECT_EQ(qobject_cast<QPushButton*>(cell(3, 2)->widget())->text(), "step");
    EXPECT_EQ(grid->rowStretch(1), 100);
    EXPECT_EQ(window->board()->labels, (std::vector<QLabel*>{one, two}));
    EXPECT_EQ(window->board()->size(), QSize(675, 615));
    EXPECT_EQ(window->heightForWidth(321), 321);
}

TEST(Window, SlotsAsTheMetaObjectSeesThem)
{
    const QMetaObject& meta = main_window::staticMetaObject;
    EXPECT_STREQ(meta.className(), "main_window");
    const int base = QMainWindow::staticMetaObject.methodCount();
    ASSERT_EQ(meta.methodCount(), base + 3);
    EXPECT_EQ(meta.method(base + 0).methodSignature(), "nextStep()");
    EXPECT_EQ(meta.method(base + 1).methodSignature(), "Stop()");
    EXPECT_EQ(meta.method(base + 2).methodSignature(), "Start()");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(meta.method(base + i).methodType(), QMetaMethod::Slot);
        EXPECT_EQ(meta.method(base + i).access(), QMetaMethod::Public);
    }
    EXPECT_EQ(meta.propertyCount(), QMainWindow::staticMetaObject.propertyCount());
}

TEST(Window, LabelsAndBoardAfterAStep)
{
    const auto window = makeWindow();
    auto* one = window->board()->labels[0];
    auto* two = window->board()->labels[1];
    // Before any turn: the labels as built and the starting board.
    const QImage before = grabBoard(*window);
    EXPECT_EQ(one->text(), "One");
    EXPECT_EQ(two->text(), "Two");
    const Field start = window->match().board();
    for (int row = 0; row < kBoardRows; row += 5)
        for (int column = 0; column < kBoardColumns; column += 4)
            ASSERT_EQ(colourAt(before, row, column).rgb(), expectedRgb(start[row][column])) << row << "," << column;

    QTest::mouseClick(button(*window, "step"), Qt::LeftButton);
    settle(*window);
    const ScorePair score = window->match().score();
    EXPECT_EQ(one->text(), QString("team: 0 score: %1").arg(score.first));
    EXPECT_EQ(two->text(), QString("team: 1 score: %1").arg(score.second));

    const QImage image = grabBoard(*window);
    EXPECT_NE(image, before);
    const Field& board = window->match().board();
    for (const auto& [row, column] : {std::pair{0, 0}, {0, 44}, {40, 0}, {40, 44}, {20, 22}})
        EXPECT_EQ(colourAt(image, row, column).rgb(), expectedRgb(board[row][column]))
            << row << "," << column;
    // The last square ends exactly at the widget's last pixel.
    const int cell = window->board()->cellPixels();
    EXPECT_EQ(image.size(), QSize(kBoardColumns * cell, kBoardRows * cell));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1).rgb(), expectedRgb(board[40][44]));
    EXPECT_EQ(image.pixelColor(44 * cell, 40 * cell).rgb(), expectedRgb(board[40][44]));
}

TEST(Window, EveryColourAndNoLinesBetweenCellsOfOneColour)
{
    TempDir dir;
    std::string digits;
    for (int i = 0; i < kBoardCells; ++i)
        digits += static_cast<char>('1' + (i / 2) % 6); // pairs of equal neighbours
    const auto window = makeWindow({"vorlen", "--map", QString::fromStdString(dir.write("m", digits)),
                                    "--first", "./missing-bot", "--second", "./missing-bot"});
    {
        WorkingDirectory cwd(dir.path());
        playTurn(*window);
    }
    const QImage image = grabBoard(*window);
    for (int column = 0; column < 12; ++column)
        EXPECT_EQ(colourAt(image, 0, column).rgb(), expectedRgb(column / 2 + 1)) << column;
    // Cells (0,0) and (0,1) are both red: a solid run across their border.
    for (int x = 0; x < 2 * cellOf(image); ++x)
        EXPECT_EQ(image.pixelColor(x, cellOf(image) / 2).rgb(), qRgb(255, 0, 0)) << x;
}

TEST(Display, UnknownCellValueAddsOneColourEntry)
{
    VorlenWidget widget;
    QLabel one, two;
    widget.labels = {&one, &two};
    VorlenGuiQtImpl gui;
    gui.init(&widget);
    gui.init(&widget); // a second init keeps the six colours
    widget.gui = &gui;
    Field board = makeField(kBoardRows, kBoardColumns, 1);
    board[3][3] = 0;
    gui.setField(&board);
    EXPECT_EQ(gui.colourTable().size(), 6U);
    widget.grab();
    EXPECT_EQ(gui.colourTable().size(), 7U);
    EXPECT_TRUE(gui.colourTable().count(0));
    // The display holds no copy: a change shows at the next paint.
    board[0][0] = 2;
    EXPECT_EQ(widget.grab().toImage().pixelColor(7, 7).rgb(), qRgb(0, 255, 0));

    gui.setScore(1, 37);
    EXPECT_EQ(two.text(), "team: 1 score: 37");
    EXPECT_EQ(one.text(), "");
}

TEST(Clock, StartStopAndConsecutiveTurns)
{
    const auto window = makeWindow();
    QTest::mouseClick(button(*window, "start"), Qt::LeftButton);
    EXPECT_TRUE(window->clock()->isActive());
    EXPECT_EQ(window->clock()->interval(), 100);
    EXPECT_FALSE(window->clock()->isSingleShot());

    ::testing::internal::CaptureStdout();
    QTest::qWait(250); // about two ticks
    QTest::mouseClick(button(*window, "step"), Qt::LeftButton);
    settle(*window);
    QTest::mouseClick(button(*window, "stop"), Qt::LeftButton);
    std::fflush(stdout);
    const std::string trace = ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(window->clock()->isActive());

    // Turns are numbered from 0 and stay consecutive, clicks and ticks alike.
    int expected = 0;
    std::size_t at = 0;
    while ((at = trace.find("\nTurn #", at)) != std::string::npos) {
        at += 7;
        EXPECT_EQ(std::stoi(trace.substr(at)), expected++);
    }
    EXPECT_GE(expected, 2);
}

TEST(Clock, EndOfTheMatchStopsTheClockAndStartPlaysOneMoreTurn)
{
    const auto window = makeWindow();
    ::testing::internal::CaptureStdout();
    window->Start();
    for (int turn = 0; !window->match().gameOver() && turn < 1000; ++turn)
        playTurn(*window);
    EXPECT_EQ(window->replay().turns.size(), 122U);
    EXPECT_FALSE(window->clock()->isActive());

    QSignalSpy ticks(window->clock(), &QTimer::timeout);
    window->Start();
    QTest::qWait(450);
    EXPECT_EQ(ticks.count(), 1);
    EXPECT_FALSE(window->clock()->isActive());
    std::fflush(stdout);
    const std::string trace = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(trace.find("\nTurn #122:\n"), std::string::npos);
    EXPECT_EQ(trace.find("\nTurn #123:\n"), std::string::npos);
}

TEST(Window, ProgramAndMapPathsInTheLocaleEncoding)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    std::filesystem::create_directory(dir.file("b\xc3\xb8t \xd0\xb1\xd0\xbe\xd1\x82"));
    const std::string bot = writeBot(dir, "b\xc3\xb8t \xd0\xb1\xd0\xbe\xd1\x82/bot.sh", "echo 3 > vorla.out; touch moved");
    dir.write("k\xc3\xa4rte.map", fourMap());
    const auto window = makeWindow({"vorlen", "--first", "\"" + QString::fromUtf8(bot) + "\"", "--map",
                                    QString::fromUtf8("k\xc3\xa4rte.map")});
    EXPECT_EQ(window->match().board()[20][20], 4);
    playTurn(*window);
    EXPECT_TRUE(std::filesystem::exists(dir.file("moved")));
    EXPECT_EQ(window->match().board()[0][0], 3);
}

TEST(Window, AStreamBotPlaysItsSeatAndEndsWithTheWindow)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // Answers 3 to every board, and leaves a mark of each one it read.
    const std::string bot = writeBot(dir, "stream.sh",
                                     "sleep 42.7 > /dev/null &\n"
                                     "while :; do i=0; while [ $i -lt 41 ]; do read -r line || exit 0; i=$((i+1)); done;"
                                     " echo x >> boards; echo 3; done");
    dir.write("board.map", fourMap());
    {
        const auto window = makeWindow({"vorlen", "--first", QString::fromStdString("stream:" + bot), "--map", "board.map"});
        ::testing::internal::CaptureStderr();
        for (int turn = 0; turn < 3; ++turn)
            playTurn(*window);
        EXPECT_EQ(::testing::internal::GetCapturedStderr().find("Move 3\n"), 0U);
        EXPECT_EQ(window->match().board()[0][0], 3);
        EXPECT_EQ(lines(readFile(dir.file("boards"))).size(), 2U) << "one process for the whole match";
    }
    EXPECT_EQ(liveProcessesWith("42.7"), 0);
}

TEST(Window, SandboxedSeatsPlayInBoxesOfTheirOwn)
{
    std::string why;
    if (!vorlen::probeSandbox(vorlen::findSandbox(), why))
        GTEST_SKIP() << "the sandbox cannot run here: " << why;
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // A relative path still names the bot, though it runs in its box's folder.
    writeBot(dir, "bot.sh", "touch mine; echo 3 > vorla.out");
    writeBot(dir, "stream.sh", "sleep 42.8 > /dev/null &\n"
                               "while :; do i=0; while [ $i -lt 41 ]; do read -r line || exit 0; i=$((i+1)); done;"
                               " echo 5; done");
    dir.write("board.map", fourMap());
    {
        const auto window = makeWindow(
            {"vorlen", "--sandbox", "--first", "./bot.sh", "--second", "stream:./stream.sh", "--map", "board.map"});
        ::testing::internal::CaptureStderr();
        playTurn(*window);
        playTurn(*window);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Move 3\nMove 5\n");
        EXPECT_EQ(window->match().board()[0][0], 3);
        // Its files are in its box, not in the window's folder.
        EXPECT_FALSE(std::filesystem::exists(dir.file("mine")));
        EXPECT_FALSE(std::filesystem::exists(dir.file("vorla.in")));
    }
    EXPECT_EQ(liveProcessesWith("42.8"), 0);
}
