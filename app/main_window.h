#pragma once

#include "BotGroups.h"
#include "IVorlenLogic.h"
#include "MainWindowForm.h"
#include "Replay.h"
#include "VorlenManager.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QPushButton;
class QShortcut;
class QSlider;
class QTimer;
class QToolBar;
class ScoreChart;
class VorlenWidget;
namespace vorlen {
class ReplayPlayback;
class VorlenGuiQtImpl;
}

// The window of one match: board, score labels, "start" / "stop" / "step",
// and the clock that plays a turn every 100 ms while it runs. It can show a
// replay instead: the same board and buttons step through its turns.
class main_window : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kTurnPeriodMs = 100;

    // Reads its options from the application's arguments.
    explicit main_window(QWidget* parent = nullptr);
    main_window(const QStringList& arguments, QWidget* parent);
    ~main_window() override;

    int heightForWidth(int width) const override { return width; }

    const vorlen::VorlenManager& match() const { return manager; }
    const QTimer* clock() const { return timer; }
    VorlenWidget* board() const { return boardWidget; }
    ScoreChart* scoreChart() const { return chart; }
    // The bots of this window, for ending them when the process is told to stop.
    vorlen::BotGroups& bots() { return botGroups; }

    // Shows a checked replay in place of the live match, at its start.
    void viewReplay(vorlen::Replay replay);
    bool viewing() const { return playback != nullptr; }
    // The turns shown: of the replay in view, or played in the live match.
    int shownTurns() const;
    void showTurn(int shown);
    // The replay in view, or the live match's so far.
    const vorlen::Replay& replay() const { return viewing() ? viewed : live; }
    // False, with the reason, when the file cannot be written or read.
    bool saveReplay(const std::string& path, std::string& error) const;
    bool openReplay(const std::string& path, std::string& error);

public slots:
    void nextStep();
    void Stop();
    void Start();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player);
    std::unique_ptr<vorlen::IVorlenLogic> makePlayer(int kind, const std::string& program,
                                                     bool sandboxed);
    void buildMenus();
    void buildReplayBar();
    void playLiveTurn();
    void afterLiveTurn();
    void keepLiveReplay();
    void tellStory();

    vorlen::BotGroups botGroups;
    vorlen::VorlenManager manager;
    QTimer* timer = nullptr;
    int turnCounter = 0;
    MainWindowForm form;
    std::unique_ptr<vorlen::VorlenGuiQtImpl> gui;
    VorlenWidget* boardWidget = nullptr;
    // Players stay alive until the window goes, displaced ones included.
    std::vector<std::unique_ptr<vorlen::IVorlenLogic>> players;
    std::array<vorlen::IVorlenLogic*, 2> seated{};

    vorlen::Replay live;          // the live match as it goes
    std::string saveReplayPath;   // where the live match's replay is kept; empty: nowhere
    bool liveSaved = true;

    vorlen::Replay viewed;
    std::unique_ptr<vorlen::ReplayPlayback> playback; // over `viewed`, while one is in view

    ScoreChart* chart = nullptr;
    QAction* chartAction = nullptr;
    QToolBar* replayBar = nullptr;
    QPushButton* backButton = nullptr;
    QSlider* turnSlider = nullptr;
    std::vector<QShortcut*> replayKeys;
};
