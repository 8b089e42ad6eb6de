#include "BoxProtocol.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlen::box {
namespace {

union ControlBuffer {
    char bytes[CMSG_SPACE(sizeof(int) * kMaxFds)];
    cmsghdr align;
};

} // namespace

bool send(int socket, const Message& message, const std::string& payload, const std::vector<int>& fds)
{
    if (payload.size() > kMaxPayload || fds.size() > static_cast<std::size_t>(kMaxFds))
        return false;
    iovec parts[2] = {{const_cast<Message*>(&message), sizeof message},
                      {const_cast<char*>(payload.data()), payload.size()}};
    msghdr header{};
    header.msg_iov = parts;
    header.msg_iovlen = payload.empty() ? 1 : 2;
    ControlBuffer control{};
    if (!fds.empty()) {
        header.msg_control = control.bytes;
        header.msg_controllen = CMSG_SPACE(sizeof(int) * fds.size());
        cmsghdr* fdsHeader = CMSG_FIRSTHDR(&header);
        fdsHeader->cmsg_level = SOL_SOCKET;
        fdsHeader->cmsg_type = SCM_RIGHTS;
        fdsHeader->cmsg_len = CMSG_LEN(sizeof(int) * fds.size());
        std::memcpy(CMSG_DATA(fdsHeader), fds.data(), sizeof(int) * fds.size());
    }
    for (;;) {
        const ssize_t sent = ::sendmsg(socket, &header, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        return sent == static_cast<ssize_t>(sizeof message + payload.size());
    }
}

bool receive(int socket, Message& message, std::string& payload, std::vector<int>& fds)
{
    std::string buffer(sizeof message + kMaxPayload, '\0');
    iovec part{buffer.data(), buffer.size()};
    ControlBuffer control{};
    msghdr header{};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    header.msg_control = control.bytes;
    header.msg_controllen = sizeof control.bytes;
    ssize_t got = 0;
    do
        got = ::recvmsg(socket, &header, MSG_CMSG_CLOEXEC);
    while (got < 0 && errno == EINTR);

    fds.clear();
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof fd);
            fds.push_back(fd);
        }
    }
    const bool whole = got >= static_cast<ssize_t>(sizeof message) && !(header.msg_flags & (MSG_TRUNC | MSG_CTRUNC));
    if (!whole) {
        for (const int fd : fds)
            ::close(fd);
        fds.clear();
        return false;
    }
    std::memcpy(&message, buffer.data(), sizeof message);
    payload.assign(buffer.data() + sizeof message, static_cast<std::size_t>(got) - sizeof message);
    return true;
}

} // namespace vorlen::box
