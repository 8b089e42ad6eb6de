#include "ScoreChart.h"

#include "SeatColours.h"

#include "MatchStory.h"

#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

ScoreChart::ScoreChart(QWidget* parent) : QDockWidget("Scores", parent)
{
    setObjectName("scoreChart");
    chart = new QChart();
    turnAxis = new QValueAxis();
    turnAxis->setTitleText("turn");
    turnAxis->setLabelFormat("%d");
    turnAxis->setTickType(QValueAxis::TicksDynamic);
    turnAxis->setTickAnchor(0);
    auto* scoreAxis = new QValueAxis();
    scoreAxis->setRange(0, vorlen::kBoardCells);
    scoreAxis->setLabelFormat("%d");
    scoreAxis->setTickType(QValueAxis::TicksDynamic);
    scoreAxis->setTickAnchor(0);
    scoreAxis->setTickInterval(250);
    chart->addAxis(turnAxis, Qt::AlignBottom);
    chart->addAxis(scoreAxis, Qt::AlignLeft);
    const char* names[] = {"first", "second"};
    for (int seat = 0; seat < 2; ++seat) {
        scores[seat] = new QLineSeries();
        scores[seat]->setName(names[seat]);
    }
    marker = new QLineSeries();
    marker->setColor(Qt::gray);
    for (QLineSeries* series : {scores[0], scores[1], marker}) {
        chart->addSeries(series);
        series->attachAxis(turnAxis);
        series->attachAxis(scoreAxis);
    }
    keepSeatColours();
    chart->legend()->markers(marker).first()->setVisible(false);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setShowToolTips(true);
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(360, 240);
    setWidget(view);
    showTurns({});
}

void ScoreChart::showTurns(const std::vector<vorlen::ReplayTurn>& turns)
{
    QList<QPointF> points[2];
    for (std::size_t i = 0; i < turns.size(); ++i) {
        points[0].append(QPointF(static_cast<double>(i), turns[i].score.first));
        points[1].append(QPointF(static_cast<double>(i), turns[i].score.second));
    }
    scores[0]->replace(points[0]);
    scores[1]->replace(points[1]);
    const double last = std::max<double>(1, static_cast<double>(turns.size()) - 1);
    turnAxis->setRange(0, last);
    // Whole turns, a handful of ticks: 1, 2, 5, 10, 20, 50, ... apart.
    double step = 1;
    for (int i = 0; last / step > 6; ++i)
        step *= i % 3 == 1 ? 2.5 : 2;
    turnAxis->setTickInterval(step);
}

void ScoreChart::keepSeatColours()
{
    for (int seat = 0; seat < 2; ++seat) {
        QPen pen(seatMarkColour(seat));
        pen.setWidth(3);
        scores[seat]->setPen(pen);
    }
}

void ScoreChart::setPlayers(const std::array<std::string, 2>& names)
{
    // The chart's theme gives every series a colour of its own once shown.
    keepSeatColours();
    const char* seats[] = {"first", "second"};
    for (int seat = 0; seat < 2; ++seat) {
        // Named as the title, the panels and the banner name the player.
        const QString name = QString::fromLocal8Bit(names[static_cast<std::size_t>(seat)]);
        // The legend shows rich text: the name is shown as it is written.
        scores[seat]->setName(QString("%1 (%2)").arg(seats[seat], name.toHtmlEscaped()));
    }
}

QColor ScoreChart::seatColour(int seat) const { return scores[seat]->pen().color(); }

void ScoreChart::markTurn(int shown)
{
    if (shown <= 0) {
        marker->clear();
        return;
    }
    // The scores after `shown` turns sit at the point of turn shown - 1.
    const double x = shown - 1;
    marker->replace({QPointF(x, 0), QPointF(x, vorlen::kBoardCells)});
}

int ScoreChart::pointCount(int seat) const { return static_cast<int>(scores[seat]->count()); }

QString ScoreChart::seatName(int seat) const { return scores[seat]->name(); }
