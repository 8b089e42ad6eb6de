#include "Replay.h"

#include "SeatPlayer.h"

#include "Retirement.h"

#include <algorithm>

namespace vorlen {

std::string seatName(const Replay& replay, int seat)
{
    const auto index = static_cast<std::size_t>(seat);
    return playerName(replay.names.at(index).empty() ? replay.players.at(index) : replay.names.at(index));
}

std::array<std::string, 2> seatNames(const Replay& replay) { return {seatName(replay, 0), seatName(replay, 1)}; }

const std::string& seatAsRun(const Replay& replay, int seat)
{
    const auto index = static_cast<std::size_t>(seat);
    return replay.playersAsRun.at(index).empty() ? replay.players.at(index) : replay.playersAsRun.at(index);
}

int Replay::winningSeat() const
{
    const ScorePair score = finalScore();
    if (score.first == score.second)
        return -1;
    return score.first > score.second ? 0 : 1;
}

bool namedANumber(const ReplayTurn& turn)
{
    if (!turn.answer)
        return false;
    if (isColour(*turn.answer))
        return true;
    return std::any_of(turn.retired.begin(), turn.retired.end(), [&](const ReplayRetirement& retired) {
        return retired.seat == turn.seat && retired.reason == reasonName(RetireReason::ColourOutOfRange);
    });
}

std::string moveLogKept(std::string_view start, std::uint64_t written)
{
    std::string kept(start.substr(0, kMoveLogBytes));
    if (written <= kept.size())
        return kept;
    const std::string note = "[vorlen] cut: " + std::to_string(written - kept.size()) + " more bytes\n";
    if (!kept.empty() && kept.back() != '\n')
        kept += '\n';
    return kept + note;
}

ReplayTurn recordTurn(const VorlenManager& manager, const std::function<std::string(int seat)>& reasonOf)
{
    const TurnReport& report = manager.lastTurn();
    ReplayTurn turn;
    turn.seat = report.seat;
    if (report.moved) {
        turn.answer = report.answer;
        turn.log = manager.lastResult(report.seat).log;
        turn.seatFiles = manager.lastResult(report.seat).seatFiles;
    }
    turn.milliseconds = std::chrono::duration<double, std::milli>(report.took).count();
    turn.score = manager.score();
    for (int seat = 0; seat < 2; ++seat)
        if (manager.retirement(seat).turn == report.turn)
            turn.retired.push_back({seat, reasonOf(seat)});
    return turn;
}

std::string logWithSeatFiles(const ReplayTurn& turn)
{
    if (!turn.seatFiles)
        return turn.log;
    const std::string before = turn.log.empty() || turn.log.back() == '\n' ? turn.log : turn.log + "\n";
    return before + "[vorlen] its seat folder after the move: " + seatFilesLine(*turn.seatFiles) + "\n";
}

std::optional<SeatFiles> seatFilesBefore(const Replay& replay, int seat, int turn)
{
    const int end = std::min(turn, static_cast<int>(replay.turns.size()));
    for (int i = end - 1; i >= 0; --i) {
        const ReplayTurn& played = replay.turns[static_cast<std::size_t>(i)];
        if (played.seat == seat && played.seatFiles)
            return played.seatFiles;
    }
    return std::nullopt;
}

MoveTimes moveTimes(const Replay& replay, int seat, double limitMs)
{
    MoveTimes times;
    double sum = 0;
    for (const ReplayTurn& turn : replay.turns) {
        if (turn.seat != seat || !turn.answer)
            continue;
        ++times.moves;
        sum += turn.milliseconds;
        times.maxMs = std::max(times.maxMs, turn.milliseconds);
        if (turn.milliseconds >= 0.9 * limitMs)
            ++times.nearLimit;
    }
    if (times.moves > 0)
        times.meanMs = sum / times.moves;
    return times;
}

} // namespace vorlen
