#include "HttpServer.h"

#include "FormReader.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace vorlen::ladder {


struct HttpCalls {
    static MHD_Result collect(void* into, MHD_ValueKind, const char* key, const char* value)
    {
        auto& map = *static_cast<std::map<std::string, std::string>*>(into);
        std::string name = key != nullptr ? key : "";
        map[std::move(name)] = value != nullptr ? value : "";
        return MHD_YES;
    }

    static MHD_Result send(MHD_Connection* connection, const HttpResponse& answer, bool head)
    {
        MHD_Response* response = MHD_create_response_from_buffer(head ? 0 : answer.body.size(),
            const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
        if (response == nullptr)
            return MHD_NO;
        MHD_add_response_header(response, "Content-Type", answer.type.c_str());
        for (const auto& [name, value] : answer.headers)
            MHD_add_response_header(response, name.c_str(), value.c_str());
        const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
        MHD_destroy_response(response);
        return queued;
    }

    static MHD_Result answer(void* self, MHD_Connection* connection, const char* url, const char* method,
                             const char*, const char* upload, size_t* uploadSize, void** state)
    {
        auto& server = *static_cast<HttpServer*>(self);
        if (*state == nullptr) {
            *state = new FormReader(connection, server.settings_);
            return MHD_YES;
        }
        auto& reader = *static_cast<FormReader*>(*state);
        if (*uploadSize != 0) {
            reader.take(upload, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        const bool head = std::strcmp(method, "HEAD") == 0;
        if (reader.tooLarge())
            return send(connection, {413, "text/plain; charset=utf-8", "Too large.\n", {}}, head);
        if (reader.broken())
            return send(connection, {400, "text/plain; charset=utf-8", "A form that cannot be read.\n", {}}, head);
        HttpRequest call;
        call.method = head ? "GET" : method;
        call.path = url;
        reader.finish(call);
        MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, collect, &call.query);
        MHD_get_connection_values(connection, MHD_COOKIE_KIND, collect, &call.cookies);
        std::map<std::string, std::string> headers;
        MHD_get_connection_values(connection, MHD_HEADER_KIND, collect, &headers);
        for (auto& [name, value] : headers) {
            std::string lower = name;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            call.headers[lower] = std::move(value);
        }
        HttpResponse response;
        try {
            response = server.handler_(call);
        } catch (const std::exception&) {
            response = {500, "text/plain; charset=utf-8", "The server failed to answer.\n", {}};
        }
        return send(connection, response, head);
    }

    // "%HH" decoded, but never into a NUL: a path cut short there would name
    // another page than the one asked for, so "%00" stays as it is.
    static size_t unescape(void*, MHD_Connection*, char* text)
    {
        const auto hex = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        };
        char* out = text;
        for (const char* in = text; *in != '\0'; ++in) {
            const int high = in[0] == '%' ? hex(in[1]) : -1;
            const int low = high >= 0 ? hex(in[2]) : -1;
            if (low >= 0 && (high | low) != 0) {
                *out++ = static_cast<char>(high * 16 + low);
                in += 2;
            } else {
                *out++ = *in;
            }
        }
        *out = '\0';
        return static_cast<size_t>(out - text);
    }

    static void done(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode)
    {
        delete static_cast<FormReader*>(*state);
        *state = nullptr;
    }
};

void HttpServer::DaemonEnd::operator()(MHD_Daemon* daemon) const { MHD_stop_daemon(daemon); }

HttpServer::HttpServer(const HttpSettings& settings, HttpHandler handler)
    : handler_(std::move(handler))
    , settings_(settings)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(settings.port));
    if (inet_pton(AF_INET, settings.host.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("'" + settings.host + "' is not an IPv4 address to listen on");
    daemon_.reset(MHD_start_daemon(MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL, 0, nullptr, nullptr,
        &HttpCalls::answer, this, MHD_OPTION_SOCK_ADDR, &address, MHD_OPTION_THREAD_POOL_SIZE,
        static_cast<unsigned>(settings.threads), MHD_OPTION_CONNECTION_LIMIT, settings.connections,
        MHD_OPTION_CONNECTION_TIMEOUT, settings.idleSeconds, MHD_OPTION_NOTIFY_COMPLETED, &HttpCalls::done, nullptr,
        MHD_OPTION_UNESCAPE_CALLBACK, &HttpCalls::unescape, nullptr, MHD_OPTION_END));
    if (!daemon_)
        throw std::runtime_error("cannot listen on " + settings.host + ":" + std::to_string(settings.port)
                                 + " (in use, or not this machine's)");
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_.get(), MHD_DAEMON_INFO_BIND_PORT);
    port_ = info != nullptr ? info->port : settings.port;
}

HttpServer::~HttpServer() = default;

} // namespace vorlen::ladder
