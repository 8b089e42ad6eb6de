#pragma once

#include <ctime>
#include <string>

namespace vorlen {

// A moment as records, ladders and pages stamp it: "2026-12-11T12:00:00Z".
inline std::string isoTime(std::time_t at)
{
    std::tm utc{};
    gmtime_r(&at, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

inline std::string utcNow() { return isoTime(std::time(nullptr)); }

} // namespace vorlen
