#include "VorlenManager.h"

#include "TerminalText.h"

#include "MapText.h"
#include "Rules.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

namespace vorlen {

VorlenManager::VorlenManager(int /*width*/, int /*height*/, int /*playerCount*/, Trace console)
    : field(makeField(kBoardRows, kBoardColumns)), trace(console)
{
    resetBits();
    trace.line("VorlenManager initialized...\n");
}

void VorlenManager::setPlayer(int which, IVorlenLogic* player)
{
    assert(which == 0 || which == 1);
    players.at(which) = player;
}

void VorlenManager::setGui(IVorlenGui* display) { gui = display; }

void VorlenManager::loadMap(const std::string& path)
{
    syncField();
    fillRandom(field, [] { return std::rand(); });
    resetBits();
    if (!path.empty())
        readMap(path);
}

void VorlenManager::resetBits()
{
    fieldBehind = false;
    bits.reset();
    if (!BitBoard::fits(field))
        return;
    for (const auto& row : field)
        for (const std::int32_t cell : row)
            if (!isColour(cell))
                return;
    bits.emplace(field);
}

void VorlenManager::syncField() const
{
    if (fieldBehind && bits)
        field = bits->field();
    fieldBehind = false;
}

const Field& VorlenManager::board() const
{
    syncField();
    return field;
}

void VorlenManager::readMap(const std::string& path)
{
    std::string echo;
    std::string error;
    syncField();
    const bool read = readMapFile(path, field, echo, error);
    resetBits();
    if (!read) {
        // The path is the organiser's, but may hold anything a file name can.
        trace.err("cannot read the map '%s': %s; the board stays random\n", terminalSafe(path).c_str(),
                  terminalSafe(error).c_str());
        return;
    }
    trace.err("loading map...\n");
    trace.errBytes(echo.data(), echo.size());
}

void VorlenManager::setBoard(const Field& board)
{
    field = board;
    resetBits();
}

void VorlenManager::retire(int which, RetireReason reason, int turn, int move)
{
    IVorlenLogic* player = players.at(which);
    if (!player->active)
        return;
    player->active = false;
    retirements.at(which) = {reason, turn, move};
}

int VorlenManager::askMover(IVorlenLogic& mover, int turn)
{
    if (bits)
        if (const std::optional<int> colour = mover.moveOnBits(*bits, seat)) {
            results.at(static_cast<std::size_t>(seat)) = {*colour, isColour(*colour) ? Outcome::Answered : Outcome::None,
                                                          {}, {}, {}, {}};
            return *colour;
        }
    // Every player moves from (0, 0): the second seat sees the board turned.
    syncField();
    if (seat == 1)
        rotateField(field);
    results.at(static_cast<std::size_t>(seat)) = mover.play(field, turn);
    if (seat == 1)
        rotateField(field);
    return results.at(static_cast<std::size_t>(seat)).colour;
}

void VorlenManager::playMove(int turn)
{
    const auto started = std::chrono::steady_clock::now();
    const int colour = askMover(*players.at(seat), turn);
    report.took = std::chrono::steady_clock::now() - started;
    report.moved = true;
    report.answer = colour;
    if (!isColour(colour)) {
        trace.err("%d incorrect move", seat);
        retire(seat, RetireReason::ColourOutOfRange, turn, colour);
        return;
    }
    // The planes take the move; the cells follow when someone looks.
    const bool legal = bits ? bits->legal(seat, colour) : playColour(field, seat, colour);
    if (!legal)
        retire(seat, RetireReason::IllegalColour, turn, colour);
    else if (bits) {
        bits->play(seat, colour);
        fieldBehind = true;
    }
}

void VorlenManager::makeTurn(int turn)
{
    trace.out("\nTurn #%d:\n", turn);
    if (gui)
        gui->lock();

    seat = (seat + 1) % 2;
    report = TurnReport{turn, seat, false, 0, {}};
    if (players.at(seat)->active)
        playMove(turn);

    lastScore = bits ? bits->scores() : computeScore(field, scoreGrid);
    history.push_back(lastScore);
    if (gui) {
        gui->setScore(0, lastScore.first);
        gui->setScore(1, lastScore.second);
    }
    if (history.size() > kStallTurns)
        history.pop_front();

    const bool stalled =
        history.size() == kStallTurns
        && std::all_of(history.begin(), history.end(),
                       [&](const ScorePair& pair) { return pair == history.front(); });
    if (stalled) {
        retire(0, RetireReason::Stall, turn);
        retire(1, RetireReason::Stall, turn);
    }
    if (lastScore.first + lastScore.second == rowCount(field) * columnCount(field))
        retire(seat, RetireReason::FullBoard, turn);

    if (gui) {
        syncField();
        gui->setField(&field);
        gui->unlock();
    }
    if (!players[0]->active && !players[1]->active)
        over = true;
}

MatchPosition VorlenManager::position() const { return {board(), seat, history, lastScore, retirements, over}; }

void VorlenManager::resetTo(const MatchPosition& position)
{
    field = position.board;
    resetBits();
    seat = position.lastSeat;
    history = position.history;
    lastScore = position.score;
    retirements = position.retirements;
    over = position.over;
    report = TurnReport{};
    results = {};
    for (int at = 0; at < 2; ++at)
        if (players.at(static_cast<std::size_t>(at)))
            players.at(static_cast<std::size_t>(at))->active = position.active(at);
}

} // namespace vorlen
