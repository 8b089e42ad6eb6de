#include "SeatView.h"

#include "MatchResult.h"

#include "MatchStory.h"
#include "Retirement.h"
#include "Rules.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string seconds(double milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", milliseconds / 1000);
    return text;
}

} // namespace

std::array<SeatView, 2> seatViews(const vorlen::Replay& replay, int shown, const vorlen::Field& board)
{
    shown = std::clamp(shown, 0, static_cast<int>(replay.turns.size()));
    std::array<SeatView, 2> seats;
    const vorlen::ScorePair score = shown > 0 ? replay.turns[static_cast<std::size_t>(shown - 1)].score
                                              : vorlen::computeScore(board);
    const double cells = std::max(1, vorlen::rowCount(board) * vorlen::columnCount(board));
    for (int seat = 0; seat < 2; ++seat) {
        SeatView& view = seats[static_cast<std::size_t>(seat)];
        view.command = replay.players[static_cast<std::size_t>(seat)];
        view.name = vorlen::seatName(replay, seat);
        view.score = seat == 0 ? score.first : score.second;
        view.share = view.score / cells;
        if (!board.empty() && !board.front().empty())
            view.colour = seat == 0 ? board.front().front() : board.back().back();
    }
    double total[2] = {0, 0};
    for (int i = 0; i < shown; ++i) {
        const vorlen::ReplayTurn& turn = replay.turns[static_cast<std::size_t>(i)];
        SeatView& mover = seats[static_cast<std::size_t>(turn.seat)];
        if (turn.answer) {
            ++mover.moves;
            total[turn.seat] += turn.milliseconds;
            mover.largestMs = std::max(mover.largestMs, turn.milliseconds);
        }
        for (const vorlen::ReplayRetirement& retired : turn.retired) {
            SeatView& out = seats[static_cast<std::size_t>(retired.seat)];
            out.state = vorlen::isGameEnd(retired.reason) ? SeatView::State::Done : SeatView::State::Out;
            out.reason = retired.reason;
        }
    }
    for (int seat = 0; seat < 2; ++seat)
        if (seats[static_cast<std::size_t>(seat)].moves > 0)
            seats[static_cast<std::size_t>(seat)].meanMs = total[seat] / seats[static_cast<std::size_t>(seat)].moves;
    // Seats take turns whether or not the other is out.
    const int next = shown == 0 ? 0 : 1 - replay.turns[static_cast<std::size_t>(shown - 1)].seat;
    if (seats[static_cast<std::size_t>(next)].state == SeatView::State::Waiting)
        seats[static_cast<std::size_t>(next)].state = SeatView::State::ToMove;
    return seats;
}

std::string statusText(const SeatView& seat, double thinkingMs, double limitMs)
{
    switch (seat.state) {
    case SeatView::State::Out: return "out: " + seat.reason;
    case SeatView::State::Done: return "done: " + seat.reason;
    case SeatView::State::Waiting: return "waiting";
    case SeatView::State::ToMove: break;
    }
    if (thinkingMs < 0)
        return "to move";
    if (limitMs < 0)
        return "waiting\u2026 " + seconds(thinkingMs) + ", no time limit";
    std::string text = "thinking\u2026 " + seconds(thinkingMs);
    if (limitMs > 0)
        text += " of " + seconds(limitMs);
    return text;
}

std::string resultText(const vorlen::Replay& replay, int shown)
{
    if (shown < static_cast<int>(replay.turns.size()))
        return {};
    return vorlen::matchResultText(replay, {playerName(replay.players[0]), playerName(replay.players[1])});
}
