#pragma once

#include "HttpMessages.h"

#include <cstdint>
#include <string>

struct MHD_Connection;
struct MHD_PostProcessor;

namespace vorlen::ladder {

// A request's body as it arrives: a form's fields and files taken apart as
// they come (files straight into a folder of the request's own, removed with
// the reader), anything else kept whole; each within its cap.
class FormReader {
public:
    FormReader(MHD_Connection* connection, const HttpSettings& settings);
    ~FormReader();
    FormReader(const FormReader&) = delete;
    FormReader& operator=(const FormReader&) = delete;

    // False once the body broke a cap or could not be read; the rest is
    // then dropped.
    bool take(const char* data, std::size_t size);
    bool tooLarge() const { return tooLarge_; }
    bool broken() const { return broken_; }
    // The fields, files and body, into the request.
    void finish(HttpRequest& request);

private:
    bool part(const char* key, const char* filename, const char* data, std::uint64_t offset, std::size_t size);
    friend struct FormCalls;

    const HttpSettings& settings_;
    MHD_PostProcessor* processor_ = nullptr;
    std::string folder_; // the files', made at the first
    std::map<std::string, std::string> fields_;
    std::map<std::string, HttpRequest::File> files_;
    std::string body_;
    std::size_t fieldBytes_ = 0;
    std::uint64_t fileBytes_ = 0;
    bool tooLarge_ = false;
    bool broken_ = false;
};

} // namespace vorlen::ladder
