#include "ReplayBar.h"

#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

// A click on the track jumps to the turn under it, not ten turns on.
class JumpingSliderStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == QStyle::SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton | Qt::MiddleButton;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

ReplayBar::ReplayBar(QWidget* parent) : QToolBar("Replay", parent)
{
    setObjectName("replayBar");
    setMovable(false);
    backButton = new QPushButton("back");
    turnSlider = new QSlider(Qt::Horizontal);
    turnSlider->setObjectName("turnSlider");
    turnSlider->setPageStep(10);
    auto* style = new JumpingSliderStyle;
    style->setParent(turnSlider);
    turnSlider->setStyle(style);
    position = new QLabel;
    position->setObjectName("turnPosition");
    position->setMinimumWidth(position->fontMetrics().horizontalAdvance("turn 0000 / 0000"));
    position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addWidget(backButton);
    addWidget(turnSlider);
    addWidget(position);
    connect(backButton, &QPushButton::clicked, this, [this] { emit turnChosen(turnSlider->value() - 1); });
    connect(turnSlider, &QSlider::valueChanged, this, &ReplayBar::turnChosen);
}

void ReplayBar::setLength(int turns)
{
    const QSignalBlocker quiet(turnSlider);
    turnSlider->setRange(0, turns);
}

void ReplayBar::showPosition(int shown)
{
    {
        const QSignalBlocker quiet(turnSlider);
        turnSlider->setValue(shown);
    }
    backButton->setEnabled(shown > 0);
    // Turns are numbered from 0, as the status bar, the move list and the console number them.
    const QString played = QString("%1 of %2 turns").arg(shown).arg(turnSlider->maximum());
    position->setText(shown == 0 ? "start \u00b7 " + played : QString("turn %1 \u00b7 ").arg(shown - 1) + played);
}

QString ReplayBar::positionText() const { return position->text(); }
