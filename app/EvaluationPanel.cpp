#include "EvaluationPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

// Seat 0's share of the board as the search sees it, in its colour, the
// rest in seat 1's.
class EvaluationBar : public QWidget {
public:
    explicit EvaluationBar(QWidget* parent) : QWidget(parent) { setMinimumHeight(18); }
    void setColours(const std::array<QColor, 2>& seats)
    {
        colours = seats;
        update();
    }
    void setShare(double first)
    {
        share = first;
        update();
    }
    double firstShare() const { return share; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const int split = static_cast<int>(std::lround(width() * share));
        painter.fillRect(0, 0, split, height(), colours[0]);
        painter.fillRect(split, 0, width() - split, height(), colours[1]);
        painter.setPen(palette().windowText().color());
        painter.drawLine(width() / 2, 0, width() / 2, height());
    }

private:
    std::array<QColor, 2> colours{Qt::darkGray, Qt::lightGray};
    double share = 0.5;
};


EvaluationPanel::EvaluationPanel(QWidget* parent) : QDockWidget("Evaluation", parent)
{
    setObjectName("evaluation");
    auto* box = new QWidget(this);
    levels = new QComboBox(box);
    levels->setObjectName("evaluationLevel");
    for (int level = 1; level <= vorlen::kSearchSeatLevels; ++level)
        levels->addItem(QString("search:%1").arg(level), level);
    levels->setCurrentIndex(2);
    words = new QLabel("nothing on show", box);
    words->setObjectName("evaluationWords");
    words->setWordWrap(true);
    bar = new EvaluationBar(box);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(levels);
    layout->addWidget(bar);
    layout->addWidget(words);
    layout->addStretch(1);
    setWidget(box);
    connect(levels, &QComboBox::currentIndexChanged, this, [this] { ask(); });
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            ask();
    });
    worker = new QObject;
    worker->moveToThread(&searcher);
    connect(&searcher, &QThread::finished, worker, &QObject::deleteLater);
    searcher.start();
}

EvaluationPanel::~EvaluationPanel()
{
    // Any search under way ends first (a search is short); what it posts
    // here is dropped with this object.
    newest->fetch_add(1);
    searcher.quit();
    searcher.wait();
}

void EvaluationPanel::setSeats(const std::array<std::string, 2>& seatNames, const std::array<QColor, 2>& colours)
{
    names = seatNames;
    bar->setColours(colours);
}

int EvaluationPanel::level() const { return levels->currentData().toInt(); }

void EvaluationPanel::setLevel(int level) { levels->setCurrentIndex(std::clamp(level, 1, vorlen::kSearchSeatLevels) - 1); }

QString EvaluationPanel::verdict() const { return words->text(); }

double EvaluationPanel::firstSeatShare() const { return bar->firstShare(); }

void EvaluationPanel::showPosition(const vorlen::Field& shown, int seat)
{
    if (!vorlen::BitBoard::fits(shown)) {
        board.reset();
        words->setText("a board of another size: no evaluation");
        return;
    }
    board.emplace(shown);
    seatToMove = seat;
    ask();
}

void EvaluationPanel::ask()
{
    if (!board || isHidden())
        return;
    const int generation = newest->fetch_add(1) + 1;
    words->setText(QString("search:%1 is looking\u2026").arg(level()));
    QMetaObject::invokeMethod(
        worker,
        [this, generation, latest = newest, position = *board, seat = seatToMove, depth = level()] {
            if (latest->load() != generation)
                return; // a newer position is on show
            const vorlen::Assessment seen = vorlen::assess(position, seat, depth);
            QMetaObject::invokeMethod(this, [this, generation, seen] { take(generation, seen); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void EvaluationPanel::take(int generation, vorlen::Assessment seen)
{
    if (generation != newest->load())
        return;
    const std::string mover = names[static_cast<std::size_t>(seatToMove)];
    words->setText(QString::fromLocal8Bit(mover + " to move: " + vorlen::assessmentText(seen)));
    bar->setShare(vorlen::firstSeatShare(seen, seatToMove));
}
