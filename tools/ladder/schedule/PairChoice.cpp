#include "PairChoice.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace vorlen::ladder {
namespace {

int timesMet(const PairCounts& met, std::int64_t a, std::int64_t b)
{
    const auto found = met.find(std::minmax(a, b));
    return found == met.end() ? 0 : found->second;
}

// The one to place next: a new version before a settled one, then the least
// certain; the older on a tie.
const Entrant& focusOf(const std::vector<Entrant>& entrants)
{
    const auto rank = [](const Entrant& e) {
        const bool settled = e.matches >= kSettlingMatches;
        return std::make_tuple(settled, settled ? -e.spread : static_cast<double>(e.matches), e.version);
    };
    return *std::min_element(entrants.begin(), entrants.end(),
                             [&](const Entrant& x, const Entrant& y) { return rank(x) < rank(y); });
}

} // namespace

std::optional<std::pair<std::int64_t, std::int64_t>> choosePair(const std::vector<Entrant>& entrants,
                                                                 const PairCounts& met)
{
    if (entrants.size() < 2)
        return std::nullopt;
    const Entrant& focus = focusOf(entrants);
    // 200 Elo apart weighs as much as two boards already played together.
    const auto cost = [&](const Entrant& other) {
        const double gap = std::isfinite(focus.spread) && std::isfinite(other.spread)
                               ? std::fabs(focus.rating - other.rating) / 200
                               : 0;
        return gap + 0.5 * timesMet(met, focus.version, other.version);
    };
    const Entrant* best = nullptr;
    for (const Entrant& other : entrants) {
        if (other.version == focus.version)
            continue;
        if (!best || std::make_pair(cost(other), other.version) < std::make_pair(cost(*best), best->version))
            best = &other;
    }
    return std::make_pair(focus.version, best->version);
}

} // namespace vorlen::ladder
