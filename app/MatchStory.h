#pragma once

#include "SeatPlayer.h"
#include "Replay.h"

#include <array>
#include <string>

// The status bar's line for a match shown after `shown` of its turns: the
// turn, the last move and how long it took, who was retired and why, who
// moves next; at the end, the result and the winner.
std::string storyLine(const vorlen::Replay& replay, int shown);

using vorlen::playerName;
// The window's title: "vorlen — v7 vs stupid".
std::string matchTitle(const std::array<std::string, 2>& names);

// "41 µs", "4.20 ms", "12.5 ms", "2.91 s".
std::string durationText(double milliseconds);
