#include "SandboxProbe.h"

#include "Box.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlen {

bool probeSandbox(const SandboxPlan& plan, std::string& why)
{
    if (plan.bwrap.empty()) {
        why = "bubblewrap (bwrap) is not installed; get it with: apt-get install bubblewrap";
        return false;
    }
    if (plan.launcher.empty()) {
        why = "the box launcher vorlen-box is missing; reinstall vorlen";
        return false;
    }
    // Run as any bot is, so that it fails here if it would fail for a bot.
    BotGroups groups;
    Box box;
    BotLimits limits;
    std::string error;
    if (!box.start(plan, {}, limits, groups, error)) {
        why = error + " (user namespaces may be off: see 'sysctl user.max_user_namespaces' and "
                      "'kernel.unprivileged_userns_clone')";
        return false;
    }
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const bool ran = box.run({"/bin/sh", "-c", "echo 1 > probe"}, {}, null, null, null, limits, false, error);
    ::close(null);
    while (ran && !box.takeNews()) {
        pollfd fd{box.socket(), POLLIN, 0};
        ::poll(&fd, 1, 1000);
    }
    const BoxRunEnd ended = box.endRun();
    struct stat written {};
    const bool wrote = ::fstatat(box.seatDir(), "probe", &written, AT_SYMLINK_NOFOLLOW) == 0;
    if (ran && ended.error == 0 && WIFEXITED(ended.status) && WEXITSTATUS(ended.status) == 0 && wrote)
        return true;
    why = "a bot cannot run in the sandbox here: " + (error.empty() ? "the probe did not answer" : error);
    return false;
}

} // namespace vorlen
