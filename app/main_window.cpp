#include "main_window.h"

#include "BoardFitter.h"
#include "BotLogPanel.h"
#include "MatchStory.h"
#include "MoveList.h"
#include "MoveThread.h"
#include "PersonBar.h"
#include "PersonPlayer.h"
#include "PlayerFactory.h"
#include "PlayersPanel.h"
#include "ReplayBar.h"
#include "ReplayPlayback.h"
#include "Sandbox.h"
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

#include <cstdio>
#include <filesystem>

main_window::main_window(QWidget* parent)
    : main_window(QCoreApplication::arguments(), parent)
{
}

main_window::main_window(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), manager(vorlen::kBoardColumns, vorlen::kBoardRows, 2),
      referee(std::make_unique<MoveThread>())
{
    form.setupForm(this);
    const std::vector<StartupAction> actions = scanStartupOptions(arguments);
    palette = vorlen::paletteNamed(lastValue(actions, StartupAction::Type::Palette).value_or(""))
                  .value_or(vorlen::classicPalette());
    programMoveTime = chosenMoveTime(actions);

    timer = new QTimer(this);
    timer->setSingleShot(false);
    connect(timer, &QTimer::timeout, this, &main_window::nextStep);
    thinkingClock = new QTimer(this);
    connect(thinkingClock, &QTimer::timeout, this, &main_window::showThinking);
    connect(referee.get(), &MoveThread::finished, this, &main_window::afterLiveTurn);
    buildBoardArea();

    live.players = {vorlen::kBuiltInName, vorlen::kBuiltInName};
    seat(0, vorlen::createPlayer(vorlen::kBuiltInPlayer, {}));
    seat(1, vorlen::createPlayer(vorlen::kBuiltInPlayer, {}));
    manager.loadMap({});
    seatPlayers(actions);
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
    tellStory();
    statusBar()->clearMessage();
}

main_window::~main_window()
{
    // A bot in the middle of its move is ended, not waited for; a person's
    // move is called off.
    for (PersonPlayer* person : persons)
        person->cancel();
    if (referee->busy())
        botGroups.killAll();
    referee.reset();
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

void main_window::seatPlayers(const std::vector<StartupAction>& actions)
{
    const bool sandboxed = hasAction(actions, StartupAction::Type::Sandbox);
    botLogDir = lastValue(actions, StartupAction::Type::BotLogs).value_or("");
    // The runner's board in place of the draw; a map is read over it.
    const std::optional<ChosenBoard> chosen = chosenBoard(actions);
    if (chosen) {
        manager.setBoard(chosen->field);
        live.boardSource = chosen->label;
    }
    for (const StartupAction& action : actions) {
        if (action.type == StartupAction::Type::LoadMap) {
            if (chosen)
                manager.readMap(action.value);
            else
                manager.loadMap(action.value);
            live.boardSource = "map:" + action.value + (chosen ? "+" + chosen->label : std::string());
        } else if (action.type == StartupAction::Type::SetPlayer) {
            seat(action.seat, makePlayer(action.seat, action.kind, action.value, sandboxed));
            live.players[static_cast<std::size_t>(action.seat)] =
                action.kind == vorlen::kExternalPlayer ? action.value
                : action.kind == vorlen::kPersonPlayer ? std::string(vorlen::kPersonName)
                                                        : std::string(vorlen::kBuiltInName);
        }
    }
    // A program that cannot run is said before the match, not found out at its first move.
    for (int seat = 0; seat < 2; ++seat) {
        const std::string& command = live.players[static_cast<std::size_t>(seat)];
        if (command == vorlen::kBuiltInName || command == vorlen::kPersonName)
            continue;
        if (const auto problem = vorlen::programProblem(command, std::filesystem::current_path().string())) {
            problems.push_back(std::string(seat == 0 ? "--first" : "--second") + ": " + *problem);
            std::fprintf(stderr, "vorlen: %s\n", problems.back().c_str());
        }
    }
}

void main_window::seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player)
{
    manager.setPlayer(seat, player.get());
    seated.at(static_cast<std::size_t>(seat)) = player.get();
    owned.push_back(std::move(player));
}

std::unique_ptr<vorlen::IVorlenLogic> main_window::makePlayer(int seat, int kind, const std::string& program,
                                                              bool sandboxed)
{
    const auto index = static_cast<std::size_t>(seat);
    if (kind == vorlen::kPersonPlayer) {
        moveLimitMs[index] = firstMoveMs[index] = 0;
        // Asked on the referee's thread; the window offers the colours on its own.
        auto person = std::make_unique<PersonPlayer>(
            [this](std::vector<int> legal) {
                QMetaObject::invokeMethod(this, [this, legal] { personBar->offer(legal); }, Qt::QueuedConnection);
            },
            vorlen::Trace());
        persons.push_back(person.get());
        return person;
    }
    if (kind != vorlen::kExternalPlayer) {
        moveLimitMs[index] = firstMoveMs[index] = 0;
        live.moveLimitsMs[index] = static_cast<int>(vorlen::kMoveTimeLimit.count());
        return vorlen::createPlayer(kind, program);
    }
    vorlen::BotSettings settings;
    settings.groups = &botGroups;
    // Plain, the working directory is the exchange directory; in a box, the
    // box's seat folder.
    if (sandboxed)
        settings.sandbox = vorlen::findSandbox();
    std::string dir = botLogDir;
    if (dir.empty()) {
        if (!logDir)
            logDir.emplace();
        dir = QFile::encodeName(logDir->path()).toStdString();
    }
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    settings.stderrPath = dir + "/seat-" + std::to_string(seat) + "-" + playerName(program) + ".log";
    logTails[index] = LogTail(settings.stderrPath);
    settings.moveLimit = programMoveTime;
    const bool unlimited = programMoveTime == vorlen::kNoTimeLimit;
    moveLimitMs[index] = unlimited ? -1 : std::chrono::duration<double, std::milli>(programMoveTime).count();
    live.moveLimitsMs[index] = unlimited ? 0 : static_cast<int>(programMoveTime.count());
    const bool stream = vorlen::programOf(program) != program;
    firstMoveMs[index] = stream ? std::chrono::duration<double, std::milli>(settings.startupLimit).count() : 0;
    return vorlen::createProgramPlayer(program, settings);
}

void main_window::buildDocks(const std::vector<StartupAction>& actions)
{
    players = new PlayersPanel(palette, this);
    addDockWidget(Qt::RightDockWidgetArea, players);
    moves = new MoveList(palette, this);
    addDockWidget(Qt::RightDockWidgetArea, moves);
    connect(moves, &MoveList::turnChosen, this, [this](int shown) {
        if (viewing())
            showTurn(shown);
    });
    chart = new ScoreChart(this);
    addDockWidget(Qt::RightDockWidgetArea, chart);
    tabifyDockWidget(moves, chart);
    moves->raise();
    chart->setVisible(hasAction(actions, StartupAction::Type::Chart));
    connect(chart, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            tellStory();
    });
    // The panels on the right run the window's whole height; the logs lie
    // under the board only: the window still fits a small screen.
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    logs = new BotLogPanel(this);
    addDockWidget(Qt::BottomDockWidgetArea, logs);
    // Where bot writers debug: shown when a program plays.
    const auto program = [](const std::string& player) {
        return player != vorlen::kBuiltInName && player != vorlen::kPersonName;
    };
    logs->setVisible(program(live.players[0]) || program(live.players[1]));
    // A few lines of it: the board keeps the room.
    resizeDocks({logs}, {logs->fontMetrics().height() * 8}, Qt::Vertical);

    personBar = new PersonBar(palette, this);
    addToolBar(Qt::TopToolBarArea, personBar);
    connect(personBar, &PersonBar::chosen, this, [this](int colour) {
        for (PersonPlayer* person : persons)
            if (person->waiting() && person->choose(colour)) {
                personBar->withdraw();
                return;
            }
    });

    replayBar = new ReplayBar(this);
    addToolBar(Qt::BottomToolBarArea, replayBar);
    replayBar->hide();
    connect(replayBar, &ReplayBar::turnChosen, this, &main_window::showTurn);
}

void main_window::buildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(QString::fromUtf8("Save replay\u2026"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, "Save replay", {}, "Replays (*.json)");
        std::string error;
        if (!path.isEmpty() && !saveReplay(QFile::encodeName(path).toStdString(), error))
            QMessageBox::warning(this, "Save replay", QString::fromLocal8Bit(error));
    });
    file->addAction(QString::fromUtf8("Open replay\u2026"), this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, "Open replay", {}, "Replays (*.json);;All files (*)");
        std::string error;
        if (!path.isEmpty() && !openReplay(QFile::encodeName(path).toStdString(), error))
            QMessageBox::warning(this, "Open replay", path + ": " + QString::fromLocal8Bit(error));
    });
    playFromHere = file->addAction("Play from here", this, [this] {
        std::string problem;
        const vorlen::Replay shown = viewed;
        if (!playFrom(shown, shownTurns(), problem))
            QMessageBox::warning(this, "Play from here", QString::fromLocal8Bit(problem));
    });
    playFromHere->setEnabled(false);
    file->addSeparator();
    file->addAction("Quit", QKeySequence::Quit, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu("&View");
    for (QDockWidget* dock : std::initializer_list<QDockWidget*>{players, moves, logs, chart})
        view->addAction(dock->toggleViewAction());
    chart->toggleViewAction()->setText("Score chart");
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
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, action);
        if (replayKeys.size() >= 2)
            shortcut->setEnabled(false);
        replayKeys.push_back(shortcut);
    }
}
