#pragma once

// What is said of a JSON text before and as it is parsed: how deep its
// brackets nest, and where in it a parse stopped.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorlen::replay_json {

// How deep brackets nest outside strings.
int nestingDepth(std::string_view text);

// Where a parse stopped, as a reader counts: "line L, column C", both from 1.
std::string placeOf(std::string_view text, std::size_t byte);

} // namespace vorlen::replay_json
