// What is on show: a replay's turns, or the live match's so far, told by
// every part of the window.
#include "main_window.h"

#include "BotLogPanel.h"
#include "EvaluationPanel.h"
#include "SeatColours.h"
#include "MatchPage.h"
#include "MatchStory.h"
#include "MoveList.h"
#include "PlayersPanel.h"
#include "ReplayBar.h"
#include "ReplayFile.h"
#include "ReplayMarks.h"
#include "BoardText.h"
#include "Files.h"
#include "MovePosition.h"
#include "ReplayPosition.h"
#include "ReplayPlayback.h"
#include "ScoreChart.h"
#include "Swatch.h"
#include "VorlenGuiQtImpl.h"
#include "VorlenWidget.h"

#include <QAction>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

// The move a bar at `shown` turns stands on: the last one played.
int moveOnShow(int shown) { return std::max(0, shown - 1); }

} // namespace

int main_window::shownTurns() const
{
    return viewing() ? playback->position() : static_cast<int>(liveMatch->record().turns.size());
}

const vorlen::Field& main_window::shownBoard() const { return viewing() ? playback->board() : manager.board(); }

void main_window::viewReplay(vorlen::Replay replay)
{
    timer->stop();
    playback.reset();
    reviewing = false;
    viewed = std::move(replay);
    playback = std::make_unique<vorlen::ReplayPlayback>(viewed);
    replayControls.bar->setLength(playback->length());
    replayControls.bar->show();
    for (QShortcut* key : replayControls.keys)
        key->setEnabled(true);
    docks.chart->show();
    docks.chart->raise();
    // Playing on needs a live match that has not begun.
    replayControls.playFromHere->setEnabled(turnCounter == 0);
    docks.moves->clear();
    docks.logs->clear();
    // A replay with something in its logs shows them.
    for (const vorlen::ReplayTurn& turn : viewed.turns)
        if (!turn.log.empty()) {
            docks.logs->show();
            break;
        }
    // A failed match opens at its first failed move, whose log tells why.
    showTurn(vorlen::firstFailurePosition(viewed).value_or(0));
}

void main_window::goToRetirement(bool forward)
{
    if (const auto position = vorlen::retirementPosition(replay(), shownTurns(), forward))
        showTurn(*position);
}

void main_window::showTurn(int shown)
{
    if (!viewing())
        return;
    playback->seek(shown);
    // While a live turn runs the display is the referee's; the turn's end shows this again.
    if (gui && !moving()) {
        const vorlen::ScorePair score = playback->score();
        // The playback's board moves when it starts over: the display is told each time.
        gui->lock();
        gui->setField(&playback->board());
        gui->setScore(0, score.first);
        gui->setScore(1, score.second);
        gui->unlock();
    }
    boardWidget->update();
    replayControls.bar->showPosition(playback->position());
    tellStory();
}

void main_window::tellStory()
{
    const vorlen::Replay& story = replay();
    const int shown = shownTurns();
    setWindowTitle(QString::fromStdString(matchTitle(vorlen::seatNames(story))));
    statusBar()->showMessage(QString::fromStdString(storyLine(story, shown)));
    const int move = moveOnShow(shown);
    const bool moved = move < static_cast<int>(story.turns.size()) && story.turns[static_cast<std::size_t>(move)].answer;
    replayControls.saveSeen->setEnabled(moved);
    if (moved)
        replayControls.saveSeen->setText(
            QString::fromUtf8("Save the board as seat %1 saw it\u2026")
                .arg(story.turns[static_cast<std::size_t>(move)].seat + 1));

    const std::string result = resultText(story, shown);
    banner->setText(QString::fromLocal8Bit(result));
    bannerBar->setVisible(!result.empty());

    // While a live turn runs the board is the referee's: the seats stay as last seen.
    if (viewing() || !moving())
        shownSeats = seatViews(story, shown, shownBoard());
    docks.players->show(shownSeats);
    docks.moves->showTurns(story);
    docks.moves->markTurn(viewing() ? shown : 0);
    docks.logs->showTurns(story, shown);
    if (docks.evaluation->isVisible() && (viewing() || !moving())) {
        docks.evaluation->setSeats({vorlen::playerName(story.players[0]), vorlen::playerName(story.players[1])},
                                   {seatMarkColour(0), seatMarkColour(1)});
        docks.evaluation->showPosition(shownBoard(), shown % 2);
    }
    if (docks.chart->isHidden())
        return;
    // Each seat keeps its own colour in the chart, whatever its region's.
    docks.chart->setPlayers(vorlen::seatNames(story));
    docks.chart->showTurns(story.turns);
    docks.chart->markTurn(viewing() ? shown : -1);
}

QString main_window::resultBanner() const { return bannerBar->isHidden() ? QString() : banner->text(); }

bool main_window::saveReplay(const std::string& path, std::string& error) const
{
    return vorlen::writeReplayFile(path, replay(), error);
}

bool main_window::exportWebPage(const std::string& path, std::string& error) const
{
    vorlen::MatchPageSettings settings;
    // For a page that works alone, the levels' views of every position:
    // those quick to make, and the level the Evaluation panel shows.
    settings.evaluationLevels = {1, 2, 3};
    if (docks.evaluation->level() > 3)
        settings.evaluationLevels.push_back(docks.evaluation->level());
    const vorlen::Replay& shown = replay();
    settings.title = "vorlen match" + (shown.boardSource.empty() ? std::string() : " on " + shown.boardSource);
    settings.palette = palette;
    return vorlen::writeMatchPage(path, shown, settings, error);
}

bool main_window::saveSeenBoard(const std::string& path, std::string& error) const
{
    const int turn = moveOnShow(shownTurns());
    if (turn >= static_cast<int>(replay().turns.size()) || !replay().turns[static_cast<std::size_t>(turn)].answer) {
        error = "no seat moved in the turn on show";
        return false;
    }
    const auto position = vorlen::movePositionIn(replay(), {"the match", turn}, std::nullopt, error);
    return position && vorlen::writeFileAtomically(path, vorlen::buildInput(position->seen), error);
}

bool main_window::openReplay(const std::string& path, std::string& error)
{
    vorlen::Replay read;
    if (!vorlen::readReplayFile(path, read, error))
        return false;
    viewReplay(std::move(read));
    return true;
}
