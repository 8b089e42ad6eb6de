#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlen {

// Bytes as text that any JSON holds, and back (RFC 4648, padded); none for
// text that is not such.
std::string toBase64(std::string_view bytes);
std::optional<std::string> fromBase64(std::string_view text);

} // namespace vorlen
