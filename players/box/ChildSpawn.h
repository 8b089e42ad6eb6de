#pragma once

#include <csignal>
#include <sys/resource.h>
#include <sys/types.h>

namespace vorlen {

// Who a bot is when the referee runs as root: nobody.
inline constexpr unsigned kUnprivilegedUser = 65534;

// What the child of a spawn does between fork and exec: prepared in full by
// the parent, since the child may not allocate.
struct ChildSetup {
    char* const* argv = nullptr;
    const char* file = nullptr;    // what to run; null: argv[0], looked up in the parent's PATH
    char* const* envp = nullptr;   // null: the parent's
    int workDirFd = -1;            // -1: stay where the parent is
    int inFd = -1;                 // standard input, output and error
    int outFd = -1;
    int errFd = -1;
    int passFd = -1;               // becomes fd 3 of the child; -1: none
    const rlimit* limits = nullptr; // data, CPU, file size, open files; null: the parent's
    const int* joinFds = nullptr;  // "cgroup.procs" files the child joins by writing "0"
    int joinCount = 0;
    bool dropToNobody = false;     // give up root for the unprivileged user
};

// Starts the program in a session of its own, with a fresh signal set-up,
// dying with the parent: with the calling thread, as the kernel's
// parent-death signal follows the thread, not the process. -1 with `error`
// set when it could not start.
pid_t spawnChild(const ChildSetup& setup, int& error);

} // namespace vorlen
