#include "SeatCommand.h"

#include "StreamPlayer.h"

namespace vorlen {

SeatCommand parseSeatCommand(const std::string& text)
{
    SeatCommand given;
    given.command = text;
    const std::string prefix = kStreamPrefix;
    if (given.command.rfind(prefix, 0) == 0) {
        given.stream = true;
        given.command.erase(0, prefix.size());
    }
    // The last one: a command line may hold the words itself, a path never
    // ends in them.
    const std::size_t dir = given.command.rfind(kOwnDirSuffix);
    if (dir != std::string::npos) {
        given.ownDir = given.command.substr(dir + std::string(kOwnDirSuffix).size());
        given.command.erase(dir);
    }
    return given;
}

} // namespace vorlen
