#include "EvaluationCache.h"

namespace vorlen::ladder {

std::optional<std::string> EvaluationCache::kept(const Key& key)
{
    const std::lock_guard<std::mutex> hold(keptLock_);
    for (auto it = kept_.begin(); it != kept_.end(); ++it)
        if (it->first == key) {
            kept_.splice(kept_.begin(), kept_, it);
            return kept_.front().second;
        }
    return std::nullopt;
}

EvaluationCache::Answer EvaluationCache::get(std::int64_t match, int level, const std::function<std::string()>& make)
{
    const Key key{match, level};
    if (auto json = kept(key))
        return {Outcome::Made, std::move(*json)};
    std::unique_lock<std::mutex> turn(making_, std::try_to_lock);
    if (!turn.owns_lock())
        return {Outcome::Busy, {}};
    // Another visitor's search may have made it meanwhile.
    if (auto json = kept(key))
        return {Outcome::Made, std::move(*json)};
    std::string json = make();
    if (json.empty())
        return {Outcome::Failed, {}};
    const std::lock_guard<std::mutex> hold(keptLock_);
    kept_.emplace_front(key, json);
    if (kept_.size() > most_)
        kept_.pop_back();
    return {Outcome::Made, std::move(json)};
}

} // namespace vorlen::ladder
