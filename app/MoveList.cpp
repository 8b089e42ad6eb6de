#include "MoveList.h"

#include "MatchStory.h"
#include "Rules.h"
#include "Swatch.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

MoveList::MoveList(const vorlen::Palette& colours, QWidget* parent)
    : QDockWidget("Moves", parent), palette(colours)
{
    setObjectName("moveList");
    table = new QTableWidget(0, 5);
    table->setHorizontalHeaderLabels({"turn", "player", "colour", "gained", "time"});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    // Widths fixed once: fitting them to the contents at every new row
    // would cost a pass over every row.
    const QFontMetrics metrics = table->fontMetrics();
    const int widths[] = {metrics.horizontalAdvance("0000"), metrics.horizontalAdvance("a name"),
                          metrics.horizontalAdvance("MM 00"), metrics.horizontalAdvance("gained"), 0};
    for (int column = 0; column < 4; ++column)
        table->setColumnWidth(column, widths[column] + 12);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    connect(table, &QTableWidget::cellClicked, this, [this](int row, int) { emit turnChosen(row + 1); });
    setWidget(table);
}

void MoveList::clear() { table->setRowCount(0); }

void MoveList::showTurns(const vorlen::Replay& replay)
{
    if (static_cast<std::size_t>(table->rowCount()) > replay.turns.size())
        clear();
    // The newest row stays in view, unless the reader scrolled up to look back.
    const QScrollBar* bar = table->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    const int before = table->rowCount();
    for (std::size_t i = static_cast<std::size_t>(table->rowCount()); i < replay.turns.size(); ++i)
        addRow(replay, i);
    if (following && table->rowCount() > before)
        table->scrollToBottom();
}

void MoveList::addRow(const vorlen::Replay& replay, std::size_t index)
{
    const vorlen::ReplayTurn& turn = replay.turns[index];
    const auto scoreOf = [&](std::size_t i) {
        const vorlen::ScorePair& score = replay.turns[i].score;
        return turn.seat == 0 ? score.first : score.second;
    };
    const vorlen::ScorePair start = index == 0 ? vorlen::computeScore(replay.board) : vorlen::ScorePair{};
    const int before = index > 0 ? scoreOf(index - 1) : turn.seat == 0 ? start.first : start.second;
    const int row = table->rowCount();
    table->insertRow(row);
    const auto put = [&](int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        table->setItem(row, column, item);
        return item;
    };
    put(0, QString::number(index));
    put(1, QString::fromLocal8Bit(vorlen::seatName(replay, turn.seat)));
    if (!turn.answer) {
        put(2, "out");
    } else {
        QTableWidgetItem* colour = put(2, QString::number(*turn.answer));
        if (vorlen::isColour(*turn.answer))
            colour->setIcon(swatch(palette, *turn.answer));
        else if (vorlen::namedANumber(turn))
            colour->setText(QString("%1 (not a colour)").arg(*turn.answer));
        else
            colour->setText("none");
    }
    put(3, turn.answer ? QString("%1").arg(scoreOf(index) - before) : QString());
    put(4, turn.answer ? QString::fromLocal8Bit(durationText(turn.milliseconds)) : QString());
}

void MoveList::markTurn(int shown)
{
    const QSignalBlocker quiet(table);
    if (shown <= 0 || shown > table->rowCount()) {
        table->clearSelection();
        return;
    }
    table->selectRow(shown - 1);
    table->scrollToItem(table->item(shown - 1, 0));
}

int MoveList::rows() const { return table->rowCount(); }

QString MoveList::cellText(int row, int column) const
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}
