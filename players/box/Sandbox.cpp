#include "Sandbox.h"

#include "CommandLine.h"

#include <filesystem>
#include <unistd.h>

namespace vorlen {
namespace {

namespace fs = std::filesystem;

std::string executableBeside(const char* name)
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    // Installed: PREFIX/bin/vorlen beside PREFIX/libexec/vorlen/vorlen-box.
    const fs::path installed = self.parent_path().parent_path() / "libexec" / "vorlen" / name;
    if (::access(installed.c_str(), X_OK) == 0)
        return installed.string();
    return {};
}

} // namespace

SandboxPlan findSandbox()
{
    std::string why;
    SandboxPlan plan{findExecutable("bwrap", fs::current_path().string(), why), executableBeside("vorlen-box")};
#ifdef VORLEN_BOX_BUILT
    if (plan.launcher.empty() && ::access(VORLEN_BOX_BUILT, X_OK) == 0)
        plan.launcher = VORLEN_BOX_BUILT;
#endif
    return plan;
}

} // namespace vorlen
