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

int GameSet::missing(int count, int listed, std::string& list, int shard, int shards) const
{
    int absent = 0;
    int next = 0; // the first game not yet looked at
    const auto gap = [&](int from, int to) {
        to = std::min(to, count);
        const int first = from + ((shard - from % shards) % shards + shards) % shards; // the shard's first from `from`
        for (int game = first; game < to && listed > 0; game += shards, --listed)
            list += (list.empty() ? "" : ", ") + std::to_string(game);
        absent += first < to ? (to - first + shards - 1) / shards : 0;
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
