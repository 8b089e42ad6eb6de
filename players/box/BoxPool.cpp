#include "BoxPool.h"

#include <vector>

namespace vorlen {

std::unique_ptr<Box> BoxPool::take(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    const std::thread::id self = std::this_thread::get_id();
    const auto found = idle_.find({self, key});
    if (found == idle_.end())
        return nullptr;
    std::unique_ptr<Box> box = std::move(found->second);
    idle_.erase(found);
    --kept_[self];
    return box;
}

void BoxPool::give(const std::string& key, std::unique_ptr<Box> box)
{
    // Wiped outside the lock: other workers take and give meanwhile.
    if (!box || !box->wipe())
        return;
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    if (kept_[self] >= capacity_) {
        lock.unlock();
        box->end();
        return;
    }
    idle_.emplace(Owner{self, key}, std::move(box));
    ++kept_[self];
}

void BoxPool::endKept()
{
    const std::thread::id self = std::this_thread::get_id();
    std::vector<std::unique_ptr<Box>> ending;
    {
        const std::lock_guard lock(mutex_);
        for (auto box = idle_.begin(); box != idle_.end();) {
            if (box->first.first != self) {
                ++box;
                continue;
            }
            ending.push_back(std::move(box->second));
            box = idle_.erase(box);
        }
        kept_.erase(self);
    }
    // Ended outside the lock, as they go out of scope.
}

std::string boxKey(const SandboxPlan& plan, const BoxView& view, const BotLimits& limits,
                   const std::vector<std::string>& environment, const std::vector<std::string>& argv,
                   const std::string& owner)
{
    std::string key = owner + '\0';
    for (const std::string& word : argv)
        key += word + '\0';
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
