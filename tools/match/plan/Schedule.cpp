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

int ShardPart::matchesOf(int matches) const
{
    // Whole runs of `unit` games, then what is left of the last one.
    const int runs = matches / unit;
    const int whole = (runs - index + count - 1) / count;
    const int left = matches % unit;
    return std::max(0, whole) * unit + (runs % count == index ? left : 0);
}

std::optional<ShardPart> parseShard(const std::string& text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const auto whole = [](const std::string& digits) -> std::optional<long> {
        if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        return std::stol(digits);
    };
    const auto index = whole(text.substr(0, slash));
    const auto count = whole(text.substr(slash + 1));
    if (!index || !count || *count < 1 || *count > 100'000 || *index >= *count)
        return std::nullopt;
    return ShardPart{static_cast<int>(*index), static_cast<int>(*count), 1};
}

int matchCountOf(int boards, int pairingCount, bool swap) { return boards * pairingCount * (swap ? 2 : 1); }

} // namespace vorlen::match
