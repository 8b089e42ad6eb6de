#include "GameSet.h"

#include <algorithm>
#include <iterator>

namespace vorlen::match {

bool GameSet::insert(int game)
{
    auto after = runs_.upper_bound(game);
    if (after != runs_.begin()) {
        const auto before = std::prev(after);
        if (game < before->second)
            return false;
        if (game == before->second) {
            before->second = game + 1;
            if (after != runs_.end() && after->first == game + 1) {
                before->second = after->second;
                runs_.erase(after);
            }
            return true;
        }
    }
    if (after != runs_.end() && after->first == game + 1) {
        const int end = after->second;
        runs_.erase(after);
        runs_.emplace(game, end);
        return true;
    }
    runs_.emplace(game, game + 1);
    return true;
}

int GameSet::missing(int count, int listed, std::string& list, const ShardPart& part) const
{
    int absent = 0;
    int next = 0; // the first game not yet looked at
    const auto gap = [&](int from, int to) {
        to = std::min(to, count);
        // The part's games of [from, to): its count over [0, to) less over [0, from).
        absent += from < to ? part.matchesOf(to) - part.matchesOf(from) : 0;
        for (int game = from; game < to && listed > 0; ++game)
            if (part.holds(game)) {
                list += (list.empty() ? "" : ", ") + std::to_string(game);
                --listed;
            }
    };
    for (const auto& [first, end] : runs_) {
        if (first >= count)
            break;
        gap(next, first);
        next = end;
    }
    gap(next, count);
    return absent;
}

} // namespace vorlen::match
