#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vorlen::ladder {

// A request as the site sees it: no more than what HTTP said.
struct HttpRequest {
    std::string method;
    std::string path; // decoded, without the query
    std::map<std::string, std::string> query;
    std::map<std::string, std::string> headers; // names in lower case
    std::map<std::string, std::string> cookies;
    std::string body; // of a request that is not a form
    // A form's fields (urlencoded or multipart), and its files as they were
    // written into a folder of the request's own, removed after the answer.
    std::map<std::string, std::string> form;
    struct File {
        std::string name; // as the sender named it: not a path to trust
        std::string path; // where it is now
        std::uint64_t bytes = 0;
    };
    std::map<std::string, File> files;
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
    std::size_t largestBody = 1 << 20; // a body, or a form's fields together; beyond: 413
    std::uint64_t largestFiles = 100ULL << 20; // a form's files together; beyond: 413
    std::string uploads = "/tmp"; // where a form's files are written while it is answered
    unsigned connections = 1000;
    unsigned idleSeconds = 30;
};

} // namespace vorlen::ladder
