// The exchanges of a stream bot: a board on its input, a line on its output.
#include "BotProcess.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlen {

bool BotProcess::dropPending()
{
    char buffer[65536];
    // A bounded helping: a bot that writes without end is not waited for.
    for (int pieces = 0; pieces < 16; ++pieces) {
        const ssize_t got = ::read(output_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            return false;
        if (got < 0)
            return true;
    }
    return true;
}

BotProcess::Exchange BotProcess::exchange(const std::string& text, std::chrono::milliseconds limit,
                                          std::string& line)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    line.clear();
    chatterLines_ = 0;
    lastChatter_.clear();
    if (!dropPending())
        return Exchange::Closed;
    char buffer[4096];
    std::size_t sent = 0;
    // A paused bot goes on once its board is on its way: whatever it writes
    // from then on comes after the board.
    for (bool first = true;; first = false) {
        while (sent < text.size()) {
            const ssize_t wrote = ::send(input_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote < 0 && errno != EAGAIN)
                return Exchange::Closed;
            if (wrote < 0)
                break;
            sent += static_cast<std::size_t>(wrote);
        }
        if (first)
            resume();
        // A line without a move is chatter (a debug line late from the last
        // move, or early for this one), never its answer.
        for (std::size_t end = line.find('\n'); end != std::string::npos; end = line.find('\n')) {
            std::string whole = line.substr(0, end);
            if (!whole.empty() && whole.back() == '\r')
                whole.pop_back();
            if (whole.size() > options_.lineCap)
                return Exchange::TooLong;
            line.erase(0, end + 1);
            if (!options_.isAnswer || options_.isAnswer(whole)) {
                line = std::move(whole);
                return Exchange::Answered;
            }
            ++chatterLines_;
            lastChatter_ = whole.substr(0, 200);
        }
        if (line.size() > options_.lineCap)
            return Exchange::TooLong;

        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = {output_, POLLIN, 0};
        if (errPipe_ >= 0)
            fds[count++] = {errPipe_, POLLIN, 0};
        if (sent < text.size())
            fds[count++] = {input_, POLLOUT, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Exchange::TimedOut;
        if (::poll(fds, count, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return Exchange::Closed;
        drainLog(options_.log);
        const ssize_t got = ::read(output_, buffer, sizeof buffer);
        if (got == 0)
            return Exchange::Closed;
        // Only what comes after the whole board answers it.
        if (got > 0 && sent == text.size())
            line.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace vorlen
