#include "MatchRecord.h"

#include <cmath>
#include <string>

namespace vorlen::match {

std::string MatchRecord::winner() const
{
    if (seats[0].score == seats[1].score)
        return "D";
    return seats[0].score > seats[1].score ? seats[0].player : seats[1].player;
}

MoveTimes asRecorded(MoveTimes times)
{
    const auto micro = [](double ms) { return std::round(ms * 1000.0) / 1000.0; };
    times.meanMs = micro(times.meanMs);
    times.maxMs = micro(times.maxMs);
    return times;
}

double MatchRecord::pointsOf(const std::string& player) const
{
    const std::string won = winner();
    return won == "D" ? 0.5 : won == player ? 1.0 : 0.0;
}

} // namespace vorlen::match
