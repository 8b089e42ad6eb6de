// The live match: turns played on the referee's thread, one at a time.
#include "main_window.h"

#include "BotLogPanel.h"
#include "TerminalText.h"
#include "MoveList.h"
#include "PersonPlayer.h"
#include "SeatPlayer.h"
#include "PlayersPanel.h"
#include "ReplayPosition.h"
#include "ReplayFile.h"
#include "ReplayBar.h"
#include "ReplayPlayback.h"
#include "ScoreChart.h"
#include "SeatView.h"
#include "VorlenGuiQtImpl.h"
#include "VorlenWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

bool main_window::moving() const { return liveMatch->busy(); }

void main_window::nextStep()
{
    // Reviewing the ended live match, step and the clock still play its
    // empty turns, as they do once a match is over.
    if (viewing() && !reviewing) {
        showTurn(shownTurns() + 1);
        if (shownTurns() >= static_cast<int>(viewed.turns.size()))
            timer->stop();
        return;
    }
    // The clock waits for the turn in progress.
    if (moving())
        return;
    if (!problems.empty()) {
        timer->stop();
        statusBar()->showMessage(QString::fromLocal8Bit("The match cannot be played: " + problems.front()));
        return;
    }
    liveMatch->playTurn(turnCounter++);
    // Most moves are over long before anyone could read "thinking".
    thinkingClock->start(100);
}

void main_window::afterLiveTurn(const LiveTurn& turn)
{
    thinkingClock->stop();
    if (turn.over)
        timer->stop();
    const bool ended = turn.recorded && liveMatch->record().finished;
    if (turn.recorded) {
        liveSaved = false;
        if (ended)
            keepLiveReplay();
    }
    if (viewing()) {
        // The turn pointed the display at the live board: back to the replay's.
        showTurn(shownTurns());
        return;
    }
    if (ended) {
        // The ended match is its own replay at once: back, home, the slider
        // and the move list look into it.
        // The panels stay as the person set them.
        const bool chartShown = docks.chart->isVisible();
        viewReplay(liveMatch->record());
        reviewing = true;
        docks.chart->setVisible(chartShown);
        if (!chartShown)
            docks.moves->raise();
        showTurn(static_cast<int>(viewed.turns.size()));
        sayHints(turn.hints);
        return;
    }
    boardWidget->update();
    tellStory();
    sayHints(turn.hints);
    playOnForAPerson();
}

void main_window::sayHints(const std::vector<std::string>& hints)
{
    QString said = statusBar()->currentMessage();
    for (const std::string& hint : hints)
        said += QString::fromUtf8(" \u00b7 hint: ") + QString::fromLocal8Bit(hint);
    if (!hints.empty())
        statusBar()->showMessage(said);
}

void main_window::showThinking()
{
    if (viewing() || !moving())
        return;
    const int seat = static_cast<int>(liveMatch->record().turns.size() % 2 == 0 ? 0 : 1);
    const double elapsed = std::chrono::duration<double, std::milli>(liveMatch->elapsed()).count();
    // The board is the referee's while the turn runs: the seats as last seen.
    const auto index = static_cast<std::size_t>(seat);
    const bool first = shownSeats[index].moves == 0;
    docks.players->show(shownSeats, elapsed, seating.shownLimitMs(seat, first));
}

void main_window::keepLiveReplay()
{
    if (saveReplayPath.empty() || liveSaved)
        return;
    std::string error;
    if (!vorlen::writeReplayFile(saveReplayPath, liveMatch->record(), error))
        std::fprintf(stderr, "vorlen: --save-replay: %s\n", vorlen::terminalSafe(error).c_str());
    liveSaved = true;
}

bool main_window::playFrom(const vorlen::Replay& replay, int turns, std::string& problem, bool replayPlayers)
{
    if (turnCounter != 0 || moving()) {
        problem = "the live match has begun";
        return false;
    }
    // The viewer already stands there when Play from here is chosen.
    const std::optional<vorlen::MatchPosition> position =
        playback && playback->plays(replay) && playback->position() == turns
            ? vorlen::positionToPlayOn(*playback, turns, problem)
            : vorlen::positionAfter(replay, turns, problem);
    if (!position)
        return false;
    seatToPlayOn(replay, turns, replayPlayers);
    if (!liveMatch->playFrom(replay, turns, *position, problem))
        return false;
    turnCounter = turns;
    liveSaved = false;
    if (gui)
        gui->setField(&manager.board());
    leaveReplay();
    tellStory();
    QTimer::singleShot(0, this, &main_window::playOnForAPerson);
    return true;
}

void main_window::seatToPlayOn(const vorlen::Replay& replay, int turns, bool replayPlayers)
{
    // The match goes on with whoever played it, started as they ran wherever
    // the replay is opened from, unless the options say otherwise.
    const auto kept = [&](int seat) { return seating.given(seat) || !replayPlayers; };
    std::array<std::string, 2> seated;
    for (int seat = 0; seat < 2; ++seat)
        seated.at(static_cast<std::size_t>(seat)) = kept(seat) ? liveMatch->record().players.at(static_cast<std::size_t>(seat))
                                                              : vorlen::seatAsRun(replay, seat);
    // Each seat's bot finds its seat folder as the replay's left it: a seat
    // the options name is seated again for it.
    seating.startWith({vorlen::seatFilesBefore(replay, 0, turns), vorlen::seatFilesBefore(replay, 1, turns)});
    for (int seat = 0; seat < 2; ++seat) {
        if (kept(seat) && !seating.startFiles(seat))
            continue;
        const std::string& other = seated.at(static_cast<std::size_t>(1 - seat));
        seatNamed(seat, seated.at(static_cast<std::size_t>(seat)),
                  vorlen::parseSeatPlayer(other).isProgram() ? other : std::string(),
                  kept(seat) ? (seat == 0 ? "--first" : "--second")
                             : (seat == 0 ? "the replay's first player" : "the replay's second player"));
    }
    seating.startWith({});
}

void main_window::leaveReplay()
{
    timer->stop();
    playback.reset();
    replayControls.bar->hide();
    // Right and Space stay: they work live too.
    for (std::size_t key = 2; key < replayControls.keys.size(); ++key)
        replayControls.keys[key]->setEnabled(false);
    replayControls.playFromHere->setEnabled(false);
    docks.moves->clear();
    docks.logs->clear();
    boardWidget->update();
}

void main_window::Stop() { timer->stop(); }

void main_window::Start()
{
    if (!viewing() && !problems.empty()) {
        nextStep(); // says why
        return;
    }
    // A replay plays at the pace its bar sets; the live match at the clock's.
    const bool replaying = viewing() && !reviewing;
    timer->start(replaying ? static_cast<int>(kTurnPeriodMs / replayControls.bar->speed()) : kTurnPeriodMs);
}

void main_window::closeEvent(QCloseEvent* event)
{
    keepLiveReplay();
    // The bot in the middle of its move goes now; its turn is not part of the match.
    timer->stop();
    thinkingClock->stop();
    for (PersonPlayer* person : personControls.players)
        if (person)
            person->cancel();
    liveMatch->abandonTurn();
    QMainWindow::closeEvent(event);
}
