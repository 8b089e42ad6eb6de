#pragma once

#include "Sandbox.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlen::testing {

// What holds the boxes: control groups where the runner may make them, or
// the limits of each process alone.
enum class Governance { ControlGroups, Rlimits };

inline std::string governanceName(const ::testing::TestParamInfo<Governance>& info)
{
    return info.param == Governance::ControlGroups ? "ControlGroups" : "Rlimits";
}

// The sandbox found here, held as `governance` says.
inline SandboxPlan planFor(Governance governance)
{
    SandboxPlan plan = findSandbox();
    plan.controlGroups = governance == Governance::ControlGroups;
    return plan;
}

} // namespace vorlen::testing
