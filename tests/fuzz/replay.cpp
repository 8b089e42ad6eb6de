// A replay file: read, then checked move by move against the rules.
#include "ReplayFile.h"
#include "ReplayPlayback.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vorlen::Replay replay;
    std::string error;
    if (!vorlen::parseReplay(std::string_view(reinterpret_cast<const char*>(data), size), replay, error))
        return 0;
    vorlen::checkReplay(replay, error);
    return 0;
}
