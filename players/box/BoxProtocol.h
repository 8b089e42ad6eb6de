#pragma once

#include <cstdint>
#include <string>
#include <sys/resource.h>
#include <vector>

// What the referee and a box's launcher say to each other over their socket
// pair: one message a packet, file descriptors riding along.
namespace vorlen::box {

enum class Kind : std::uint32_t {
    Ready,  // launcher: the box is up; fds: its seat folder and its /dev/shm
    Run,    // referee: start a bot; payload: its argv (argc words), then its environment, each word
            // NUL-terminated; fds: its stdin, stdout, stderr
    End,    // referee: end the run now
    Ended,  // launcher, once a run, when its first process ended or when told to end it: every
            // process but the launcher ended and reaped; how the first one ended, or why it
            // could not start (error), and the first call its filter refused
    Wipe,   // referee, between matches: end every process and empty the box's own folders
    Wiped,  // launcher: done; status 0 when everything was removed
};

// Files a box's file system may hold per MiB of its size: what those files
// cost the kernel stays in proportion to the disk a bot is given.
inline constexpr std::int64_t kFilesPerMiB = 1024;

// The limits a bot runs under, set in its process before it starts.
struct Rlimits {
    rlimit data{RLIM_INFINITY, RLIM_INFINITY};
    rlimit cpu{RLIM_INFINITY, RLIM_INFINITY};
    rlimit fileSize{RLIM_INFINITY, RLIM_INFINITY};
    rlimit openFiles{RLIM_INFINITY, RLIM_INFINITY};
    rlimit tasks{RLIM_INFINITY, RLIM_INFINITY};
};

struct Message {
    Kind kind = Kind::Ready;
    std::int32_t status = 0;     // a wait status
    std::int32_t error = 0;      // errno of a bot that could not start
    std::int64_t cpuMicros = 0;  // user and system time of the bot's first process
    std::int64_t peakKiB = 0;    // its largest resident size
    std::int32_t refusedCall = -1; // Ended: the first system call of the run the box refused; -1: none
    Rlimits limits;              // Run
    std::int64_t fileLimit = 0;  // Run: files each of the box's own file systems may hold; 0: any number
    std::int32_t argc = 0;       // Run: how many of the payload's words are its argv
};

inline constexpr std::size_t kMaxPayload = 60 * 1024;
inline constexpr int kMaxFds = 3;

// False when the peer is gone or the message did not fit.
bool send(int socket, const Message& message, const std::string& payload = {}, const std::vector<int>& fds = {});

// One message; the fds that came with it are the caller's to close. False at
// the end of the stream or on a malformed packet (whose fds are closed).
bool receive(int socket, Message& message, std::string& payload, std::vector<int>& fds);

} // namespace vorlen::box
