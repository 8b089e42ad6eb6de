#pragma once

#include "BotGroups.h"
#include "IVorlenLogic.h"
#include "MainWindowForm.h"
#include "VorlenManager.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <vector>

class QTimer;
class VorlenWidget;
namespace vorlen {
class VorlenGuiQtImpl;
}

// The window of one match: board, score labels, "start" / "stop" / "step",
// and the clock that plays a turn every 100 ms while it runs.
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
    // The bots of this window, for ending them when the process is told to stop.
    vorlen::BotGroups& bots() { return botGroups; }

public slots:
    void nextStep();
    void Stop();
    void Start();

private:
    void seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player);
    std::unique_ptr<vorlen::IVorlenLogic> makePlayer(int kind, const std::string& program,
                                                     bool sandboxed);

    vorlen::BotGroups botGroups;
    vorlen::VorlenManager manager;
    QTimer* timer = nullptr;
    int turnCounter = 0;
    MainWindowForm form;
    std::unique_ptr<vorlen::VorlenGuiQtImpl> gui;
    VorlenWidget* boardWidget = nullptr;
    // Players stay alive until the window goes, displaced ones included.
    std::vector<std::unique_ptr<vorlen::IVorlenLogic>> players;
};
