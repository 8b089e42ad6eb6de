#pragma once

#include "FileDescriptor.h"

#include <chrono>
#include <string>

namespace vorlen::ladder {

// The one run a ladder has at a time (or the one hand adding a bot's
// version): an exclusive lock on a file in its folder, held while the object
// lives and let go by the kernel when the process dies however it dies.
class RunLock {
public:
    // Tries for up to `patience`; held() says whether it got it, why() why
    // not (`busy` when another holds it).
    explicit RunLock(const std::string& path, std::chrono::milliseconds patience = std::chrono::milliseconds(0),
                     const std::string& busy = "another run plays this ladder now");
    bool held() const { return held_; }
    const std::string& why() const { return why_; }

private:
    FileDescriptor file_;
    bool held_ = false;
    std::string why_;
};

} // namespace vorlen::ladder
