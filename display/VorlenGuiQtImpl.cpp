#include "VorlenGuiQtImpl.h"

#include "VorlenWidget.h"

#include <QLabel>
#include <QPainter>
#include <QThread>

#include <mutex>

namespace vorlen {

void VorlenGuiQtImpl::init(VorlenWidget* shownOn)
{
    widget = shownOn;
    colours.insert({1, QColor(Qt::red)});
    colours.insert({2, QColor(Qt::green)});
    colours.insert({3, QColor(Qt::blue)});
    colours.insert({4, QColor(Qt::yellow)});
    colours.insert({5, QColor(0, 0, 255, 127)});
    colours.insert({6, QColor(255, 0, 0, 127)});
}

void VorlenGuiQtImpl::setPalette(const Palette& palette)
{
    for (int colour = 1; colour <= kColourCount; ++colour) {
        const Rgb& rgb = palette.of(colour);
        colours[colour] = QColor(rgb.red, rgb.green, rgb.blue);
    }
}

void VorlenGuiQtImpl::lock()
{
    mutex.lock();
    onLocked();
}

void VorlenGuiQtImpl::unlock() { mutex.unlock(); }

void VorlenGuiQtImpl::setField(const Field* board) { field = board; }

void VorlenGuiQtImpl::setScore(int team, int score)
{
    QLabel* label = widget->labels[team];
    const QString text = QString("team: %1 score: %2").arg(team).arg(score);
    if (QThread::currentThread() == label->thread())
        label->setText(text);
    else
        QMetaObject::invokeMethod(label, [label, text] { label->setText(text); }, Qt::QueuedConnection);
}

void VorlenGuiQtImpl::draw()
{
    // A turn holds the lock while its player thinks: the board as last
    // painted stands in for it until the turn is over.
    const std::unique_lock<QMutex> hold(mutex, std::try_to_lock);
    if (!hold.owns_lock()) {
        if (!lastPainted.isNull())
            widget->showPixmap(lastPainted);
        return;
    }
    if (!field)
        return;
    // Nothing is cached between turns: every paint renders the live board afresh.
    QFieldPainter painter(field, widget->cellPixels());
    painter.paint(colours);
    lastPainted = painter.pixmap;
    widget->showPixmap(lastPainted);
}

std::unique_ptr<IVorlenGui> createGui() { return std::make_unique<VorlenGuiQtImpl>(); }

} // namespace vorlen
