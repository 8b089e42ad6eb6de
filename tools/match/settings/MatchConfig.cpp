#include "MatchConfig.h"

#include <algorithm>
#include <cstdio>

namespace vorlen::match {

std::vector<NamedPlayer> MatchConfig::players() const
{
    std::vector<NamedPlayer> all = named.empty() ? std::vector<NamedPlayer>{{"A", first}, {"B", second}} : named;
    for (NamedPlayer& player : all) {
        const auto own = playerMoveTimes.find(player.name);
        player.moveTime = own == playerMoveTimes.end() ? moveTime : own->second;
    }
    return all;
}

std::array<NamedPlayer, 2> MatchConfig::seatsFor(const Slot& slot) const
{
    const std::vector<NamedPlayer> all = players();
    const Pairing pairing = pairings().at(static_cast<std::size_t>(slot.pairing));
    const NamedPlayer& a = all.at(static_cast<std::size_t>(pairing.a));
    const NamedPlayer& b = all.at(static_cast<std::size_t>(pairing.b));
    return slot.swapped ? std::array{b, a} : std::array{a, b};
}

bool MatchConfig::anyProgram() const
{
    const std::vector<NamedPlayer> all = players();
    return std::any_of(all.begin(), all.end(), [](const NamedPlayer& p) { return p.seat.isProgram(); });
}

std::string MatchConfig::runId() const
{
    std::string description;
    for (const NamedPlayer& player : players())
        description += player.name + '=' + player.command() + '\n';
    description += "tournament " + std::to_string(static_cast<int>(tournament)) + "\ngames "
                   + std::to_string(games) + (swap ? " swap" : "") + (alternate ? " alternate" : "") + "\nboards "
                   + std::to_string(static_cast<int>(boards)) + " " + std::to_string(seed) + " " + mapPath + " "
                   + mapText + "\n";
    for (const ListedBoard& board : boardList)
        description += "listed " + board.label() + "\n";
    if (start)
        description += "start " + start->label() + "\n";
    // Other time controls make another run; runs under the usual one keep their ids.
    for (const NamedPlayer& player : players())
        if (player.moveTime != kMoveTimeLimit)
            description += "move time " + player.name + " " + std::to_string(player.moveTime.count()) + "\n";
    // A test with other bounds is another run: its records would not agree on when to stop.
    if (sprt)
        description += "sprt " + sprtSettingsText(*sprt) + "\n";
    // FNV-1a: short, and the same everywhere.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char ch : description) {
        hash ^= ch;
        hash *= 0x100000001b3ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace vorlen::match
