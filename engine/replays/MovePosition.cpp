#include "MovePosition.h"

#include "BoardText.h"
#include "Boards.h"
#include "Files.h"
#include "MapText.h"
#include "ReplayFile.h"
#include "ReplayPlayback.h"
#include "ReplayPosition.h"
#include "Rules.h"

#include <charconv>

namespace vorlen {
namespace {

std::optional<std::uint64_t> wholeNumber(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

MovePosition seenBy(Field board, int seat, std::string label)
{
    if (seat == 1)
        rotateField(board);
    return {std::move(board), seat, 0, std::nullopt, std::move(label) + ", seat " + std::to_string(seat + 1), {}, {}};
}

} // namespace

std::optional<MovePosition> movePositionIn(const Replay& replay, const ReplayPosition& at, std::optional<int> seat,
                                           std::string& error)
{
    const int length = static_cast<int>(replay.turns.size());
    if (at.turns > length) {
        error = "the replay has " + std::to_string(length) + " turns (0 to " + std::to_string(length - 1) + ")";
        return std::nullopt;
    }
    ReplayPlayback playback(replay);
    while (playback.position() < at.turns)
        if (!playback.playNext(error))
            return std::nullopt;
    const MatchPosition position = playback.matchPosition();
    const int mover = at.turns < length ? replay.turns[static_cast<std::size_t>(at.turns)].seat : 1 - position.lastSeat;
    if (position.over || !position.active(mover)) {
        error = "turn " + std::to_string(at.turns) + ": seat " + std::to_string(mover + 1) + " is out of the match by then";
        return std::nullopt;
    }
    if (seat && *seat != mover) {
        error = "turn " + std::to_string(at.turns) + " is seat " + std::to_string(mover + 1) + "'s";
        return std::nullopt;
    }
    MovePosition move = seenBy(position.board, mover, "turn " + std::to_string(at.turns) + " of " + at.path);
    move.turn = at.turns;
    if (at.turns < length)
        move.recorded = replay.turns[static_cast<std::size_t>(at.turns)].answer;
    move.player = seatAsRun(replay, mover);
    move.seatFiles = seatFilesBefore(replay, mover, at.turns);
    return move;
}

namespace {

std::optional<MovePosition> fromReplay(const ReplayPosition& at, std::optional<int> seat, std::string& error)
{
    Replay replay;
    if (!readReplayFile(at.path, replay, error))
        return std::nullopt;
    return movePositionIn(replay, at, seat, error);
}

std::optional<MovePosition> fromSeed(std::string_view text, int seat, std::string& error)
{
    const std::size_t colon = text.find(':');
    const auto seed = wholeNumber(text.substr(0, colon));
    const auto index = colon == std::string_view::npos ? std::nullopt : wholeNumber(text.substr(colon + 1));
    if (!seed || !index || *index > 1'000'000'000) {
        error = "seed:S:K needs two whole numbers, not 'seed:" + std::string(text) + "'";
        return std::nullopt;
    }
    return seenBy(seededBoard(*seed, static_cast<int>(*index)), seat, "seed:" + std::string(text));
}

// A whole board in a file: a map's digits (what else it holds is passed
// over, as maps are read), or exactly what "vorla.in" holds.
std::optional<MovePosition> fromFile(const std::string& path, bool asSeen, int seat, std::string& error)
{
    Field board = makeField(kBoardRows, kBoardColumns);
    std::string text;
    const bool read = asSeen ? readRegularFile(path, kMapSizeLimit, text, error)
                             : readMapFile(path, board, text, error);
    if (!read) {
        error = path + ": " + error;
        return std::nullopt;
    }
    if (const auto problem = parseBoardText(text, board)) {
        error = path + ": " + *problem;
        return std::nullopt;
    }
    if (asSeen)
        return MovePosition{std::move(board), seat, 0, std::nullopt, path + ", seat " + std::to_string(seat + 1), {}, {}};
    return seenBy(std::move(board), seat, path);
}

} // namespace

std::optional<MovePosition> readMovePosition(const std::string& text, std::optional<int> seat, std::string& error)
{
    if (seat && *seat != 0 && *seat != 1) {
        error = "a seat is 1 or 2";
        return std::nullopt;
    }
    const std::string_view given(text);
    if (given.rfind("seed:", 0) == 0)
        return fromSeed(given.substr(5), seat.value_or(0), error);
    if (given.rfind("map:", 0) == 0)
        return fromFile(text.substr(4), false, seat.value_or(0), error);
    if (given.rfind("input:", 0) == 0)
        return fromFile(text.substr(6), true, seat.value_or(0), error);
    if (const auto parts = splitAtTurn(text))
        if (const auto turn = wholeNumber(parts->second); turn && *turn <= 1'000'000)
            return fromReplay({parts->first, static_cast<int>(*turn)}, seat, error);
    error = "a position is REPLAY@K, seed:S:K, map:FILE or input:FILE, not '" + text + "'";
    return std::nullopt;
}

} // namespace vorlen
