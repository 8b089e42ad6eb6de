#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct MHD_Daemon;

namespace vorlen::ladder {

// A request as the site sees it: no more than what HTTP said.
struct HttpRequest {
    std::string method;
    std::string path; // decoded, without the query
    std::map<std::string, std::string> query;
    std::map<std::string, std::string> headers; // names in lower case
    std::map<std::string, std::string> cookies;
    std::string body;
};

struct HttpResponse {
    int status = 200;
    std::string type = "text/html; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

struct HttpSettings {
    std::string host = "127.0.0.1"; // the loopback address: a proxy in front serves the world
    int port = 8080;                // 0: any free one (port() tells)
    int threads = 4;
    std::size_t largestBody = 1 << 20; // beyond: 413, unread
    unsigned connections = 1000;
    unsigned idleSeconds = 30;
};

// An HTTP server on GNU libmicrohttpd, answering every request through the
// handler on its own threads (the handler must be safe to call at once from
// several). Serving from construction until it goes.
class HttpServer {
public:
    // Throws std::runtime_error when it cannot listen.
    HttpServer(const HttpSettings& settings, HttpHandler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return port_; }

private:
    struct DaemonEnd {
        void operator()(MHD_Daemon* daemon) const;
    };
    HttpHandler handler_;
    std::size_t largestBody_;
    std::unique_ptr<MHD_Daemon, DaemonEnd> daemon_;
    int port_ = 0;

    friend struct HttpCalls;
};

} // namespace vorlen::ladder
