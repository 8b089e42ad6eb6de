#pragma once

#include "Box.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace vorlen {

// Boxes kept between matches of a run, so that a bot's next match starts in
// a box already up instead of paying for a new one: a box goes back when
// its match ends, wiped (its processes ended, its folders emptied), and is
// taken again only for a seat that would make exactly the same box (the same
// bot, view, limits and environment). Shared by a run's workers.
class BoxPool {
public:
    // Keeps at most `capacity` idle boxes: two a worker serve a two-player run.
    explicit BoxPool(std::size_t capacity) : capacity_(capacity) {}
    ~BoxPool() = default; // the boxes end with it
    BoxPool(const BoxPool&) = delete;
    BoxPool& operator=(const BoxPool&) = delete;

    // A kept box made as `key` says, or none.
    std::unique_ptr<Box> take(const std::string& key);
    // Keeps a box whose match is over, once wiped; ends it when it cannot be.
    void give(const std::string& key, std::unique_ptr<Box> box);

private:
    std::size_t capacity_;
    std::mutex mutex_;
    std::multimap<std::string, std::unique_ptr<Box>> idle_;
};

// What makes one box differ from another: the bubblewrap command line its
// plan and view make, its limits and its environment.
std::string boxKey(const SandboxPlan& plan, const BoxView& view, const BotLimits& limits,
                   const std::vector<std::string>& environment);

} // namespace vorlen
