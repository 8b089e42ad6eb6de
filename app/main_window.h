#pragma once

#include "BotGroups.h"
#include "LiveMatch.h"
#include "MainWindowForm.h"
#include "Palette.h"
#include "Replay.h"
#include "SeatView.h"
#include "WindowSeating.h"
#include "VorlenManager.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BotLogPanel;
class EvaluationPanel;
class MoveList;
class PersonBar;
class PersonPlayer;
class PlayersPanel;
class RegionOutline;
class QAction;
class QLabel;
class QPushButton;
class QShortcut;
class QTimer;
class QToolBar;
class ReplayBar;
class ScoreChart;
class VorlenWidget;
struct ChosenBoard;
struct StartupAction;
namespace vorlen {
class ReplayPlayback;
class VorlenGuiQtImpl;
}

// The window of one match: board, score labels, "start" / "stop" / "step",
// and the clock that plays a turn every 100 ms while it runs. Turns are
// played off the GUI thread, so the window answers while a bot thinks. It
// can show a replay instead: the same board and buttons step through its
// turns. Around the board: the players, the moves, the bots' logs and the
// score chart.
class main_window : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kTurnPeriodMs = 100;

    // Reads its options from the application's arguments.
    explicit main_window(QWidget* parent = nullptr);
    main_window(const QStringList& arguments, QWidget* parent);
    ~main_window() override;

    int heightForWidth(int width) const override { return width; }

    // Read only while no turn is being played (see moving()). The live
    // match plays its turns on it.
    const vorlen::VorlenManager& match() const { return manager; }
    bool moving() const;
    const QTimer* clock() const { return timer; }
    VorlenWidget* board() const { return boardWidget; }
    ScoreChart* scoreChart() const { return docks.chart; }
    PlayersPanel* playersPanel() const { return docks.players; }
    MoveList* moveList() const { return docks.moves; }
    BotLogPanel* botLogs() const { return docks.logs; }
    EvaluationPanel* evaluation() const { return docks.evaluation; }
    // The colours offered to a person whose move it is; hidden otherwise.
    PersonBar* personColours() const { return personControls.bar; }
    QString resultBanner() const;
    // Why the live match cannot be played: a program that cannot run. Empty
    // when it can.
    const std::vector<std::string>& startProblems() const { return problems; }
    // The bots of this window, for ending them when the process is told to stop.
    vorlen::BotGroups& bots() { return liveMatch->bots(); }

    // Plays on live from a checked replay's position after `turns` turns,
    // before the live match has begun: with the replay's own players, but
    // for the seats this window's options name (or all the options' players,
    // without `replayPlayers`). False, with the problem, when there is
    // nothing to play on; a replay's program that cannot run here is one of
    // startProblems().
    bool playFrom(const vorlen::Replay& replay, int turns, std::string& problem, bool replayPlayers = true);
    // Shows a checked replay in place of the live match, at its start.
    void viewReplay(vorlen::Replay replay);
    bool viewing() const { return playback != nullptr; }
    // Whether what is viewed is the live match, ended and on show for review.
    bool reviewingLiveMatch() const { return reviewing; }
    // The turns shown: of the replay in view, or played in the live match.
    int shownTurns() const;
    void showTurn(int shown);
    // The replay in view, or the live match's so far.
    const vorlen::Replay& replay() const { return viewing() ? viewed : liveMatch->record(); }
    // False, with the reason, when the file cannot be written or read.
    bool saveReplay(const std::string& path, std::string& error) const;
    // The match or replay on show as a web page at `path`, one file that
    // works alone.
    bool exportWebPage(const std::string& path, std::string& error) const;
    // The board of the move on show (turn K on the bar, the last move live)
    // as its seat read it in "vorla.in", to run the bot by hand on it.
    bool saveSeenBoard(const std::string& path, std::string& error) const;
    bool openReplay(const std::string& path, std::string& error);

    // Asks for a new match's seats, board, sandbox and time (remembered for
    // next time); when accepted, hands the options of a window that plays it,
    // the program's name first, to what was set to take them.
    void chooseNewMatch();
    void onNewMatch(std::function<void(const QStringList& arguments)> take) { newMatch = std::move(take); }

public slots:
    void nextStep();
    void Stop();
    void Start();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBoardArea();
    void buildDocks(const std::vector<StartupAction>& actions);
    void buildMenus();
    void buildKeys();
    void leaveReplay();
    void goToRetirement(bool forward);
    // Seats the players the options name on their board; a listed replay
    // position comes back, to be played up to once the window is built.
    std::optional<ChosenBoard> seatPlayers(const std::vector<StartupAction>& actions);
    // Seats `who` beside `otherPlayer` (empty when no program plays the other seat).
    void seatPlayer(int seat, const vorlen::SeatPlayer& who, const std::string& otherPlayer);
    // Seats `player` ("stupid", "person" or a program's command line) as an
    // option would, and says before the match when its program cannot run.
    void seatNamed(int seat, const std::string& player, const std::string& otherProgram, const std::string& said);
    // Seats the players that go on from the replay's turn, with their seat folders.
    void seatToPlayOn(const vorlen::Replay& replay, int turns, bool replayPlayers);
    // A problem found before the match: kept for the window and said on the terminal.
    void sayStartProblem(const std::string& problem);
    // Says, as `said`: problem`advice`, when `player` is a program that cannot run here.
    void checkProgram(const std::string& player, const std::string& otherPlayer, const std::string& said,
                      const std::string& advice);
    void afterLiveTurn(const LiveTurn& turn);
    // Where a person plays, the match goes on by itself: a person's turn
    // waits for the person, a program's follows the person's move.
    void playOnForAPerson();
    // Offers the person at `seat` its colours on `board` as shown, and
    // outlines its region.
    void offerToPerson(int seat, const vorlen::Field& board);
    void personChose(int colour);
    void keepLiveReplay();
    void tellStory();
    void showThinking();
    // After a live turn that retired a bot: how to fix it, in the status bar.
    void sayHints(const std::vector<std::string>& hints);
    // The board on show; the live one only while no turn runs.
    const vorlen::Field& shownBoard() const;

    vorlen::VorlenManager manager;
    QTimer* timer = nullptr;
    QTimer* thinkingClock = nullptr;
    int turnCounter = 0;
    MainWindowForm form;
    std::unique_ptr<vorlen::VorlenGuiQtImpl> gui;
    VorlenWidget* boardWidget = nullptr;
    vorlen::Palette palette;
    WindowSeating seating;
    std::vector<std::string> problems; // why the live match cannot be played
    QStringList viewOptions; // how this window shows a match, kept for the next one
    std::function<void(const QStringList&)> newMatch;
    std::array<SeatView, 2> shownSeats; // as last worked out, while no turn runs

    std::string saveReplayPath;   // where the live match's replay is kept; empty: nowhere
    bool liveSaved = true;
    bool reviewing = false; // the finished live match is on show as its own replay

    vorlen::Replay viewed;
    std::unique_ptr<vorlen::ReplayPlayback> playback; // over `viewed`, while one is in view

    // The panels around the board.
    struct Docks {
        ScoreChart* chart = nullptr;
        PlayersPanel* players = nullptr;
        MoveList* moves = nullptr;
        BotLogPanel* logs = nullptr;
        EvaluationPanel* evaluation = nullptr;
    } docks;
    QToolBar* bannerBar = nullptr;
    QLabel* banner = nullptr;
    // What steps through a replay: its bar, its keys, and Play from here.
    struct ReplayControls {
        ReplayBar* bar = nullptr;
        std::vector<QShortcut*> keys;
        QAction* playFromHere = nullptr;
        QAction* saveSeen = nullptr; // names the seat of the move on show
    } replayControls;
    // The person at each seat a person plays (owned by the live match), and
    // what a person plays with.
    struct PersonControls {
        std::array<PersonPlayer*, 2> players{};
        PersonBar* bar = nullptr;
        RegionOutline* outline = nullptr; // around the person's region while it is to move
    } personControls;

    // Last: it ends, ending a turn in progress, before what the turn uses goes.
    std::unique_ptr<LiveMatch> liveMatch;
};
