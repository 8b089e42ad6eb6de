#include "main_window.h"

#include "MatchStory.h"
#include "PlayerFactory.h"
#include "ReplayFile.h"
#include "ReplayPlayback.h"
#include "RetirementText.h"
#include "Sandbox.h"
#include "ScoreChart.h"
#include "StartupOptions.h"
#include "VorlenLogicTeam01.h"
#include "VorlenGuiQtImpl.h"
#include "VorlenWidget.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <cstdio>

main_window::main_window(QWidget* parent)
    : main_window(QCoreApplication::arguments(), parent)
{
}

main_window::main_window(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), manager(vorlen::kBoardColumns, vorlen::kBoardRows, 2)
{
    form.setupForm(this);

    auto* first = new QLabel("One");
    auto* second = new QLabel("Two");
    auto* start = new QPushButton("start");
    auto* stop = new QPushButton("stop");
    auto* step = new QPushButton("step");

    timer = new QTimer(this);
    timer->setSingleShot(false);
    connect(timer, &QTimer::timeout, this, &main_window::nextStep);

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

    live.players = {vorlen::kBuiltInName, vorlen::kBuiltInName};
    seat(0, vorlen::createPlayer(vorlen::kBuiltInPlayer, {}));
    seat(1, vorlen::createPlayer(vorlen::kBuiltInPlayer, {}));
    manager.loadMap({});

    const std::vector<StartupAction> actions = scanStartupOptions(arguments);
    const bool sandboxed = hasAction(actions, StartupAction::Type::Sandbox);
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
            seat(action.seat, makePlayer(action.kind, action.value, sandboxed));
            live.players[static_cast<std::size_t>(action.seat)] =
                action.kind == vorlen::kExternalPlayer ? action.value : vorlen::kBuiltInName;
        }
    }
    saveReplayPath = lastValue(actions, StartupAction::Type::SaveReplay).value_or("");

    std::unique_ptr<vorlen::IVorlenGui> display = vorlen::createGui();
    gui.reset(dynamic_cast<vorlen::VorlenGuiQtImpl*>(display.get()));
    if (gui) {
        display.release();
        gui->init(boardWidget);
    }
    boardWidget->gui = gui.get();
    manager.setGui(gui.get());

    form.centralwidget->setLayout(grid);

    chart = new ScoreChart(this);
    addDockWidget(Qt::RightDockWidgetArea, chart);
    chart->setVisible(hasAction(actions, StartupAction::Type::Chart));
    connect(chart, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            tellStory();
    });
    buildMenus();
    buildReplayBar();
    setWindowTitle(QString::fromStdString(matchTitle(live.players)));
}

main_window::~main_window()
{
    // The widgets outlive this body; they must not paint through a gone display.
    boardWidget->gui = nullptr;
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
    file->addSeparator();
    file->addAction("Quit", QKeySequence::Quit, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu("&View");
    chartAction = chart->toggleViewAction();
    chartAction->setText("Score chart");
    view->addAction(chartAction);
}

void main_window::buildReplayBar()
{
    replayBar = new QToolBar("Replay", this);
    replayBar->setObjectName("replayBar");
    replayBar->setMovable(false);
    backButton = new QPushButton("back");
    turnSlider = new QSlider(Qt::Horizontal);
    turnSlider->setObjectName("turnSlider");
    turnSlider->setPageStep(10);
    replayBar->addWidget(backButton);
    replayBar->addWidget(turnSlider);
    addToolBar(Qt::BottomToolBarArea, replayBar);
    replayBar->hide();
    connect(backButton, &QPushButton::clicked, this, [this] { showTurn(shownTurns() - 1); });
    connect(turnSlider, &QSlider::valueChanged, this, &main_window::showTurn);

    const std::pair<Qt::Key, std::function<int()>> keys[] = {
        {Qt::Key_Right, [this] { return shownTurns() + 1; }},
        {Qt::Key_Left, [this] { return shownTurns() - 1; }},
        {Qt::Key_Home, [] { return 0; }},
        {Qt::Key_End, [this] { return playback ? playback->length() : 0; }},
    };
    for (const auto& [key, target] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setEnabled(false);
        connect(shortcut, &QShortcut::activated, this, [this, turn = target] { showTurn(turn()); });
        replayKeys.push_back(shortcut);
    }
}

void main_window::seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player)
{
    manager.setPlayer(seat, player.get());
    seated.at(static_cast<std::size_t>(seat)) = player.get();
    players.push_back(std::move(player));
}

std::unique_ptr<vorlen::IVorlenLogic> main_window::makePlayer(int kind, const std::string& program,
                                                              bool sandboxed)
{
    if (kind != vorlen::kExternalPlayer)
        return vorlen::createPlayer(kind, program);
    vorlen::BotSettings settings;
    settings.groups = &botGroups;
    // Plain, the working directory is the exchange directory; in a box, the
    // box's seat folder.
    if (sandboxed)
        settings.sandbox = vorlen::findSandbox();
    return vorlen::createProgramPlayer(program, settings);
}

void main_window::nextStep()
{
    if (viewing()) {
        showTurn(shownTurns() + 1);
        if (shownTurns() >= playback->length())
            timer->stop();
        return;
    }
    playLiveTurn();
    if (manager.gameOver())
        timer->stop();
}

void main_window::playLiveTurn()
{
    // Turns after the end change nothing and are not part of the match.
    const bool recorded = !manager.gameOver();
    if (turnCounter == 0)
        live.board = manager.board();
    // No paint may run while the turn holds the display's lock.
    boardWidget->setUpdatesEnabled(false);
    manager.makeTurn(turnCounter++);
    boardWidget->setUpdatesEnabled(true);
    boardWidget->repaint();
    if (recorded)
        afterLiveTurn();
}

void main_window::afterLiveTurn()
{
    live.turns.push_back(vorlen::recordTurn(manager, [this](int seat) {
        const auto* external = dynamic_cast<const vorlen::ExternalPlayer*>(seated.at(static_cast<std::size_t>(seat)));
        return vorlen::retirementText(manager.retirement(seat), external);
    }));
    live.finished = manager.gameOver();
    liveSaved = false;
    // A program that stays up for the match ends with it.
    if (live.finished)
        for (const auto& player : players)
            if (auto* external = dynamic_cast<vorlen::ExternalPlayer*>(player.get()))
                external->endMatch();
    if (live.finished)
        keepLiveReplay();
    if (!viewing())
        tellStory();
}

void main_window::keepLiveReplay()
{
    if (saveReplayPath.empty() || liveSaved)
        return;
    std::string error;
    if (!vorlen::writeReplayFile(saveReplayPath, live, error))
        std::fprintf(stderr, "vorlen: --save-replay: %s\n", error.c_str());
    liveSaved = true;
}

void main_window::tellStory()
{
    setWindowTitle(QString::fromStdString(matchTitle(replay().players)));
    statusBar()->showMessage(QString::fromStdString(storyLine(replay(), shownTurns())));
    if (chart->isHidden())
        return;
    chart->setPlayers(replay().players);
    chart->showTurns(replay().turns);
    chart->markTurn(viewing() ? shownTurns() : -1);
}

int main_window::shownTurns() const
{
    return viewing() ? playback->position() : static_cast<int>(live.turns.size());
}

void main_window::viewReplay(vorlen::Replay replay)
{
    timer->stop();
    playback.reset();
    viewed = std::move(replay);
    playback = std::make_unique<vorlen::ReplayPlayback>(viewed);
    {
        const QSignalBlocker quiet(turnSlider);
        turnSlider->setRange(0, playback->length());
    }
    replayBar->show();
    for (QShortcut* key : replayKeys)
        key->setEnabled(true);
    chart->show();
    showTurn(0);
}

void main_window::showTurn(int shown)
{
    if (!viewing())
        return;
    playback->seek(shown);
    const vorlen::ScorePair score = playback->score();
    if (gui) {
        // The playback's board moves when it starts over: the display is told each time.
        gui->lock();
        gui->setField(&playback->board());
        gui->setScore(0, score.first);
        gui->setScore(1, score.second);
        gui->unlock();
    }
    boardWidget->repaint();
    {
        const QSignalBlocker quiet(turnSlider);
        turnSlider->setValue(playback->position());
    }
    backButton->setEnabled(playback->position() > 0);
    tellStory();
}

bool main_window::saveReplay(const std::string& path, std::string& error) const
{
    return vorlen::writeReplayFile(path, replay(), error);
}

bool main_window::openReplay(const std::string& path, std::string& error)
{
    vorlen::Replay read;
    if (!vorlen::readReplayFile(path, read, error))
        return false;
    viewReplay(std::move(read));
    return true;
}

void main_window::Stop() { timer->stop(); }

void main_window::Start() { timer->start(kTurnPeriodMs); }

void main_window::closeEvent(QCloseEvent* event)
{
    keepLiveReplay();
    QMainWindow::closeEvent(event);
}
