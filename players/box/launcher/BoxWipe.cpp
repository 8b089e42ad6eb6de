#include "BoxWipe.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <sys/sem.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vorlen::box {
namespace {

// Removes everything in the folder `dir` (not the folder itself), but the
// entry named `keep` and what the box was made with: the mount points of
// the folders it shows (and the folders that lead to them). A folder the bot
// made unreadable is opened up first. Never follows a link.
bool emptyFolder(int dir, const char* keep)
{
    struct stat folder {};
    DIR* entries = ::fstat(dir, &folder) == 0 ? ::fdopendir(::fcntl(dir, F_DUPFD_CLOEXEC, 0)) : nullptr;
    if (!entries)
        return false;
    bool emptied = true;
    while (const dirent* entry = ::readdir(entries)) {
        const char* name = entry->d_name;
        struct stat info {};
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || (keep && std::strcmp(name, keep) == 0)
            || ::fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || info.st_dev != folder.st_dev)
            continue;
        if (!S_ISDIR(info.st_mode)) {
            emptied = ::unlinkat(dir, name, 0) == 0 && emptied;
            continue;
        }
        ::fchmodat(dir, name, 0700, 0);
        const int inner = ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const bool innerEmptied = inner >= 0 && emptyFolder(inner, nullptr);
        if (inner >= 0)
            ::close(inner);
        // A folder that leads to a mount point stays, empty but for it.
        if (::unlinkat(dir, name, AT_REMOVEDIR) != 0 && (errno != ENOTEMPTY && errno != EBUSY))
            emptied = false;
        emptied = innerEmptied && emptied;
    }
    ::closedir(entries);
    return emptied;
}

bool emptyPath(const char* path, const char* keep)
{
    const int dir = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    const bool emptied = emptyFolder(dir, keep);
    ::close(dir);
    return emptied;
}

// Every System V IPC object of the box's own namespace, by its index.
void removeIpcObjects()
{
    shmid_ds shm{};
    const int shmMax = ::shmctl(0, SHM_INFO, reinterpret_cast<shmid_ds*>(&shm));
    for (int index = 0; index <= shmMax; ++index)
        if (const int id = ::shmctl(index, SHM_STAT, &shm); id >= 0)
            ::shmctl(id, IPC_RMID, nullptr);
    semid_ds sem{};
    seminfo semInfo{};
    const int semMax = ::semctl(0, 0, SEM_INFO, &semInfo);
    for (int index = 0; index <= semMax; ++index)
        if (const int id = ::semctl(index, 0, SEM_STAT, &sem); id >= 0)
            ::semctl(id, 0, IPC_RMID);
    msqid_ds msg{};
    const int msgMax = ::msgctl(0, MSG_INFO, &msg);
    for (int index = 0; index <= msgMax; ++index)
        if (const int id = ::msgctl(index, MSG_STAT, &msg); id >= 0)
            ::msgctl(id, IPC_RMID, nullptr);
}

} // namespace

bool wipeBox()
{
    removeIpcObjects();
    const bool seat = emptyPath("/tmp/seat", nullptr);
    const bool tmp = emptyPath("/tmp", "seat");
    const bool shm = emptyPath("/dev/shm", nullptr);
    // The box's own message queues show as files there.
    const bool queues = emptyPath("/dev/mqueue", nullptr);
    return seat && tmp && shm && queues;
}

LauncherState launcherState()
{
    LauncherState state;
    errno = 0;
    state.nice = ::getpriority(PRIO_PROCESS, 0);
    for (int resource = 0; resource < RLIM_NLIMITS; ++resource)
        ::getrlimit(static_cast<__rlimit_resource>(resource), &state.limits[static_cast<std::size_t>(resource)]);
    CPU_ZERO(&state.cores);
    ::sched_getaffinity(0, sizeof state.cores, &state.cores);
    state.policy = ::sched_getscheduler(0);
    state.ioPriority = static_cast<int>(::syscall(SYS_ioprio_get, 1 /* IOPRIO_WHO_PROCESS */, 0));
    return state;
}

bool sameState(const LauncherState& a, const LauncherState& b)
{
    for (std::size_t i = 0; i < a.limits.size(); ++i)
        if (a.limits[i].rlim_cur != b.limits[i].rlim_cur || a.limits[i].rlim_max != b.limits[i].rlim_max)
            return false;
    return a.nice == b.nice && CPU_EQUAL(&a.cores, &b.cores) && a.policy == b.policy && a.ioPriority == b.ioPriority;
}

} // namespace vorlen::box
