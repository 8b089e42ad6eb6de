#include "PersonBar.h"

#include "Swatch.h"

#include <QLabel>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>

PersonBar::PersonBar(const vorlen::Palette& palette, QWidget* parent) : QToolBar("Your move", parent)
{
    setObjectName("personBar");
    setMovable(false);
    addWidget(new QLabel("Your move: "));
    for (int colour = 1; colour <= vorlen::kColourCount; ++colour) {
        auto* button = new QToolButton;
        button->setIcon(QIcon(swatch(palette, colour, 20)));
        button->setText(QString::number(colour));
        names[static_cast<std::size_t>(colour - 1)] = QString::fromUtf8(palette.nameOf(colour));
        button->setToolTip(QString("colour %1, %2 (key %1)").arg(colour).arg(palette.nameOf(colour)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        connect(button, &QToolButton::clicked, this, [this, colour] { emit chosen(colour); });
        addWidget(button);
        buttons[static_cast<std::size_t>(colour - 1)] = button;
        // The keys work wherever the focus is in the window.
        auto* key = new QShortcut(QKeySequence(Qt::Key_0 + colour), parent);
        connect(key, &QShortcut::activated, this, [this, colour] {
            if (offers(colour))
                emit chosen(colour);
        });
    }
    hide();
}

void PersonBar::offer(const std::vector<int>& legal, const std::array<int, vorlen::kColourCount>& gains)
{
    for (int colour = 1; colour <= vorlen::kColourCount; ++colour) {
        const auto index = static_cast<std::size_t>(colour - 1);
        const bool offered = std::find(legal.begin(), legal.end(), colour) != legal.end();
        buttons[index]->setEnabled(offered);
        buttons[index]->setToolTip(offered ? QString("colour %1, %2: +%3 cells (key %1)")
                                                 .arg(colour)
                                                 .arg(names[index])
                                                 .arg(gains[index])
                                           : QString("colour %1, %2: not yours to play").arg(colour).arg(names[index]));
    }
    show();
}

void PersonBar::withdraw() { hide(); }

bool PersonBar::offers(int colour) const
{
    return !isHidden() && vorlen::isColour(colour)
           && buttons[static_cast<std::size_t>(colour - 1)]->isEnabled();
}
