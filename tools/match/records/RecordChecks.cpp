#include "RecordChecks.h"

#include "Field.h"
#include "TerminalText.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <utility>

namespace vorlen::match {
namespace {

bool oneOf(const std::string& value, std::initializer_list<const char*> known)
{
    return std::any_of(known.begin(), known.end(), [&](const char* word) { return value == word; });
}

bool inRun(const std::string& player, const std::string& runPlayers)
{
    std::istringstream names(runPlayers);
    for (std::string name; names >> name;)
        if (name == player)
            return true;
    return false;
}

// Times are kept to the microsecond: a mean and a largest time rounded
// apart may differ by that much.
constexpr double kRoundingMs = 0.002;

std::optional<std::string> seatProblem(const SeatRecord& seat, const std::string& where, int turns)
{
    const MoveTimes& times = seat.times;
    if (seat.score < 0 || seat.score > kBoardCells)
        return where + " score " + std::to_string(seat.score) + " is not on a board of "
               + std::to_string(kBoardCells) + " cells";
    if (times.moves < 0 || times.moves > turns)
        return where + " moves " + std::to_string(times.moves) + " do not fit " + std::to_string(turns) + " turns";
    // Records of earlier versions count no moves (0): their turns bound them.
    const int moves = times.moves > 0 ? times.moves : turns;
    if (times.nearLimit < 0 || times.nearLimit > moves)
        return where + " moves near the limit (" + std::to_string(times.nearLimit) + ") are more than its moves ("
               + std::to_string(moves) + ")";
    if (times.meanMs < 0 || times.maxMs < 0 || times.meanMs > times.maxMs + kRoundingMs)
        return where + " mean move time is above its largest";
    return std::nullopt;
}

} // namespace

std::optional<std::string> recordProblem(const MatchRecord& record)
{
    const SeatRecord& first = record.seats[0];
    const SeatRecord& second = record.seats[1];
    if (first.player == second.player)
        return "one player, " + terminalSafe(first.player) + ", in both seats";
    if (!record.runPlayers.empty())
        for (const SeatRecord& seat : record.seats)
            if (!inRun(seat.player, record.runPlayers))
                return "player " + terminalSafe(seat.player) + " is not in this run (" + terminalSafe(record.runPlayers)
                       + ")";
    if (!oneOf(record.containment, {"none", "sandbox"}))
        return "containment '" + terminalSafe(record.containment) + "' is neither none nor sandbox";
    if (!oneOf(record.governance, {"none", "cgroup v1", "cgroup v2", "rlimits"}))
        return "governance '" + terminalSafe(record.governance) + "' is none of none, cgroup v1, cgroup v2, rlimits";
    if (record.turns < 0)
        return "a negative number of turns";
    if (first.score + second.score > kBoardCells)
        return "scores of " + std::to_string(first.score + second.score) + " cells on a board of "
               + std::to_string(kBoardCells);
    for (const auto& [seat, where] : {std::pair{&first, "the first seat's"}, {&second, "the second seat's"}})
        if (auto problem = seatProblem(*seat, where, record.turns))
            return problem;
    return std::nullopt;
}

} // namespace vorlen::match
