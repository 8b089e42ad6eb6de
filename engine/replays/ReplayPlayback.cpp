#include "ReplayPlayback.h"

#include "Retirement.h"
#include "ScriptedSeat.h"

#include <algorithm>

namespace vorlen {

ReplayPlayback::ReplayPlayback(const Replay& replay) : replay_(replay) { restart(); }

ReplayPlayback::~ReplayPlayback() = default;

void ReplayPlayback::restart()
{
    manager_ = std::make_unique<VorlenManager>(kBoardColumns, kBoardRows, 2, Trace::silent());
    for (int seat = 0; seat < 2; ++seat) {
        seats_[seat] = std::make_unique<ScriptedSeat>();
        manager_->setPlayer(seat, seats_[seat].get());
    }
    manager_->setBoard(replay_.board);
    played_ = 0;
}

const Field& ReplayPlayback::board() const { return manager_->board(); }

ScorePair ReplayPlayback::score() const { return played_ == 0 ? ScorePair{0, 0} : manager_->score(); }

bool ReplayPlayback::playNext(std::string& problem)
{
    const std::string where = "turn " + std::to_string(played_) + ": ";
    if (played_ >= length() || manager_->gameOver()) {
        problem = where + "the match was already over";
        return false;
    }
    const ReplayTurn& turn = replay_.turns[static_cast<std::size_t>(played_)];
    for (const auto& seat : seats_) {
        seat->answer = turn.answer;
        seat->asked = false;
    }
    manager_->makeTurn(played_);
    const TurnReport& report = manager_->lastTurn();
    ++played_;
    if (report.seat != turn.seat) {
        problem = where + "seat " + std::to_string(report.seat) + " moves, not seat " + std::to_string(turn.seat);
        return false;
    }
    if (report.moved != turn.answer.has_value()) {
        problem = where + (report.moved ? "the seat is still playing but has no answer"
                                        : "the seat was already out but has an answer");
        return false;
    }
    const ScorePair score = manager_->score();
    if (score != turn.score) {
        problem = where + "the move gives scores " + std::to_string(score.first) + " and "
                  + std::to_string(score.second) + ", not the recorded " + std::to_string(turn.score.first)
                  + " and " + std::to_string(turn.score.second);
        return false;
    }
    for (int seat = 0; seat < 2; ++seat) {
        const bool retiredNow = manager_->retirement(seat).turn == report.turn;
        const bool recorded = std::any_of(turn.retired.begin(), turn.retired.end(),
                                          [&](const ReplayRetirement& r) { return r.seat == seat; });
        if (retiredNow != recorded) {
            problem = where + "seat " + std::to_string(seat) + (retiredNow ? " is retired" : " is not retired")
                      + ", unlike the recording";
            return false;
        }
    }
    for (const ReplayRetirement& retired : turn.retired) {
        if (retired.seat != 0 && retired.seat != 1) {
            problem = where + "a retirement names seat " + std::to_string(retired.seat);
            return false;
        }
        const RetireReason reason = manager_->retirement(retired.seat).reason;
        if (!reasonFits(reason, retired.reason)) {
            problem = where + "seat " + std::to_string(retired.seat) + " is retired for "
                      + reasonName(reason) + ", not for the recorded reason";
            return false;
        }
    }
    return true;
}

void ReplayPlayback::seek(int turns)
{
    turns = std::clamp(turns, 0, length());
    if (turns < played_)
        restart();
    std::string ignored;
    while (played_ < turns && playNext(ignored)) {
    }
}

bool checkReplay(const Replay& replay, std::string& error)
{
    ReplayPlayback playback(replay);
    while (playback.position() < playback.length())
        if (!playback.playNext(error))
            return false;
    // A replay saved before the end is fine; one that claims an end must have it.
    const std::string last = std::to_string(playback.length() - 1);
    if (replay.finished && !playback.over()) {
        error = "the match is not over after the last turn, " + last + ": truncated?";
        return false;
    }
    if (!replay.finished && playback.over()) {
        error = "the match is over after turn " + last + ", but the replay has no result";
        return false;
    }
    return true;
}

} // namespace vorlen
