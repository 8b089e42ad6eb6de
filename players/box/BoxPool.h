#pragma once

#include "Box.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace vorlen {

// Boxes kept between matches of a run, so that a bot's next match starts in
// a box already up instead of paying for a new one: a box goes back when
// its match ends, wiped (its processes ended, its folders emptied), and is
// taken again only for a seat that would make exactly the same box (the same
// player, view, limits and environment), on the thread that started it: a box
// dies with that thread, so one handed to another worker would end under it
// when its first worker's matches are over. Shared by a run's workers.
class BoxPool {
public:
    // Keeps at most `capacity` idle boxes a thread: two serve a two-player run.
    explicit BoxPool(std::size_t capacity) : capacity_(capacity) {}
    ~BoxPool() = default; // the boxes end with it
    BoxPool(const BoxPool&) = delete;
    BoxPool& operator=(const BoxPool&) = delete;

    // A box this thread kept, made as `key` says, or none.
    std::unique_ptr<Box> take(const std::string& key);
    // Keeps a box whose match is over, once wiped, for this thread; ends it
    // when it cannot be.
    void give(const std::string& key, std::unique_ptr<Box> box);
    // Ends the boxes this thread kept: for a thread about to end, whose
    // boxes would otherwise be killed with it.
    void endKept();

private:
    using Owner = std::pair<std::thread::id, std::string>;

    std::size_t capacity_;
    std::mutex mutex_;
    std::multimap<Owner, std::unique_ptr<Box>> idle_;
    std::map<std::thread::id, std::size_t> kept_; // idle boxes by thread
};

// What makes one box differ from another: the bubblewrap command line its
// plan and view make, its limits and its environment, and whose it is: the
// whole command line it runs and its owner (a player of the run), so that
// a box never passes from one player to another.
std::string boxKey(const SandboxPlan& plan, const BoxView& view, const BotLimits& limits,
                   const std::vector<std::string>& environment, const std::vector<std::string>& argv,
                   const std::string& owner);

} // namespace vorlen
