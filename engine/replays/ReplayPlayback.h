#pragma once

#include "IVorlenLogic.h"
#include "Replay.h"
#include "VorlenManager.h"

#include <memory>
#include <string>

namespace vorlen {

class ScriptedSeat;

// A replay played again through the referee: the board and scores after any
// number of its turns. Forward moves play on; going back starts over.
class ReplayPlayback {
public:
    explicit ReplayPlayback(const Replay& replay); // the replay must outlive this
    ~ReplayPlayback();

    // Shows the match after `turns` turns, clamped to the replay's length.
    void seek(int turns);
    int position() const { return played_; }
    int length() const { return static_cast<int>(replay_.turns.size()); }

    bool over() const { return manager_->gameOver(); }
    // Where the match stands: board, scores, retirements, seat to move.
    MatchPosition matchPosition() const { return manager_->position(); }
    // Whether this plays `replay` (the very object, not a copy).
    bool plays(const Replay& replay) const { return &replay_ == &replay; }
    const Field& board() const;
    ScorePair score() const;

    // Plays the next turn. False, with the problem, when the referee does not
    // come to what the replay recorded.
    bool playNext(std::string& problem);

private:
    void restart();

    const Replay& replay_;
    std::unique_ptr<ScriptedSeat> seats_[2];
    std::unique_ptr<VorlenManager> manager_;
    int played_ = 0;
};

// Plays the whole replay through the referee: false, with one line naming the
// first turn whose recorded seat, move, scores or retirements the referee
// does not come to, or an end that is not where the replay says.
bool checkReplay(const Replay& replay, std::string& error);

} // namespace vorlen
