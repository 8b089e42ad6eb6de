#pragma once

#include "BoardText.h"
#include "Field.h"

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

namespace vorlen {

inline constexpr const char* kInputFileName = "vorla.in";
inline constexpr const char* kOutputFileName = "vorla.out";
// An answer is one integer: what follows the first bytes is never read. A
// stream bot's answer line longer than this is no answer.
inline constexpr std::size_t kAnswerCapBytes = 4096;

// The move at the start of "vorla.out", read as formatted stream input does:
// white space skipped, an optional sign, digits; what follows is ignored.
// Nothing when there is no integer or it does not fit an int.
std::optional<int> parseMove(std::istream& in);
std::optional<int> parseMove(const std::string& text);

// A stream bot's answer line: one integer (an optional sign and digits) and
// nothing else but blanks around it. Any other line ("9 nodes searched") is
// chatter, never an answer.
std::optional<int> parseAnswerLine(const std::string& line);

} // namespace vorlen
