#include "SprtRun.h"

#include <cmath>
#include <cstdio>

namespace vorlen::match {

void SprtRun::add(const MatchRecord& record)
{
    if (record.game < nextGame_ || decided())
        return;
    waiting_.emplace(record.game, record.pointsOf(first_));
    countReady();
}

void SprtRun::countReady()
{
    const int size = pairs_ ? 2 : 1;
    while (!decided()) {
        const auto first = waiting_.find(nextGame_);
        const auto second = waiting_.find(nextGame_ + 1);
        if (first == waiting_.end() || (pairs_ && second == waiting_.end()))
            return;
        if (pairs_) {
            const double points = first->second + second->second;
            ++pentanomial_[static_cast<std::size_t>(points * 2)];
            llr_ = pentanomialLlr_(pentanomial_);
            waiting_.erase(second);
        } else {
            ++trinomial_[static_cast<std::size_t>(first->second * 2)];
            llr_ = trinomialLlr_(trinomial_);
        }
        waiting_.erase(first);
        nextGame_ += size;
        verdict_ = verdictOf(llr_, settings_);
    }
}

Count SprtRun::samples() const
{
    Count total = 0;
    for (const Count count : trinomial_)
        total += count;
    for (const Count count : pentanomial_)
        total += count;
    return total;
}

std::string SprtRun::text() const
{
    char line[160];
    // What rounds to nothing has no sign: never "-0.00".
    const double llr = std::fabs(llr_) < 0.005 ? 0.0 : llr_;
    std::snprintf(line, sizeof line, "LLR %.2f (%.2f, %.2f)%s", llr, settings_.lowerBound(), settings_.upperBound(),
                  verdict_ == SprtVerdict::H1   ? ": H1 accepted"
                  : verdict_ == SprtVerdict::H0 ? ": H0 accepted"
                                                : "");
    return line;
}

} // namespace vorlen::match
