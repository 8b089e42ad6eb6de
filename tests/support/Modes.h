#pragma once

#include "BotGroups.h"
#include "Sandbox.h"
#include "SandboxProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlen::testing {

// Bots run plain (the referee a child subreaper) or in the sandbox.
enum class Mode { Plain, Sandbox };

inline std::string modeName(const ::testing::TestParamInfo<Mode>& info)
{
    return info.param == Mode::Plain ? "Plain" : "Sandbox";
}

// For a fixture's SetUp: makes this process the reaper of escaped bots, or
// skips the test where the sandbox cannot run.
inline void prepareMode(Mode mode)
{
    if (mode == Mode::Plain) {
        ASSERT_TRUE(becomeChildSubreaper());
        return;
    }
    std::string why;
    if (!probeSandbox(findSandbox(), why))
        GTEST_SKIP() << "the sandbox cannot run here: " << why;
}

} // namespace vorlen::testing
