#include "BoxPool.h"

namespace vorlen {

std::unique_ptr<Box> BoxPool::take(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    const auto found = idle_.find(key);
    if (found == idle_.end())
        return nullptr;
    std::unique_ptr<Box> box = std::move(found->second);
    idle_.erase(found);
    return box;
}

void BoxPool::give(const std::string& key, std::unique_ptr<Box> box)
{
    // Wiped outside the lock: other workers take and give meanwhile.
    if (!box || !box->wipe())
        return;
    std::unique_lock lock(mutex_);
    if (idle_.size() >= capacity_) {
        lock.unlock();
        box->end();
        return;
    }
    idle_.emplace(key, std::move(box));
}

std::string boxKey(const SandboxPlan& plan, const BoxView& view, const BotLimits& limits,
                   const std::vector<std::string>& environment)
{
    std::string key;
    for (const std::string& part : boxCommand(plan, view, limits.diskMiB))
        key += part + '\0';
    key += plan.controlGroups ? "cgroups" : "rlimits";
    for (const std::uint64_t limit : {limits.memoryMiB, limits.tasks, limits.cpus})
        key += '\0' + std::to_string(limit);
    for (const std::string& entry : environment)
        key += '\0' + entry;
    return key;
}

} // namespace vorlen
