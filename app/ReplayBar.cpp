#include "ReplayBar.h"

#include <QComboBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

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
    goTo = new QSpinBox;
    goTo->setObjectName("turnBox");
    goTo->setToolTip("go to turn");
    goTo->setPrefix("go to ");
    goTo->setSpecialValueText("go to start");
    goTo->setMinimum(-1);
    // Typed turns are gone to at Enter, not digit by digit.
    goTo->setKeyboardTracking(false);
    pace = new QComboBox;
    pace->setObjectName("speed");
    pace->setToolTip("how fast start plays the replay");
    for (const double speed : {0.25, 0.5, 1.0, 2.0, 4.0, 8.0})
        pace->addItem(QString::fromUtf8("%1\u00d7").arg(speed), speed);
    pace->setCurrentIndex(2);
    addWidget(backButton);
    addWidget(turnSlider);
    addWidget(position);
    addWidget(goTo);
    addWidget(pace);
    connect(pace, &QComboBox::currentIndexChanged, this, [this] { emit speedChosen(speed()); });
    connect(backButton, &QPushButton::clicked, this, [this] { emit turnChosen(turnSlider->value() - 1); });
    connect(turnSlider, &QSlider::valueChanged, this, &ReplayBar::turnChosen);
    // Turn K is on show after K + 1 turns.
    connect(goTo, &QSpinBox::valueChanged, this, [this](int turn) { emit turnChosen(turn + 1); });
}

double ReplayBar::speed() const { return pace->currentData().toDouble(); }

void ReplayBar::setLength(int turns)
{
    const QSignalBlocker quiet(turnSlider);
    turnSlider->setRange(0, turns);
    const QSignalBlocker quietBox(goTo);
    goTo->setMaximum(turns - 1);
}

void ReplayBar::showPosition(int shown)
{
    {
        const QSignalBlocker quiet(turnSlider);
        turnSlider->setValue(shown);
        const QSignalBlocker quietBox(goTo);
        goTo->setValue(shown - 1);
    }
    backButton->setEnabled(shown > 0);
    // Turns are numbered from 0, as the status bar, the move list and the console number them.
    const QString played = QString("%1 of %2 turns").arg(shown).arg(turnSlider->maximum());
    position->setText(shown == 0 ? "start \u00b7 " + played : QString("turn %1 \u00b7 ").arg(shown - 1) + played);
}

QString ReplayBar::positionText() const { return position->text(); }
