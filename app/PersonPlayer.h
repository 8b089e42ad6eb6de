#pragma once

#include "Field.h"
#include "IVorlenLogic.h"
#include "Trace.h"

#include <array>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// What a person at `seat` is offered for a move on `board` as the window
// shows it.
struct PersonOffer {
    std::vector<int> legal;
    std::array<int, vorlen::kColourCount> gains{}; // cells each colour adds to the region
    std::vector<std::vector<bool>> region;          // the person's region, cell by cell, as shown
};
PersonOffer personOffer(const vorlen::Field& board, int seat);

// A seat played by a person at the window. Its move runs on the referee's
// thread and waits there for the colour the person chooses in the window.
class PersonPlayer : public vorlen::IVorlenLogic {
public:
    // `ask` is called on the referee's thread when a move is wanted, with
    // the board as the person sees it (its home at the top left); the
    // window then offers the colours.
    PersonPlayer(std::function<void(vorlen::Field)> ask, vorlen::Trace trace);

    int makeMove(const vorlen::Field& field) override;
    // From the window: the person's colour, taken only while a move waits
    // and only if it is legal. False otherwise.
    bool choose(int colour);
    // From the window, before the turn: the colour the person chose from
    // what the window offered; the next move plays it without asking.
    void chooseAhead(int colour);
    // The window goes: a waiting move ends without an answer.
    void cancel();
    bool waiting() const;

private:
    std::function<void(vorlen::Field)> ask;
    vorlen::Trace trace;
    mutable std::mutex mutex;
    std::condition_variable chosen;
    std::vector<int> legal;
    std::optional<int> answer;
    std::optional<int> ahead;
    bool asking = false;
    bool cancelled = false;
};
