#pragma once

#include "Replay.h"

#include <QDockWidget>

class QPlainTextEdit;

// What the bots wrote on their standard error, turn by turn: as they write
// it in a live match, up to the turn on show in a replay.
class BotLogPanel : public QDockWidget {
public:
    explicit BotLogPanel(QWidget* parent = nullptr);

    // The logs of the first `shown` turns: only the new ones when the turns
    // already shown are the first of these.
    void showTurns(const vorlen::Replay& replay, int shown);
    // Forgets what is shown, for another match or replay.
    void clear();
    QString text() const;

private:
    void append(const vorlen::Replay& replay, std::size_t index);

    QPlainTextEdit* view = nullptr;
    const vorlen::Replay* shownReplay = nullptr;
    int shownTurns = 0;
};
