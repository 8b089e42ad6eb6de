#pragma once

#include "BotGroups.h"
#include "IVorlenLogic.h"
#include "Replay.h"
#include "VorlenManager.h"

#include <QObject>

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class MoveThread;

// What one live turn did, handed to whoever shows the match.
struct LiveTurn {
    bool recorded = false; // false for a turn after the end, which is not part of the match
    bool over = false;     // the match ended with it, or before it
    // How to fix each bot the turn retired, for the seats that have a hint.
    std::vector<std::string> hints;
};

// The live match: the referee's players, their logs, the thread their turns
// are played on, and the replay of the match as it goes. The referee itself
// is the window's; while a turn runs it is this object's thread's alone, and
// it is read again only once turnPlayed has been sent.
class LiveMatch : public QObject {
    Q_OBJECT

public:
    explicit LiveMatch(vorlen::VorlenManager& referee, QObject* parent = nullptr);
    // A bot in the middle of its move is ended, not waited for.
    ~LiveMatch() override;

    // Seats a player; the one it displaces stays alive with this object.
    void seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player);
    vorlen::IVorlenLogic* seated(int seat) const { return seated_.at(static_cast<std::size_t>(seat)); }
    vorlen::BotGroups& bots() { return bots_; }

    // Starts the turn numbered `turn` on the referee's thread; false while one runs.
    bool playTurn(int turn);
    bool busy() const;
    std::chrono::steady_clock::duration elapsed() const;
    // Ends the bots of a turn in progress; its turn is then not part of the match.
    void abandonTurn();

    // Goes on from a checked replay's position after `turns` turns; false,
    // with why, when there is nothing to play on.
    bool playFrom(const vorlen::Replay& replay, int turns, std::string& problem);
    // The same from the position those turns come to, already worked out.
    bool playFrom(const vorlen::Replay& replay, int turns, const vorlen::MatchPosition& position,
                  std::string& problem);

    // The match so far; its players, board source and limits are the caller's to name.
    const vorlen::Replay& record() const { return record_; }
    vorlen::Replay& record() { return record_; }

signals:
    void turnPlayed(const LiveTurn& turn);

private:
    void afterTurn();

    vorlen::VorlenManager& referee_;
    vorlen::BotGroups bots_;
    // Players stay alive until this goes, displaced ones included.
    std::vector<std::unique_ptr<vorlen::IVorlenLogic>> owned_;
    std::array<vorlen::IVorlenLogic*, 2> seated_{};
    vorlen::Replay record_;
    // Written on the referee's thread, read after it: the turn and its hints.
    std::optional<vorlen::ReplayTurn> playedTurn_;
    LiveTurn lastTurn_;
    bool abandoned_ = false;
    // Last: it ends, waiting for a turn in progress, before what the turn uses goes.
    std::unique_ptr<MoveThread> thread_;
};
