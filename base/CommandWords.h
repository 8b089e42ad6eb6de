#pragma once

#include <string>
#include <vector>

namespace vorlen {

// A command line split into program and arguments, as a shell would for
// plain words and double quotes: words part at blanks, a double-quoted part
// stays one word ("my bot.py" is one), and three quotes in a row make one
// literal quote. Single quotes, backslashes, '$' and the rest are plain
// characters: no shell is involved. The bytes pass through unchanged,
// whatever the locale's encoding.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// Whether a double quote opened in the command line is left open.
bool quoteLeftOpen(const std::string& commandLine);

} // namespace vorlen
