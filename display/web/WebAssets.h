#pragma once

#include <string_view>

namespace vorlen {

// The script and style sheet every report page shares, as built in.
std::string_view webScript();
std::string_view webStyle();

} // namespace vorlen
