#pragma once

#include "IndexPage.h"
#include "LadderStore.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vorlen::ladder {

// The standings as a page shows them.
struct StandingsView {
    std::string state; // what they were computed from (LadderStore::standingsState)
    std::string empty; // why there is nothing to rank; empty when there is
    std::vector<IndexStanding> rows; // best first, each linking to its bot's page
    std::vector<std::vector<std::pair<std::string, double>>> cross; // the top's
    std::string note;
};

// The standings of the current versions for the pages: `top` in the cross table.
StandingsView computeStandingsView(LadderStore& store, std::size_t top);

// The standings view a site serves, kept current by a thread of its own
// that looks for a change every `interval` and recomputes it then: a page
// never waits for a computation (seconds at a contest's size), it shows the
// last one.
class StandingsBoard {
public:
    StandingsBoard(std::function<std::unique_ptr<LadderStore>()> open, std::size_t top,
                   std::chrono::milliseconds interval = std::chrono::milliseconds(1000));
    ~StandingsBoard();
    StandingsBoard(const StandingsBoard&) = delete;
    StandingsBoard& operator=(const StandingsBoard&) = delete;

    std::shared_ptr<const StandingsView> view() const;

private:
    void keepCurrent();

    std::function<std::unique_ptr<LadderStore>()> open_;
    std::size_t top_;
    std::chrono::milliseconds interval_;
    mutable std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::shared_ptr<const StandingsView> view_;
    std::thread thread_;
};

} // namespace vorlen::ladder
