#include "Schedule.h"

#include <cassert>

namespace vorlen::match {

std::vector<Pairing> pairingsOf(int playerCount, Tournament tournament)
{
    std::vector<Pairing> pairings;
    if (tournament == Tournament::None) {
        pairings.push_back({0, 1});
        return pairings;
    }
    for (int a = 0; a < playerCount; ++a)
        for (int b = a + 1; b < playerCount; ++b)
            if (tournament == Tournament::RoundRobin || a == 0)
                pairings.push_back({a, b});
    return pairings;
}

Slot slotOf(int game, int pairingCount, bool swap, bool alternate)
{
    assert(game >= 0 && pairingCount > 0);
    const int seatings = swap ? 2 : 1;
    const int perBoard = pairingCount * seatings;
    const int within = game % perBoard;
    const int board = game / perBoard;
    return {board, within / seatings, swap ? within % seatings == 1 : alternate && board % 2 == 1};
}

int matchCountOf(int boards, int pairingCount, bool swap) { return boards * pairingCount * (swap ? 2 : 1); }

} // namespace vorlen::match
