#include "BoxFilter.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/seccomp.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vorlen::box {
namespace {

#if defined(__x86_64__)
constexpr std::uint32_t kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t kArch = AUDIT_ARCH_AARCH64;
#else
#error "the box's system call filter knows x86_64 and aarch64"
#endif

// When a call is refused: always, or only for some values of its arguments.
enum class When {
    Always,
    OtherSocketFamily, // a family other than Unix, IPv4 and IPv6
    OtherPersonality,  // an execution domain other than Linux's own
    LockCommand,       // fcntl's record locks
    SeccompCommand,    // prctl's way to install a filter
};

// What becomes of the call.
enum class Action {
    Refuse,  // EPERM, and the launcher is told
    Pretend, // it succeeds and does nothing
};

struct Rule {
    long number;
    const char* name;
    When when = When::Always;
    Action action = Action::Refuse;
};

#define VORLEN_REFUSE(call, ...) Rule{SYS_##call, #call __VA_OPT__(, ) __VA_ARGS__}

// The profile, modelled on the default profiles of container runtimes: what
// no bot needs and some could use against the machine, the organiser or
// their opponent.
const Rule kRules[] = {
    // The kernel's keyrings are shared by a user's processes across boxes:
    // the organiser's secrets, and a channel between seats and matches.
    VORLEN_REFUSE(keyctl),
    VORLEN_REFUSE(add_key),
    VORLEN_REFUSE(request_key),
    // The box's own network namespace confines Unix and internet sockets
    // only: vsock reaches the hypervisor, netlink and others the kernel.
    VORLEN_REFUSE(socket, When::OtherSocketFamily),
    VORLEN_REFUSE(socketpair, When::OtherSocketFamily),
    // Much of the kernel's attack surface, and nothing a bot plays with.
    VORLEN_REFUSE(bpf),
    VORLEN_REFUSE(perf_event_open),
    VORLEN_REFUSE(userfaultfd),
    VORLEN_REFUSE(io_uring_setup),
    VORLEN_REFUSE(io_uring_enter),
    VORLEN_REFUSE(io_uring_register),
    // Looking into other processes, or changing what a process is.
    VORLEN_REFUSE(ptrace),
    VORLEN_REFUSE(process_vm_readv),
    VORLEN_REFUSE(process_vm_writev),
    VORLEN_REFUSE(personality, When::OtherPersonality),
    // A filter of the bot's own could answer for ours: no bot installs one.
    VORLEN_REFUSE(seccomp),
    VORLEN_REFUSE(prctl, When::SeccompCommand),
    // File systems, the machine and its clock are the organiser's.
    VORLEN_REFUSE(mount),
    VORLEN_REFUSE(umount2),
    VORLEN_REFUSE(pivot_root),
    VORLEN_REFUSE(fsopen),
    VORLEN_REFUSE(fsmount),
    VORLEN_REFUSE(fsconfig),
    VORLEN_REFUSE(move_mount),
    VORLEN_REFUSE(open_tree),
    VORLEN_REFUSE(kexec_load),
    VORLEN_REFUSE(kexec_file_load),
    VORLEN_REFUSE(init_module),
    VORLEN_REFUSE(finit_module),
    VORLEN_REFUSE(delete_module),
    VORLEN_REFUSE(swapon),
    VORLEN_REFUSE(swapoff),
    VORLEN_REFUSE(reboot),
    VORLEN_REFUSE(settimeofday),
    VORLEN_REFUSE(clock_settime),
    VORLEN_REFUSE(clock_adjtime),
    VORLEN_REFUSE(adjtimex),
    VORLEN_REFUSE(syslog),
    VORLEN_REFUSE(acct),
    // Locks on files both boxes see (the system's, read-only) would be a
    // channel between opponents: a bot's locks succeed and lock nothing
    // (programs such as the JVM take them as a matter of course).
    VORLEN_REFUSE(flock, When::Always, Action::Pretend),
    VORLEN_REFUSE(fcntl, When::LockCommand, Action::Pretend),
    // Watches on those files would tell one box when the other reads them.
    VORLEN_REFUSE(inotify_init1),
    VORLEN_REFUSE(fanotify_init),
#ifdef SYS_inotify_init
    VORLEN_REFUSE(inotify_init),
#endif
#ifdef SYS_iopl
    VORLEN_REFUSE(iopl),
    VORLEN_REFUSE(ioperm),
#endif
};

#undef VORLEN_REFUSE

constexpr std::uint32_t kErrno = SECCOMP_RET_ERRNO | EPERM;

sock_filter statement(std::uint16_t code, std::uint32_t value) { return BPF_STMT(code, value); }
sock_filter jumpIfEqual(std::uint32_t value, std::uint8_t skipIfNot) { return BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, value, 0, skipIfNot); }

// The low 32 bits of argument `index` (what ints and commands are passed in).
std::uint32_t argumentLow(int index)
{
    const std::size_t at = offsetof(seccomp_data, args) + sizeof(std::uint64_t) * static_cast<std::size_t>(index);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return static_cast<std::uint32_t>(at + 4);
#else
    return static_cast<std::uint32_t>(at);
#endif
}

// A rule's test of its arguments, ending in a return either way.
std::vector<sock_filter> argumentTest(When when, std::uint32_t action)
{
    // Values for which the call goes on, or meets the rule's action.
    struct Test {
        int argument = 0;
        std::vector<std::uint32_t> values;
        bool valuesAreAllowed = false;
    };
    Test test;
    switch (when) {
    case When::Always:
        return {statement(BPF_RET | BPF_K, action)};
    case When::OtherSocketFamily:
        test = {0, {AF_UNIX, AF_INET, AF_INET6}, true};
        break;
    case When::OtherPersonality:
        // Linux's own domain, as 32-bit programs and old uname() see it, and the query.
        test = {0, {0x0, 0x8, 0x20000, 0x20008, 0xffffffffU}, true};
        break;
    case When::LockCommand:
        // Asking which lock is held stays real: no box holds one.
        test = {1, {F_SETLK, F_SETLKW, F_OFD_SETLK, F_OFD_SETLKW}, false};
        break;
    case When::SeccompCommand:
        test = {0, {PR_SET_SECCOMP}, false};
        break;
    }
    std::vector<sock_filter> program{statement(BPF_LD | BPF_W | BPF_ABS, argumentLow(test.argument))};
    const std::uint32_t onMatch = test.valuesAreAllowed ? SECCOMP_RET_ALLOW : action;
    const std::uint32_t otherwise = test.valuesAreAllowed ? action : SECCOMP_RET_ALLOW;
    for (const std::uint32_t value : test.values) {
        program.push_back(jumpIfEqual(value, 1));
        program.push_back(statement(BPF_RET | BPF_K, onMatch));
    }
    program.push_back(statement(BPF_RET | BPF_K, otherwise));
    return program;
}

} // namespace

std::vector<sock_filter> filterProgram(Refusal refusal)
{
    const std::uint32_t refuse = refusal == Refusal::Notify ? SECCOMP_RET_USER_NOTIF : kErrno;
    std::vector<sock_filter> program{
        statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
        statement(BPF_RET | BPF_K, kErrno),
    };
#if defined(__x86_64__)
    // x32 calls share the architecture, with a high bit in their numbers.
    program.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 0x40000000U, 0, 1));
    program.push_back(statement(BPF_RET | BPF_K, kErrno));
#endif
    for (const Rule& rule : kRules) {
        const std::uint32_t action = rule.action == Action::Pretend ? SECCOMP_RET_ERRNO | 0U : refuse;
        const std::vector<sock_filter> test = argumentTest(rule.when, action);
        program.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
        program.push_back(jumpIfEqual(static_cast<std::uint32_t>(rule.number), static_cast<std::uint8_t>(test.size())));
        program.insert(program.end(), test.begin(), test.end());
    }
    program.push_back(statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    return program;
}

std::string refusedCallName(long number)
{
    for (const Rule& rule : kRules)
        if (rule.number == number)
            return rule.name;
    return "system call " + std::to_string(number);
}

FilterListener installFilter()
{
    FilterListener listener;
    seccomp_notif_sizes sizes{};
    // Asked now: seccomp() itself is refused once the filter holds.
    const bool canNotify = ::syscall(SYS_seccomp, SECCOMP_GET_NOTIF_SIZES, 0, &sizes) == 0;
    listener.askedSize = std::max<std::size_t>(sizes.seccomp_notif, sizeof(seccomp_notif));
    listener.answerSize = std::max<std::size_t>(sizes.seccomp_notif_resp, sizeof(seccomp_notif_resp));
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return listener;
    for (const Refusal refusal : {Refusal::Notify, Refusal::Error}) {
        if (refusal == Refusal::Notify && !canNotify)
            continue;
        std::vector<sock_filter> program = filterProgram(refusal);
        const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
        const unsigned flags = refusal == Refusal::Notify ? SECCOMP_FILTER_FLAG_NEW_LISTENER : 0;
        const long result = ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, flags, &filter);
        if (result < 0)
            continue;
        listener.installed = true;
        listener.fd = refusal == Refusal::Notify ? static_cast<int>(result) : -1;
        break;
    }
    return listener;
}

long refuseNotified(const FilterListener& listener)
{
    // The kernel's structures may have grown: room for what it said.
    std::vector<unsigned char> asked(listener.askedSize);
    std::vector<unsigned char> answer(listener.answerSize);
    auto* notification = reinterpret_cast<seccomp_notif*>(asked.data());
    if (listener.fd < 0 || ::ioctl(listener.fd, SECCOMP_IOCTL_NOTIF_RECV, notification) != 0)
        return -1;
    auto* response = reinterpret_cast<seccomp_notif_resp*>(answer.data());
    response->id = notification->id;
    response->error = -EPERM;
    response->val = 0;
    response->flags = 0;
    // A caller killed meanwhile leaves nothing to answer: still refused.
    ::ioctl(listener.fd, SECCOMP_IOCTL_NOTIF_SEND, response);
    return notification->data.nr;
}

} // namespace vorlen::box
