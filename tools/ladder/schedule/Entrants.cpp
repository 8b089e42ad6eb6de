#include "Entrants.h"

#include "Ratings.h"

#include <cmath>
#include <limits>
#include <map>

namespace vorlen::ladder {

std::vector<Entrant> entrantsOf(const std::vector<std::int64_t>& versions, const std::vector<VersionResults>& results)
{
    std::map<std::int64_t, int> index;
    std::vector<Entrant> entrants;
    for (const std::int64_t version : versions) {
        index.emplace(version, static_cast<int>(entrants.size()));
        entrants.push_back({version, 0, 0, std::numeric_limits<double>::infinity()});
    }
    std::vector<match::HeadToHead> between;
    for (const VersionResults& r : results) {
        const auto a = index.find(r.first), b = index.find(r.second);
        const long long games = r.wins + r.draws + r.losses;
        if (a != index.end())
            entrants[static_cast<std::size_t>(a->second)].matches += games;
        if (b != index.end())
            entrants[static_cast<std::size_t>(b->second)].matches += games;
        if (a != index.end() && b != index.end())
            between.push_back({a->second, b->second, r.wins, r.draws, r.losses});
    }
    if (between.empty())
        return entrants;
    const match::Ratings ratings =
        match::rateByBradleyTerry(static_cast<int>(entrants.size()), between, {-1, true});
    for (std::size_t i = 0; i < entrants.size(); ++i) {
        if (ratings.standing.at(i) != match::Standing::Rated)
            continue;
        entrants[i].rating = ratings.elo[i];
        const double spread = ratings.high[i] - ratings.low[i];
        entrants[i].spread = std::isfinite(spread) ? spread : std::numeric_limits<double>::infinity();
    }
    return entrants;
}

} // namespace vorlen::ladder
