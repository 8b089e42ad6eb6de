#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorlen {

// The option someone most likely meant by `unknown` (without dashes): what
// other testers call ours ("rounds" for "games", "threads" for
// "concurrency"), or one of `known` a typo or two away. None when nothing
// is close. Both programs suggest with it.
std::optional<std::string> nearestOption(const std::string& unknown, const std::vector<std::string>& known);

} // namespace vorlen
