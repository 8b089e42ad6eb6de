#pragma once

#include "support/HttpClient.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vorlen::testing {

// One visitor of a site, as a browser would be: its cookies kept from answer
// to answer, forms sent urlencoded or as multipart with a file.
class WebSession {
public:
    explicit WebSession(int port, std::vector<std::string> headers = {}) : port_(port), headers_(std::move(headers)) {}

    HttpAnswer get(const std::string& path) { return exchange("GET", path, "", ""); }
    HttpAnswer post(const std::string& path, const std::vector<std::pair<std::string, std::string>>& fields)
    {
        std::string body;
        for (const auto& [name, value] : fields)
            body += (body.empty() ? "" : "&") + encoded(name) + "=" + encoded(value);
        return exchange("POST", path, body, "application/x-www-form-urlencoded");
    }
    // Fields and one file, as <form enctype="multipart/form-data"> sends them.
    HttpAnswer postFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& fields,
                        const std::string& field, const std::string& fileName, const std::string& filePath)
    {
        const std::string boundary = "----vorlenTestBoundary7MA4YWxk";
        std::string body;
        for (const auto& [name, value] : fields)
            body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
        std::ifstream in(filePath, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + field + "\"; filename=\"" + fileName
                + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + bytes.str() + "\r\n--" + boundary + "--\r\n";
        return exchange("POST", path, body, "multipart/form-data; boundary=" + boundary);
    }

    std::map<std::string, std::string> cookies;
    std::string lastSetCookie;

private:
    static std::string encoded(const std::string& text)
    {
        static const char* hex = "0123456789ABCDEF";
        std::string out;
        for (const unsigned char c : text) {
            if (std::isalnum(c) || c == '-' || c == '_' || c == '.')
                out += static_cast<char>(c);
            else
                out += std::string("%") + hex[c >> 4] + hex[c & 15];
        }
        return out;
    }

    HttpAnswer exchange(const std::string& method, const std::string& path, const std::string& body,
                        const std::string& type)
    {
        std::string request = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
        for (const std::string& header : headers_)
            request += header + "\r\n";
        std::string jar;
        for (const auto& [name, value] : cookies)
            jar += (jar.empty() ? "" : "; ") + name + "=" + value;
        if (!jar.empty())
            request += "Cookie: " + jar + "\r\n";
        if (!type.empty())
            request += "Content-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
        HttpAnswer answer = httpExchange(port_, request + "\r\n" + body);
        if (const auto set = answer.headers.find("set-cookie"); set != answer.headers.end()) {
            lastSetCookie = set->second;
            const std::string pair = set->second.substr(0, set->second.find(';'));
            const std::size_t equals = pair.find('=');
            cookies[pair.substr(0, equals)] = pair.substr(equals + 1);
        }
        return answer;
    }

    int port_;
    std::vector<std::string> headers_;
};

// The form token a page carries.
inline std::string formTokenIn(const std::string& html)
{
    const std::string mark = "name=\"csrf\" value=\"";
    const std::size_t at = html.find(mark);
    return at == std::string::npos ? "" : html.substr(at + mark.size(), 64);
}

} // namespace vorlen::testing
