#pragma once

#include "Field.h"

#include <optional>
#include <string>
#include <string_view>

namespace vorlen {

// A board as "vorla.in" holds it: one line per row from row 0, each cell as
// a decimal number with no separator, every line ended by a line end.
std::string buildInput(const Field& board);

// Reads that text for a full board (41 lines of 45 digits 1 to 6; the last
// line end may be missing). Why not, naming the line, when it is not one.
std::optional<std::string> parseBoardText(std::string_view text, Field& board);

} // namespace vorlen
