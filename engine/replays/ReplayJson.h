#pragma once

// What writing and reading replays share: the JSON type and how seats,
// winners and scores are written.
#include "Field.h"

#include <nlohmann/json.hpp>

#include <string>

namespace vorlen::replay_json {

using Json = nlohmann::ordered_json;

inline constexpr const char* kSeatNames[] = {"first", "second"};

inline std::string winnerName(int seat) { return seat < 0 ? "draw" : kSeatNames[seat]; }

inline Json scoresJson(const ScorePair& score) { return Json::array({score.first, score.second}); }

} // namespace vorlen::replay_json
