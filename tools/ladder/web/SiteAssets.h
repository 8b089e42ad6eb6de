#pragma once

#include <string_view>

namespace vorlen::ladder {

// The site's few style rules beside the report's style sheet.
std::string_view siteStyle();
// What keeps a page marked live current without reloading it: every few
// seconds, while it is shown, the page is fetched again and its live part
// put in where it changed. Reading needs no script.
std::string_view siteScript();

} // namespace vorlen::ladder
