#include "main_window.h"

#include "PlayerFactory.h"
#include "Sandbox.h"
#include "StartupOptions.h"
#include "VorlenLogicTeam01.h"
#include "VorlenGuiQtImpl.h"
#include "VorlenWidget.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

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

    seat(0, vorlen::createPlayer(vorlen::kBuiltInPlayer, {}));
    seat(1, vorlen::createPlayer(vorlen::kBuiltInPlayer, {}));
    manager.loadMap({});

    const std::vector<StartupAction> actions = scanStartupOptions(arguments);
    const bool sandboxed = std::any_of(actions.begin(), actions.end(), [](const StartupAction& action) {
        return action.type == StartupAction::Type::Sandbox;
    });
    for (const StartupAction& action : actions) {
        if (action.type == StartupAction::Type::LoadMap)
            manager.loadMap(action.value);
        else if (action.type == StartupAction::Type::SetPlayer)
            seat(action.seat, makePlayer(action.kind, action.value, sandboxed));
    }

    std::unique_ptr<vorlen::IVorlenGui> display = vorlen::createGui();
    gui.reset(dynamic_cast<vorlen::VorlenGuiQtImpl*>(display.get()));
    if (gui) {
        display.release();
        gui->init(boardWidget);
    }
    boardWidget->gui = gui.get();
    manager.setGui(gui.get());

    form.centralwidget->setLayout(grid);
}

main_window::~main_window()
{
    // The widgets outlive this body; they must not paint through a gone display.
    boardWidget->gui = nullptr;
}

void main_window::seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player)
{
    manager.setPlayer(seat, player.get());
    players.push_back(std::move(player));
}

std::unique_ptr<vorlen::IVorlenLogic> main_window::makePlayer(int kind, const std::string& program,
                                                              bool sandboxed)
{
    if (kind != vorlen::kExternalPlayer)
        return vorlen::createPlayer(kind, program);
    vorlen::VorlenLogicTeam01::Settings settings;
    settings.groups = &botGroups;
    // The working directory stays the exchange directory, and the bot's one
    // writable place.
    if (sandboxed)
        settings.sandbox = vorlen::SandboxPlan{vorlen::findBubblewrap(), {}, {}};
    return std::make_unique<vorlen::VorlenLogicTeam01>(program, settings);
}

void main_window::nextStep()
{
    // No paint may run while the turn holds the display's lock.
    boardWidget->setUpdatesEnabled(false);
    manager.makeTurn(turnCounter++);
    boardWidget->setUpdatesEnabled(true);
    boardWidget->repaint();
    if (manager.gameOver())
        timer->stop();
}

void main_window::Stop() { timer->stop(); }

void main_window::Start() { timer->start(kTurnPeriodMs); }
