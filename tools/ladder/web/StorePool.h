#pragma once

#include "LadderStore.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vorlen::ladder {

// Database connections for a server's threads: one a request, opened when
// none is free and kept for the next.
class StorePool {
public:
    using Opener = std::function<std::unique_ptr<LadderStore>()>;

    class Lease {
    public:
        Lease(StorePool& pool, std::unique_ptr<LadderStore> store) : pool_(pool), store_(std::move(store)) {}
        ~Lease()
        {
            if (store_ && !std::uncaught_exceptions())
                pool_.giveBack(std::move(store_));
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        LadderStore& operator*() const { return *store_; }
        LadderStore* operator->() const { return store_.get(); }

    private:
        StorePool& pool_;
        std::unique_ptr<LadderStore> store_;
    };

    explicit StorePool(Opener open) : open_(std::move(open)) {}

    // A failed request's connection is not given back: it may be broken.
    Lease borrow()
    {
        {
            const std::lock_guard lock(mutex_);
            if (!free_.empty()) {
                std::unique_ptr<LadderStore> store = std::move(free_.back());
                free_.pop_back();
                return Lease(*this, std::move(store));
            }
        }
        return Lease(*this, open_());
    }

private:
    void giveBack(std::unique_ptr<LadderStore> store)
    {
        const std::lock_guard lock(mutex_);
        free_.push_back(std::move(store));
    }

    Opener open_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<LadderStore>> free_;
};

} // namespace vorlen::ladder
