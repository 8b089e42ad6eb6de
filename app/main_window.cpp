#include "main_window.h"

#include "BoardFitter.h"
#include "BotLogPanel.h"
#include "EvaluationPanel.h"
#include "SeatColours.h"
#include "MoveList.h"
#include "PersonBar.h"
#include "PersonPlayer.h"
#include "PlayerFactory.h"
#include "PlayersPanel.h"
#include "RegionOutline.h"
#include "ReplayBar.h"
#include "ReplayPlayback.h"
#include "ScoreChart.h"
#include "StartupOptions.h"
#include "VorlenGuiQtImpl.h"
#include "VorlenWidget.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>


main_window::main_window(QWidget* parent)
    : main_window(QCoreApplication::arguments(), parent)
{
}

main_window::main_window(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), manager(vorlen::kBoardColumns, vorlen::kBoardRows, 2),
      liveMatch(std::make_unique<LiveMatch>(manager))
{
    form.setupForm(this);
    const std::vector<StartupAction> actions = scanStartupOptions(arguments);
    palette = vorlen::paletteNamed(lastValue(actions, StartupAction::Type::Palette).value_or(""))
                  .value_or(vorlen::classicPalette());
    for (const StartupAction& action : actions)
        if (action.type == StartupAction::Type::Palette || action.type == StartupAction::Type::BotLogs
            || action.type == StartupAction::Type::BotEnv)
            viewOptions << (action.type == StartupAction::Type::Palette   ? "--palette"
                            : action.type == StartupAction::Type::BotLogs ? "--bot-logs"
                                                                          : "--bot-env")
                        << QFile::decodeName(QByteArray::fromStdString(action.value));
    if (hasAction(actions, StartupAction::Type::Chart))
        viewOptions << "--chart";
    if (hasAction(actions, StartupAction::Type::Evaluation))
        viewOptions << "--evaluation";

    timer = new QTimer(this);
    timer->setSingleShot(false);
    connect(timer, &QTimer::timeout, this, &main_window::nextStep);
    thinkingClock = new QTimer(this);
    connect(thinkingClock, &QTimer::timeout, this, &main_window::showThinking);
    connect(liveMatch.get(), &LiveMatch::turnPlayed, this, &main_window::afterLiveTurn);
    buildBoardArea();

    for (int seat = 0; seat < 2; ++seat)
        seatPlayer(seat, vorlen::parseSeatPlayer(vorlen::kBuiltInName), {});
    manager.loadMap({});
    const std::optional<ChosenBoard> chosen = seatPlayers(actions);
    saveReplayPath = lastValue(actions, StartupAction::Type::SaveReplay).value_or("");

    std::unique_ptr<vorlen::IVorlenGui> display = vorlen::createGui();
    gui.reset(dynamic_cast<vorlen::VorlenGuiQtImpl*>(display.get()));
    if (gui) {
        display.release();
        gui->init(boardWidget);
        if (hasAction(actions, StartupAction::Type::Palette))
            gui->setPalette(palette);
        // The board is on show from the start, before any turn.
        gui->setField(&manager.board());
    }
    boardWidget->gui = gui.get();
    manager.setGui(gui.get());

    buildDocks(actions);
    buildMenus();
    buildKeys();
    if (chosen && chosen->startReplay) {
        std::string problem;
        if (!playFrom(*chosen->startReplay, chosen->startTurns, problem, false))
            problems.push_back("--boards: " + chosen->label + ": " + problem);
        liveMatch->record().boardSource = chosen->label;
    }
    tellStory();
    statusBar()->clearMessage();
    QTimer::singleShot(0, this, &main_window::playOnForAPerson);
}

main_window::~main_window()
{
    // A bot in the middle of its move is ended, not waited for; a person's
    // move is called off.
    for (PersonPlayer* person : personControls.players)
        if (person)
            person->cancel();
    liveMatch.reset();
    // The widgets outlive this body; they must not paint through a gone display.
    boardWidget->gui = nullptr;
}

void main_window::buildBoardArea()
{
    auto* first = new QLabel("One");
    auto* second = new QLabel("Two");
    auto* start = new QPushButton("start");
    auto* stop = new QPushButton("stop");
    auto* step = new QPushButton("step");
    boardWidget = new VorlenWidget();
    personControls.outline = new RegionOutline(boardWidget);
    boardWidget->labels.push_back(first);
    boardWidget->labels.push_back(second);

    auto* grid = new QGridLayout();
    grid->setRowStretch(1, 100);
    grid->addWidget(first, 0, 0, 1, 1, Qt::AlignLeft);
    grid->addWidget(second, 2, 2, 1, 1, Qt::AlignRight);
    grid->addWidget(boardWidget, 1, 0, 1, 3, Qt::AlignCenter);
    grid->addWidget(start, 3, 0, 1, 1, Qt::AlignCenter);
    grid->addWidget(stop, 3, 1, 1, 1, Qt::AlignCenter);
    grid->addWidget(step, 3, 2, 1, 1, Qt::AlignCenter);
    connect(step, &QPushButton::clicked, this, &main_window::nextStep);
    connect(start, &QPushButton::clicked, this, &main_window::Start);
    connect(stop, &QPushButton::clicked, this, &main_window::Stop);
    form.centralwidget->setLayout(grid);
    auto* fitter = new BoardFitter(form.centralwidget, grid, boardWidget);
    form.centralwidget->setMinimumSize(fitter->smallestArea());

    banner = new QLabel;
    banner->setObjectName("resultBanner");
    banner->setTextFormat(Qt::PlainText);
    banner->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QFont large = banner->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.3);
    banner->setFont(large);
    banner->setMargin(6);
    bannerBar = new QToolBar("Result", this);
    bannerBar->setObjectName("resultBar");
    bannerBar->setMovable(false);
    bannerBar->addWidget(banner);
    addToolBar(Qt::TopToolBarArea, bannerBar);
    bannerBar->hide();
}

void main_window::buildDocks(const std::vector<StartupAction>& actions)
{
    docks.players = new PlayersPanel(palette, this);
    addDockWidget(Qt::RightDockWidgetArea, docks.players);
    docks.moves = new MoveList(palette, this);
    addDockWidget(Qt::RightDockWidgetArea, docks.moves);
    connect(docks.moves, &MoveList::turnChosen, this, [this](int shown) {
        if (viewing())
            showTurn(shown);
    });
    docks.chart = new ScoreChart(this);
    addDockWidget(Qt::RightDockWidgetArea, docks.chart);
    tabifyDockWidget(docks.moves, docks.chart);
    docks.moves->raise();
    docks.chart->setVisible(hasAction(actions, StartupAction::Type::Chart));
    connect(docks.chart, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            tellStory();
    });
    docks.evaluation = new EvaluationPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, docks.evaluation);
    docks.evaluation->setSeats({"One", "Two"}, {seatMarkColour(0), seatMarkColour(1)});
    docks.evaluation->setVisible(hasAction(actions, StartupAction::Type::Evaluation));
    connect(docks.evaluation, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            tellStory();
    });
    // The panels on the right run the window's whole height; the logs lie
    // under the board only: the window still fits a small screen.
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    docks.logs = new BotLogPanel(this);
    addDockWidget(Qt::BottomDockWidgetArea, docks.logs);
    // Where bot writers debug: shown when a program plays.
    const auto program = [](const std::string& player) { return vorlen::parseSeatPlayer(player).isProgram(); };
    const vorlen::Replay& live = liveMatch->record();
    docks.logs->setVisible(program(live.players[0]) || program(live.players[1]));
    // A few lines of it: the board keeps the room.
    resizeDocks({docks.logs}, {docks.logs->fontMetrics().height() * 8}, Qt::Vertical);

    personControls.bar = new PersonBar(palette, this);
    addToolBar(Qt::TopToolBarArea, personControls.bar);
    connect(personControls.bar, &PersonBar::chosen, this, &main_window::personChose);

    replayControls.bar = new ReplayBar(this);
    addToolBar(Qt::BottomToolBarArea, replayControls.bar);
    replayControls.bar->hide();
    connect(replayControls.bar, &ReplayBar::turnChosen, this, &main_window::showTurn);
    connect(replayControls.bar, &ReplayBar::speedChosen, this, [this] {
        if (timer->isActive())
            Start();
    });
}

void main_window::buildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(QString::fromUtf8("New match\u2026"), QKeySequence::New, this, &main_window::chooseNewMatch);
    file->addAction(QString::fromUtf8("Save replay\u2026"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, "Save replay", {}, "Replays (*.json)");
        std::string error;
        if (!path.isEmpty() && !saveReplay(QFile::encodeName(path).toStdString(), error))
            QMessageBox::warning(this, "Save replay", QString::fromLocal8Bit(error));
    });
    file->addAction(QString::fromUtf8("Export as web page\u2026"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, "Export as web page", {}, "Web pages (*.html)");
        std::string error;
        if (!path.isEmpty() && !exportWebPage(QFile::encodeName(path).toStdString(), error))
            QMessageBox::warning(this, "Export as web page", QString::fromLocal8Bit(error));
    });
    replayControls.saveSeen = file->addAction(QString::fromUtf8("Save the board as seat 1 saw it\u2026"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, replayControls.saveSeen->text().chopped(1), "vorla.in");
        std::string error;
        if (!path.isEmpty() && !saveSeenBoard(QFile::encodeName(path).toStdString(), error))
            QMessageBox::warning(this, "Save the board", QString::fromLocal8Bit(error));
    });
    replayControls.saveSeen->setEnabled(false);
    file->addAction(QString::fromUtf8("Open replay\u2026"), this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, "Open replay", {}, "Replays (*.json);;All files (*)");
        std::string error;
        if (!path.isEmpty() && !openReplay(QFile::encodeName(path).toStdString(), error))
            QMessageBox::warning(this, "Open replay", path + ": " + QString::fromLocal8Bit(error));
    });
    replayControls.playFromHere = file->addAction("Play from here", this, [this] {
        std::string problem;
        const vorlen::Replay shown = viewed;
        if (!playFrom(shown, shownTurns(), problem))
            QMessageBox::warning(this, "Play from here", QString::fromLocal8Bit(problem));
    });
    replayControls.playFromHere->setEnabled(false);
    file->addSeparator();
    file->addAction("Quit", QKeySequence::Quit, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu("&View");
    for (QDockWidget* dock :
         std::initializer_list<QDockWidget*>{docks.players, docks.moves, docks.logs, docks.chart, docks.evaluation})
        view->addAction(dock->toggleViewAction());
    docks.chart->toggleViewAction()->setText("Score chart");
}

void main_window::buildKeys()
{
    // Right and Space work live as in replays; the rest move through a replay.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_Right), [this] { viewing() ? showTurn(shownTurns() + 1) : nextStep(); }},
        {QKeySequence(Qt::Key_Space), [this] { timer->isActive() ? Stop() : Start(); }},
        {QKeySequence(Qt::Key_Left), [this] { showTurn(shownTurns() - 1); }},
        {QKeySequence(Qt::Key_Home), [this] { showTurn(0); }},
        {QKeySequence(Qt::Key_End), [this] { showTurn(static_cast<int>(replay().turns.size())); }},
        // To the next or the last retirement or failed move.
        {QKeySequence(Qt::Key_F8), [this] { goToRetirement(true); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { goToRetirement(false); }},
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, action);
        if (replayControls.keys.size() >= 2)
            shortcut->setEnabled(false);
        replayControls.keys.push_back(shortcut);
    }
}
