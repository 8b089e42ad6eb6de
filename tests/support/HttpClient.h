#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <string>

namespace vorlen::testing {

struct HttpAnswer {
    int status = 0; // 0: no answer
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

// One request to a server on the loopback address, over a connection of its
// own; the raw text of the request is the caller's, so that a test can send
// what no browser would.
inline HttpAnswer httpExchange(int port, const std::string& request)
{
    HttpAnswer answer;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return answer;
    }
    for (std::size_t sent = 0; sent < request.size();) {
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    const std::size_t end = text.find("\r\n\r\n");
    if (text.rfind("HTTP/1.", 0) != 0 || end == std::string::npos)
        return answer;
    answer.status = std::stoi(text.substr(9, 3));
    for (std::size_t at = text.find("\r\n") + 2; at < end;) {
        const std::size_t next = text.find("\r\n", at);
        const std::string line = text.substr(at, next - at);
        const std::size_t colon = line.find(':');
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        answer.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
        at = next + 2;
    }
    answer.body = text.substr(end + 4);
    return answer;
}

inline HttpAnswer httpGet(int port, const std::string& path, const std::string& method = "GET")
{
    return httpExchange(port, method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

} // namespace vorlen::testing
