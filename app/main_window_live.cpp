// The live match: turns played on the referee's thread, one at a time.
#include "main_window.h"

#include "BotLogPanel.h"
#include "TerminalText.h"
#include "MoveList.h"
#include "ExternalPlayer.h"
#include "MoveThread.h"
#include "PersonPlayer.h"
#include "PlayersPanel.h"
#include "ReplayFile.h"
#include "ReplayBar.h"
#include "ReplayPlayback.h"
#include "ReplayPosition.h"
#include "Retirement.h"
#include "SeatView.h"
#include "VorlenGuiQtImpl.h"
#include "VorlenWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

bool main_window::moving() const { return referee->busy(); }

void main_window::nextStep()
{
    if (viewing()) {
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
    startLiveTurn();
}

void main_window::startLiveTurn()
{
    turnRecorded = !manager.gameOver();
    if (turnCounter == 0)
        live.board = manager.board();
    playTurnOffThread(turnCounter++);
    // Most moves are over long before anyone could read "thinking".
    thinkingClock->start(100);
}

void main_window::playTurnOffThread(int turn)
{
    playedTurn.reset();
    referee->run([this, turn] {
        manager.makeTurn(turn);
        if (!turnRecorded)
            return;
        vorlen::ReplayTurn played = vorlen::recordTurn(manager, [this](int seat) {
            return vorlen::retirementText(manager.retirement(seat), manager.lastResult(seat));
        });
        if (played.answer) {
            const LogTail::News news = logTails[static_cast<std::size_t>(played.seat)].takeNew(vorlen::kMoveLogBytes);
            played.log = vorlen::moveLogKept(news.start, news.size);
        }
        playedTurn = std::move(played);
        // A program that stays up for the match ends with it, on the thread that started it.
        if (manager.gameOver())
            for (const auto& player : owned)
                player->endMatch();
    });
}

void main_window::afterLiveTurn()
{
    thinkingClock->stop();
    if (closing)
        return;
    if (manager.gameOver())
        timer->stop();
    if (playedTurn) {
        live.turns.push_back(std::move(*playedTurn));
        playedTurn.reset();
        live.finished = manager.gameOver();
        liveSaved = false;
        if (live.finished)
            keepLiveReplay();
    }
    if (viewing()) {
        // The turn pointed the display at the live board: back to the replay's.
        showTurn(shownTurns());
        return;
    }
    boardWidget->update();
    tellStory();
    sayHints();
}

void main_window::sayHints()
{
    if (live.turns.empty())
        return;
    QString said = statusBar()->currentMessage();
    // Read once the turn is over: the referee is the window's again.
    for (const vorlen::ReplayRetirement& retired : live.turns.back().retired) {
        const std::string& hint = manager.lastResult(retired.seat).hint;
        if (!hint.empty())
            said += QString::fromUtf8(" \u00b7 hint: ") + QString::fromLocal8Bit(hint);
    }
    statusBar()->showMessage(said);
}

void main_window::showThinking()
{
    if (viewing() || !moving())
        return;
    const int seat = static_cast<int>(live.turns.size() % 2 == 0 ? 0 : 1);
    const double elapsed = std::chrono::duration<double, std::milli>(referee->elapsed()).count();
    // The board is the referee's while the turn runs: the seats as last seen.
    const auto index = static_cast<std::size_t>(seat);
    const bool first = shownSeats[index].moves == 0;
    const double limit = moveLimitMs[index];
    players->show(shownSeats, elapsed, limit > 0 && first ? limit + firstMoveMs[index] : limit);
}

void main_window::keepLiveReplay()
{
    if (saveReplayPath.empty() || liveSaved)
        return;
    std::string error;
    if (!vorlen::writeReplayFile(saveReplayPath, live, error))
        std::fprintf(stderr, "vorlen: --save-replay: %s\n", vorlen::terminalSafe(error).c_str());
    liveSaved = true;
}

bool main_window::playFrom(const vorlen::Replay& replay, int turns, std::string& problem)
{
    if (turnCounter != 0 || moving()) {
        problem = "the live match has begun";
        return false;
    }
    if (!vorlen::playUpTo(manager, replay, turns, seated, problem))
        return false;
    live.board = replay.board;
    live.boardSource = replay.boardSource;
    live.turns.assign(replay.turns.begin(), replay.turns.begin() + turns);
    turnCounter = turns;
    liveSaved = false;
    if (gui)
        gui->setField(&manager.board());
    leaveReplay();
    tellStory();
    return true;
}

void main_window::leaveReplay()
{
    timer->stop();
    playback.reset();
    replayBar->hide();
    // Right and Space stay: they work live too.
    for (std::size_t key = 2; key < replayKeys.size(); ++key)
        replayKeys[key]->setEnabled(false);
    playFromHere->setEnabled(false);
    moves->clear();
    logs->clear();
    boardWidget->update();
}

void main_window::Stop() { timer->stop(); }

void main_window::Start()
{
    if (!viewing() && !problems.empty()) {
        nextStep(); // says why
        return;
    }
    timer->start(kTurnPeriodMs);
}

void main_window::closeEvent(QCloseEvent* event)
{
    keepLiveReplay();
    // The bot in the middle of its move goes now; its turn is not part of the match.
    closing = true;
    timer->stop();
    for (PersonPlayer* person : persons)
        person->cancel();
    if (moving())
        botGroups.killAll();
    QMainWindow::closeEvent(event);
}
