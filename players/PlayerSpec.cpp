#include "PlayerSpec.h"

#include "StreamPlayer.h"

namespace vorlen {

ProgramSpec parseProgramSpec(const std::string& text)
{
    ProgramSpec spec;
    spec.command = text;
    const std::string prefix = kStreamPrefix;
    if (spec.command.rfind(prefix, 0) == 0) {
        spec.stream = true;
        spec.command.erase(0, prefix.size());
    }
    // The last one: a command line may hold the words itself, a path never
    // ends in them.
    const std::size_t dir = spec.command.rfind(kOwnDirSuffix);
    if (dir != std::string::npos) {
        spec.ownDir = spec.command.substr(dir + std::string(kOwnDirSuffix).size());
        spec.command.erase(dir);
    }
    return spec;
}

} // namespace vorlen
