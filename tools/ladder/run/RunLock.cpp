#include "RunLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace vorlen::ladder {

RunLock::RunLock(const std::string& path, std::chrono::milliseconds patience, const std::string& busy) : file_(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600))
{
    if (!file_.valid()) {
        why_ = "cannot open '" + path + "': " + std::strerror(errno);
        return;
    }
    const auto until = std::chrono::steady_clock::now() + patience;
    while (::flock(file_.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            why_ = "cannot lock '" + path + "': " + std::strerror(errno);
            return;
        }
        if (std::chrono::steady_clock::now() >= until) {
            why_ = busy;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    held_ = true;
}

} // namespace vorlen::ladder
