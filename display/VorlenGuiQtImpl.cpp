#include "VorlenGuiQtImpl.h"

#include "VorlenWidget.h"

#include <QLabel>
#include <QMutexLocker>

namespace vorlen {

void VorlenGuiQtImpl::init(VorlenWidget* widget)
{
    this->widget = widget;
    colours.insert({1, QColor(Qt::red)});
    colours.insert({2, QColor(Qt::green)});
    colours.insert({3, QColor(Qt::blue)});
    colours.insert({4, QColor(Qt::yellow)});
    colours.insert({5, QColor(0, 0, 255, 127)});
    colours.insert({6, QColor(255, 0, 0, 127)});
}

void VorlenGuiQtImpl::lock()
{
    mutex.lock();
    onLocked();
}

void VorlenGuiQtImpl::unlock() { mutex.unlock(); }

void VorlenGuiQtImpl::setField(const Field* field) { this->field = field; }

void VorlenGuiQtImpl::setScore(int team, int score)
{
    widget->labels[team]->setText(QString("team: %1 score: %2").arg(team).arg(score));
}

void VorlenGuiQtImpl::draw()
{
    const QMutexLocker locker(&mutex);
    if (!field)
        return;
    // Nothing is cached: every paint renders the live board afresh.
    const auto painter = std::make_unique<QFieldPainter>(field);
    painter->paint(colours);
    widget->showPixmap(painter->pixmap);
}

std::unique_ptr<IVorlenGui> createGui() { return std::make_unique<VorlenGuiQtImpl>(); }

} // namespace vorlen
