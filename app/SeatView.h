#pragma once

#include "Field.h"
#include "Replay.h"

#include <array>
#include <string>

// What the window says of one seat after some turns of a match: plain data,
// worked out from the replay and the board on show.
struct SeatView {
    enum class State { Waiting, ToMove, Out, Done };

    std::string name;    // the program's file name, or the built-in player's
    std::string command; // the whole command line
    int colour = 0;      // its region's colour on the board on show
    int score = 0;       // its region's size
    double share = 0;    // of the board, 0 to 1
    int moves = 0;       // answers given, valid or not
    double meanMs = 0;
    double largestMs = 0;
    State state = State::Waiting;
    std::string reason;  // Out or Done: why, in a bot writer's words
};

// Both seats after `shown` turns of `replay`, `board` being the board then.
std::array<SeatView, 2> seatViews(const vorlen::Replay& replay, int shown, const vorlen::Field& board);

// "to move", "waiting", "out: timed out", "done: full board"; while the seat
// thinks: "thinking… 1.2 s of 3.0 s"; `limitMs` 0 (the built-in player):
// "thinking… 1.2 s"; below 0 (none): "waiting… 1.2 s, no time limit".
std::string statusText(const SeatView& seat, double thinkingMs = -1, double limitMs = 0);

// The banner at the end of a match: who won, both scores and how it ended.
// Empty while the match goes on.
std::string resultText(const vorlen::Replay& replay, int shown);
