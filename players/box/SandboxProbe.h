#pragma once

#include "Sandbox.h"

#include <string>

namespace vorlen {

// Whether a box can run a bot here. On failure `why` tells what is missing
// and how to get it.
bool probeSandbox(const SandboxPlan& plan, std::string& why);

} // namespace vorlen
