#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace vorlen::ladder {

// What the search players make of a landed match's positions, kept once
// made: a match never changes. One is made at a time, whatever the number
// of visitors asking: a search costs the server what a page never should.
class EvaluationCache {
public:
    explicit EvaluationCache(std::size_t most = 256) : most_(most) {}

    enum class Outcome { Made, Busy, Failed };
    struct Answer {
        Outcome outcome = Outcome::Failed;
        std::string json;
    };
    // The evaluation of (match, level): kept, or made by `make` when no
    // other is being made (Busy otherwise); an empty text made is Failed.
    Answer get(std::int64_t match, int level, const std::function<std::string()>& make);

private:
    using Key = std::pair<std::int64_t, int>;
    std::optional<std::string> kept(const Key& key);

    std::size_t most_;
    std::mutex keptLock_;
    std::list<std::pair<Key, std::string>> kept_; // the latest used first
    std::mutex making_;
};

} // namespace vorlen::ladder
