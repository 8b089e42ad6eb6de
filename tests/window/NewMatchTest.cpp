// File -> New match...: the choices become the window's own options, are
// checked before a window is made, are remembered, and a new window takes
// the old one's place.
#include "NewMatchChoices.h"
#include "NewMatchDialog.h"
#include "Boards.h"
#include "PlayerFactory.h"
#include "PlayersPanel.h"
#include "StartupOptions.h"
#include "WindowHost.h"
#include "main_window.h"
#include "support/Bots.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

using namespace vorlen;
using namespace vorlen::testing;
using Seat = NewMatchChoices::Seat;
using Board = NewMatchChoices::Board;

namespace {

NewMatchChoices programs(const QString& first, const QString& second)
{
    NewMatchChoices choices;
    choices.seats = {Seat{Seat::Kind::Program, first}, Seat{Seat::Kind::Stream, second}};
    return choices;
}

} // namespace

TEST(NewMatch, ChoicesBecomeTheWindowsOwnOptions)
{
    NewMatchChoices seeded;
    seeded.seats = {Seat{Seat::Kind::Person, "ignored"}, Seat{Seat::Kind::BuiltIn, {}}};
    seeded.board = Board::Seeded;
    seeded.seed = 18446744073709551615ULL;
    seeded.game = 12;
    NewMatchChoices listed = programs(" ./bot --depth 3 ", "python3 s.py");
    listed.board = Board::List;
    listed.path = "book.txt";
    listed.game = 4;
    listed.sandbox = true;
    listed.noTimeLimit = true;
    NewMatchChoices searching;
    searching.seats = {Seat{Seat::Kind::Search, "ignored", 4}, Seat{Seat::Kind::Search, {}, 1}};
    NewMatchChoices mapped;
    mapped.board = Board::Map;
    mapped.path = "maps/x y.txt";
    mapped.moveTimeMs = 500;

    const struct {
        NewMatchChoices choices;
        QStringList arguments;
    } cases[] = {
        {NewMatchChoices{}, {"--first", "stupid", "--second", "stupid", "--move-time", "3000"}},
        {seeded,
         {"--first", "person", "--second", "stupid", "--seed", "18446744073709551615", "--game", "12", "--move-time",
          "3000"}},
        {listed,
         {"--first", "./bot --depth 3", "--second", "stream:python3 s.py", "--boards", "book.txt", "--game", "4",
          "--sandbox", "--no-time-limit"}},
        {mapped, {"--first", "stupid", "--second", "stupid", "--map", "maps/x y.txt", "--move-time", "500"}},
        {searching, {"--first", "search:4", "--second", "search:1", "--move-time", "3000"}},
    };
    for (const auto& c : cases) {
        const QStringList arguments = newMatchArguments(c.choices);
        EXPECT_EQ(arguments, c.arguments) << arguments.join(' ').toStdString();
        // The window reads them as it reads a command line: seats, board and all.
        const auto actions = scanStartupOptions(QStringList{"vorlen"} + arguments);
        EXPECT_TRUE(std::none_of(actions.begin(), actions.end(),
                                 [](const StartupAction& a) { return a.type == StartupAction::Type::Unknown; }));
    }
    const auto actions = scanStartupOptions(QStringList{"vorlen"} + newMatchArguments(listed));
    EXPECT_EQ(actions[0], (StartupAction{StartupAction::Type::SetPlayer, 0, kExternalPlayer, "./bot --depth 3"}));
    EXPECT_EQ(actions[1], (StartupAction{StartupAction::Type::SetPlayer, 1, kExternalPlayer, "stream:python3 s.py"}));
    const auto searchers = scanStartupOptions(QStringList{"vorlen"} + newMatchArguments(searching));
    EXPECT_EQ(searchers[0], (StartupAction{StartupAction::Type::SetPlayer, 0, kSearchPlayer, "search:4"}));
}

TEST(NewMatch, ChoicesTheWindowCannotPlayAreRefusedWithWhy)
{
    TempDir dir;
    const std::string bot = writeBot(dir, "bot.sh", "echo 1 > vorla.out");
    dir.write("list.txt", "rand:1\nnonsense\n");
    dir.write("map.txt", "123\n");
    const QString here = QString::fromStdString(dir.path());

    NewMatchChoices badList;
    badList.board = Board::List;
    badList.path = here + "/list.txt";
    NewMatchChoices noList = badList;
    noList.path.clear();
    NewMatchChoices noMap;
    noMap.board = Board::Map;
    noMap.path = here + "/none.txt";
    NewMatchChoices farGame;
    farGame.board = Board::Seeded;
    farGame.game = 100'000'001;

    const struct {
        NewMatchChoices choices;
        std::string problem; // its start; empty: playable
    } cases[] = {
        {programs("", "x"), "the first seat needs a program"},
        {programs(QString::fromStdString(bot), "  "), "the second seat needs a program"},
        {programs(QString::fromStdString(bot), here + "/missing"), "the second seat: "},
        {programs(QString::fromStdString(bot), QString::fromStdString(bot)), ""},
        {badList, "--boards: "},
        {noList, "the board needs a board list"},
        {noMap, "the map "},
        {farGame, "--game needs"},
        {NewMatchChoices{}, ""},
    };
    for (const auto& c : cases) {
        const std::string problem = newMatchProblem(c.choices, dir.path());
        if (c.problem.empty())
            EXPECT_EQ(problem, "");
        else
            EXPECT_EQ(problem.rfind(c.problem, 0), 0U) << problem;
    }
}

TEST(NewMatch, TheLastChoicesAreRememberedAndGarbageReadsAsTheDefault)
{
    TempDir dir;
    NewMatchChoices choices = programs("./a", "./b");
    choices.board = Board::Seeded;
    choices.seed = 18446744073709551615ULL;
    choices.game = 7;
    choices.sandbox = true;
    choices.moveTimeMs = 250;
    choices.seats[1] = Seat{Seat::Kind::Search, {}, 5};
    {
        QSettings settings(QString::fromStdString(dir.file("kept.ini")), QSettings::IniFormat);
        saveNewMatchChoices(settings, choices);
    }
    const QSettings kept(QString::fromStdString(dir.file("kept.ini")), QSettings::IniFormat);
    EXPECT_EQ(loadNewMatchChoices(kept), choices);

    dir.write("bad.ini", "[newMatch]\nseat0\\kind=9\nseat0\\level=6\nseat1\\kind=-1\nseat1\\level=x\nboard=x\nseed=-3\n"
                         "game=-2\nmoveTimeMs=0\n");
    const QSettings bad(QString::fromStdString(dir.file("bad.ini")), QSettings::IniFormat);
    EXPECT_EQ(loadNewMatchChoices(bad), NewMatchChoices{});
}

TEST(NewMatch, ASettingsFileThatIsNoRegularFileIsLeftAlone)
{
    TempDir dir;
    const QByteArray was = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path().string()));
    std::filesystem::create_directories(dir.file("vorlen"));
    const std::string file = dir.file("vorlen/vorlen.conf");
    std::string warning;
    EXPECT_EQ(choicesFile(warning), QString::fromStdString(file)) << "not there yet: made when kept";
    dir.write("vorlen/vorlen.conf", "[newMatch]\n");
    EXPECT_EQ(choicesFile(warning), QString::fromStdString(file));
    for (const bool pipe : {true, false}) {
        std::filesystem::remove(file);
        if (pipe)
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else
            std::filesystem::create_directory(file);
        warning.clear();
        EXPECT_FALSE(choicesFile(warning)) << pipe;
        EXPECT_EQ(warning, file + " is not a regular file: the choices are not kept");
    }
    std::filesystem::remove(file);
    if (was.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", was);
}

TEST(NewMatch, TheDialogShowsTheChoicesAndAcceptsOnlyPlayableOnes)
{
    TempDir dir;
    NewMatchChoices start = programs("./missing", "./missing");
    start.board = Board::Seeded;
    start.seed = 5;
    start.game = 3;
    start.moveTimeMs = 1200;
    NewMatchDialog dialog(start, dir.path());
    EXPECT_EQ(dialog.choices(), start);

    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.problem().startsWith("the first seat: ")) << dialog.problem().toStdString();

    const std::string bot = writeBot(dir, "bot.sh", "echo 1 > vorla.out");
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (edit->text() == "./missing")
            edit->setText(QString::fromStdString(bot));
    dialog.findChild<QLineEdit*>("seed")->setText("five");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.problem(), "the seed must be a whole number from 0");

    dialog.findChild<QLineEdit*>("seed")->setText("6");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << dialog.problem().toStdString();
    EXPECT_EQ(dialog.choices().seed, 6U);
}

TEST(NewMatch, ARematchSwapsTheSeatsOnTheSameBoardWhereThatBoardCanBeChosen)
{
    NewMatchChoices base;
    base.sandbox = true;
    base.moveTimeMs = 500;
    const auto seeded = rematchChoices(base, {"./a.sh", "stream:./b --fast,dir=bots"}, "seed:3:7");
    ASSERT_TRUE(seeded);
    EXPECT_EQ(seeded->seats[0], (Seat{Seat::Kind::Stream, "./b --fast,dir=bots"}));
    EXPECT_EQ(seeded->seats[1], (Seat{Seat::Kind::Program, "./a.sh"}));
    EXPECT_EQ(seeded->board, Board::Seeded);
    EXPECT_EQ(seeded->seed, 3U);
    EXPECT_EQ(seeded->game, 7);
    EXPECT_TRUE(seeded->sandbox);
    EXPECT_EQ(seeded->moveTimeMs, 500);
    EXPECT_EQ(newMatchArguments(*seeded).mid(0, 4), (QStringList{"--first", "stream:./b --fast,dir=bots", "--second", "./a.sh"}));
    const auto searched = rematchChoices(base, {"search:5", "stupid"}, "seed:3:7");
    ASSERT_TRUE(searched);
    EXPECT_EQ(searched->seats[1], (Seat{Seat::Kind::Search, {}, 5}));
    const auto mapped = rematchChoices(base, {"stupid", "person"}, "map:board.txt");
    ASSERT_TRUE(mapped);
    EXPECT_EQ(mapped->seats[0].kind, Seat::Kind::Person);
    EXPECT_EQ(mapped->seats[1].kind, Seat::Kind::BuiltIn);
    EXPECT_EQ(mapped->board, Board::Map);
    EXPECT_EQ(mapped->path, "board.txt");
    // Boards that cannot be chosen again.
    for (const char* source : {"", "rand:0", "map:short.txt+seed:1:2", "seed:x:1", "seed:1", "list.txt#3"})
        EXPECT_FALSE(rematchChoices(base, {"stupid", "stupid"}, source)) << source;

    // The dialog plays it with one click; without one, its button says why not.
    const auto rematch = rematchChoices(base, {"stupid", "person"}, "seed:3:7");
    NewMatchDialog dialog(NewMatchChoices{}, ".", nullptr, rematch);
    auto* again = dialog.findChild<QPushButton*>("rematch");
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(again->isEnabled());
    again->click();
    EXPECT_TRUE(dialog.rematched());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.choices().seats[0].kind, Seat::Kind::Person);
    EXPECT_FALSE(dialog.choices().sandbox) << "held and timed as the dialog says";
    NewMatchDialog without(NewMatchChoices{}, ".", nullptr, std::nullopt);
    EXPECT_FALSE(without.findChild<QPushButton*>("rematch")->isEnabled());
}

TEST(NewMatch, ANewWindowTakesTheOldOnesPlaceWithTheChosenMatch)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    // Remembered choices go to this test's own configuration folder.
    ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    WindowHost host;
    host.show(std::make_unique<main_window>(QStringList{"vorlen", "--palette", "colorblind"}, nullptr));
    const QPointer<main_window> first = host.current();

    NewMatchChoices chosen;
    chosen.seats[1].kind = Seat::Kind::Person;
    chosen.board = Board::Seeded;
    chosen.seed = 2;
    chosen.game = 9;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<NewMatchDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChildren<QComboBox*>()[1]->setCurrentIndex(static_cast<int>(Seat::Kind::Person));
        dialog->findChildren<QComboBox*>()[2]->setCurrentIndex(static_cast<int>(Board::Seeded));
        dialog->findChild<QLineEdit*>("seed")->setText("2");
        dialog->findChild<QSpinBox*>("game")->setValue(9);
        dialog->accept();
    });
    first->chooseNewMatch();
    QTest::qWait(10);
    ASSERT_TRUE(first.isNull()) << "the old window is gone";
    main_window* second = host.current();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(&second->bots(), host.bots().load());
    EXPECT_EQ(second->replay().boardSource, "seed:2:9");
    EXPECT_EQ(second->replay().players[1], kPersonName);
    // A person plays: the match begins by itself, on the chosen board.
    for (int wait = 0; wait < 400 && second->replay().turns.empty(); ++wait)
        QTest::qWait(5);
    EXPECT_EQ(second->replay().board, seededBoard(2, 9));
    // How the match is shown carries over.
    QStringList legend;
    for (const QLabel* label : second->playersPanel()->findChildren<QLabel*>())
        legend << label->text();
    EXPECT_TRUE(legend.contains("1 vermilion")) << legend.join(", ").toStdString();

    // The choices are offered again next time.
    const QSettings kept(QSettings::UserScope, "vorlen", "vorlen");
    EXPECT_EQ(loadNewMatchChoices(kept).board, Board::Seeded);
    EXPECT_EQ(loadNewMatchChoices(kept).seed, 2U);
}
