#pragma once

// A seat folder's files in a replay: {"files": [{"path": P, "base64": B}],
// "cut": N}, the bytes as base64 since a bot's files need not be text.
#include "ReplayJson.h"
#include "SeatFiles.h"

#include <optional>
#include <string>

namespace vorlen::replay_json {

Json seatFilesJson(const SeatFiles& files);

// None, with what is wrong, for anything a seat folder could not have held
// as kept: a path that leaves the folder, more files or bytes than kept.
std::optional<SeatFiles> readSeatFilesJson(const Json& value, std::string& problem);

} // namespace vorlen::replay_json
