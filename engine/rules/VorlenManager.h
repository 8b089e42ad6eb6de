#pragma once

#include "BitBoard.h"
#include "Field.h"
#include "IVorlenGui.h"
#include "IVorlenLogic.h"
#include "MatchPosition.h"
#include "PaddedGrid.h"
#include "Retirement.h"
#include "Trace.h"

#include <array>
#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace vorlen {

// What one makeTurn call did.
struct TurnReport {
    int turn = -1;
    int seat = 0;         // the seat whose turn it was
    bool moved = false;   // false when that seat was already out
    int answer = 0;       // what the player answered, valid or not
    std::chrono::nanoseconds took{0}; // how long the player took to answer
};

// The referee of one match: owns the board, seats two players, plays one
// turn per makeTurn call and decides when the match is over. Players and the
// display are not owned.
class VorlenManager {
public:
    static constexpr std::size_t kStallTurns = 8;

    // The board is always the game's 41 x 45 for two players: the sizes are
    // taken for the callers that pass them and not kept.
    VorlenManager(int width, int height, int playerCount, Trace trace = Trace());

    void setPlayer(int which, IVorlenLogic* player);
    // A null display is allowed: the turn is then reported to nobody.
    void setGui(IVorlenGui* gui);

    // Draws a random board with rand(), then reads the map file at `path`
    // over it if it can be read; if not, says why on standard error.
    void loadMap(const std::string& path);
    // Reads the map file at `path` over the board as it is, as loadMap does
    // after its draw.
    void readMap(const std::string& path);
    // Replaces the board, for callers that draw boards themselves.
    void setBoard(const Field& board);

    void makeTurn(int turn);

    // Where the match stands; and the referee put back to such a moment, its
    // seated players in or out as the position has them.
    MatchPosition position() const;
    void resetTo(const MatchPosition& position);

    bool gameOver() const { return over; }
    const Field& board() const;
    ScorePair score() const { return lastScore; }
    const Retirement& retirement(int which) const { return retirements.at(which); }
    const TurnReport& lastTurn() const { return report; }
    // How the seat's last move went; nothing before its first.
    const MoveResult& lastResult(int which) const { return results.at(static_cast<std::size_t>(which)); }

private:
    void retire(int which, RetireReason reason, int turn, int move = 0);
    void playMove(int turn);
    // The mover's colour, from its choice on the bit planes where it makes
    // one, else from the board shown to it as cells.
    int askMover(IVorlenLogic& mover, int turn);
    // After the board changed whole: its bit planes, where it is a game's board.
    void resetBits();
    // The cells as the bit planes have them, where moves made on the planes
    // alone have left them behind.
    void syncField() const;

    int seat = 1; // the seat that played last: the first player opens
    // The board as cells, and as bit planes where it is a game's (41 x 45,
    // every cell a colour): moves go to both, or to the planes alone while no
    // one looks at the cells.
    mutable Field field;
    std::optional<BitBoard> bits;
    mutable bool fieldBehind = false;
    std::deque<ScorePair> history;
    IVorlenGui* gui = nullptr;
    std::array<IVorlenLogic*, 2> players{};
    bool over = false;

    Trace trace;
    PaddedGrid scoreGrid;
    ScorePair lastScore{0, 0};
    std::array<Retirement, 2> retirements{};
    std::array<MoveResult, 2> results{};
    TurnReport report;
};

} // namespace vorlen
