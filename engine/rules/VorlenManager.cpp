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
    fillRandom(field, [] { return std::rand(); });
    if (!path.empty())
        readMap(path);
}

void VorlenManager::readMap(const std::string& path)
{
    std::string echo;
    std::string error;
    if (!readMapFile(path, field, echo, error)) {
        // The path is the organiser's, but may hold anything a file name can.
        trace.err("cannot read the map '%s': %s; the board stays random\n", terminalSafe(path).c_str(),
                  terminalSafe(error).c_str());
        return;
    }
    trace.err("loading map...\n");
    trace.errBytes(echo.data(), echo.size());
}

void VorlenManager::setBoard(const Field& board) { field = board; }

void VorlenManager::retire(int which, RetireReason reason, int turn, int move)
{
    IVorlenLogic* player = players.at(which);
    if (!player->active)
        return;
    player->active = false;
    retirements.at(which) = {reason, turn, move};
}

void VorlenManager::playMove(int turn)
{
    IVorlenLogic* mover = players.at(seat);

    // Every player moves from (0, 0): the second seat sees the board turned.
    if (seat == 1)
        rotateField(field);
    const auto started = std::chrono::steady_clock::now();
    results.at(static_cast<std::size_t>(seat)) = mover->play(field, turn);
    const int colour = results.at(static_cast<std::size_t>(seat)).colour;
    report.took = std::chrono::steady_clock::now() - started;
    report.moved = true;
    report.answer = colour;
    if (!isColour(colour)) {
        trace.err("%d incorrect move", seat);
        retire(seat, RetireReason::ColourOutOfRange, turn, colour);
    } else if (!isLegalColour(field, colour)) {
        retire(seat, RetireReason::IllegalColour, turn, colour);
    } else {
        floodFill(field, colour, -1, 0, 0);
    }
    if (seat == 1)
        rotateField(field);
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

    lastScore = computeScore(field, scoreGrid);
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
        gui->setField(&field);
        gui->unlock();
    }
    if (!players[0]->active && !players[1]->active)
        over = true;
}

MatchPosition VorlenManager::position() const { return {field, seat, history, lastScore, retirements, over}; }

void VorlenManager::resetTo(const MatchPosition& position)
{
    field = position.board;
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
