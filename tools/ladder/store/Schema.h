#pragma once

#include <string>
#include <vector>

namespace vorlen::ladder {

// The ladder's tables, as the migrations that make them: migration k takes
// a database at version k to k + 1, and a database records its version, so
// that an older ladder is brought up to date when it is opened and a newer
// one is refused rather than misread.
const std::vector<std::string>& migrations();

} // namespace vorlen::ladder
