#pragma once

#include "Field.h"

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace vorlen {

inline constexpr const char* kInputFileName = "vorla.in";
inline constexpr const char* kOutputFileName = "vorla.out";

// The text of "vorla.in": one line per row from row 0, each cell as a decimal
// number with no separator, every line ended by a line end.
std::string buildInput(const Field& board);

// The move at the start of "vorla.out", read as formatted stream input does:
// white space skipped, an optional sign, digits; what follows is ignored.
// Nothing when there is no integer or it does not fit an int.
std::optional<int> parseMove(std::istream& in);

// A command line split into program and arguments; a double-quoted part
// stays one argument. No shell is involved.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// The same command line with every argument that names an existing file or
// directory relative to `base` made absolute, for a bot that runs in another
// directory: "python3 bot.py" or "./mybot" keep working there.
std::string anchorCommandLine(const std::string& commandLine, const std::string& base);

} // namespace vorlen
