#pragma once

#include "HttpMessages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct MHD_Daemon;

namespace vorlen::ladder {

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
    HttpSettings settings_;
    std::unique_ptr<MHD_Daemon, DaemonEnd> daemon_;
    int port_ = 0;

    friend struct HttpCalls;
};

} // namespace vorlen::ladder
