#include "BotLogPanel.h"

#include "MatchStory.h"

#include <QPlainTextEdit>
#include <QScrollBar>

BotLogPanel::BotLogPanel(QWidget* parent) : QDockWidget("Bot logs", parent)
{
    setObjectName("botLogs");
    view = new QPlainTextEdit;
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFont("monospace"));
    // A chatty bot must not make the window slow: old lines go.
    view->setMaximumBlockCount(5000);
    // Two lines at the least: the window, with a match's review bar and its
    // result, still fits a small laptop's screen.
    view->setMinimumHeight(view->fontMetrics().height() * 2 + 2 * view->frameWidth() + 4);
    setWidget(view);
}

void BotLogPanel::showTurns(const vorlen::Replay& replay, int shown)
{
    shown = std::clamp(shown, 0, static_cast<int>(replay.turns.size()));
    if (shownReplay != &replay || shown < shownTurns) {
        clear();
        shownReplay = &replay;
    }
    for (; shownTurns < shown; ++shownTurns)
        append(replay, static_cast<std::size_t>(shownTurns));
}

void BotLogPanel::append(const vorlen::Replay& replay, std::size_t index)
{
    const vorlen::ReplayTurn& turn = replay.turns[index];
    const std::string log = vorlen::logWithSeatFiles(turn);
    if (log.empty())
        return;
    const std::string who = vorlen::seatName(replay, turn.seat);
    QString text = QString::fromLocal8Bit(log);
    if (text.endsWith('\n'))
        text.chop(1);
    view->appendPlainText(QString("turn %1, %2:").arg(index).arg(QString::fromLocal8Bit(who)));
    view->appendPlainText(text);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
}

void BotLogPanel::clear()
{
    view->clear();
    shownReplay = nullptr;
    shownTurns = 0;
}

QString BotLogPanel::text() const { return view->toPlainText(); }
