#pragma once

#include <linux/filter.h>

#include <string>
#include <vector>

// What a bot may not ask of the kernel in its box: a seccomp filter that
// refuses a few system calls (EPERM, never a kill) and tells the box's
// launcher of each, so that the referee can say which one a failed bot made.
namespace vorlen::box {

// How a refused call is refused: through the launcher, which answers EPERM
// and remembers the call, or by the kernel alone (where the kernel cannot
// notify).
enum class Refusal { Notify, Error };

// The filter's program, for this machine's architecture. Calls of another
// architecture (32-bit calls of a 64-bit process) are refused outright.
std::vector<sock_filter> filterProgram(Refusal refusal);

// The name of a system call the filter refuses, by its number; "system
// call N" for any other.
std::string refusedCallName(long number);

// The launcher's end of the notifications of refused calls.
struct FilterListener {
    int fd = -1;              // -1: calls are refused without a word
    bool installed = false;   // whether any filter holds
    std::size_t askedSize = 0; // the kernel's sizes of a notification and of its answer
    std::size_t answerSize = 0;
};

// Installs the filter on this process and everything it starts: one that
// notifies where the kernel can, else one that refuses on its own.
FilterListener installFilter();

// Takes one notification and refuses its call (EPERM); the call's number,
// or -1 when there was none to take. Makes no call the filter refuses.
long refuseNotified(const FilterListener& listener);

} // namespace vorlen::box
