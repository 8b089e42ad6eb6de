#pragma once

#include <string>
#include <string_view>

namespace vorlen {

// Text from a bot, a file or a command line as a terminal may show it: the
// control characters of C0, DEL and C1 (U+0080 to U+009F), the
// bidirectional controls (U+202A to U+202E, U+2066 to U+2069, the marks)
// and every byte of malformed UTF-8 written out as \xNN, so that no escape
// sequence reaches the terminal and nothing reorders the text around it.
// Line ends ("\n", "\r") are kept where asked: our own output's.
std::string terminalSafe(std::string_view text, bool keepLineEnds = false);

} // namespace vorlen
