#include "FormReader.h"

#include "FileDescriptor.h"

#include <fcntl.h>
#include <microhttpd.h>
#include <sys/stat.h>

#include <filesystem>

namespace vorlen::ladder {

struct FormCalls {
    static MHD_Result part(void* reader, MHD_ValueKind, const char* key, const char* filename, const char*,
                           const char*, const char* data, std::uint64_t offset, std::size_t size)
    {
        return static_cast<FormReader*>(reader)->part(key, filename, data, offset, size) ? MHD_YES : MHD_NO;
    }
};

FormReader::FormReader(MHD_Connection* connection, const HttpSettings& settings) : settings_(settings)
{
    const char* type = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_TYPE);
    const std::string kind = type != nullptr ? type : "";
    if (kind.starts_with("multipart/form-data") || kind.starts_with("application/x-www-form-urlencoded"))
        processor_ = MHD_create_post_processor(connection, 65536, &FormCalls::part, this);
}

FormReader::~FormReader()
{
    if (processor_ != nullptr)
        MHD_destroy_post_processor(processor_);
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool FormReader::take(const char* data, std::size_t size)
{
    if (tooLarge_ || broken_)
        return false;
    if (processor_ == nullptr) {
        if (body_.size() + size > settings_.largestBody)
            return !(tooLarge_ = true);
        body_.append(data, size);
        return true;
    }
    if (MHD_post_process(processor_, data, size) != MHD_YES && !tooLarge_)
        broken_ = true;
    return !tooLarge_ && !broken_;
}

bool FormReader::part(const char* key, const char* filename, const char* data, std::uint64_t offset, std::size_t size)
{
    const std::string name = key != nullptr ? key : "";
    if (filename == nullptr) {
        fieldBytes_ += size + (offset == 0 ? name.size() : 0);
        if (fieldBytes_ > settings_.largestBody)
            return !(tooLarge_ = true);
        fields_[name].append(data, size);
        return true;
    }
    fileBytes_ += size;
    if (fileBytes_ > settings_.largestFiles)
        return !(tooLarge_ = true);
    if (folder_.empty()) {
        std::string pattern = settings_.uploads + "/vorlen-upload-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            return !(broken_ = true);
        folder_ = pattern;
    }
    HttpRequest::File& file = files_[name];
    if (offset == 0 && !file.path.empty())
        return !(broken_ = true); // two files of one name
    if (file.path.empty()) {
        file.name = filename;
        file.path = folder_ + "/" + std::to_string(files_.size());
    }
    const FileDescriptor out(open(file.path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out.valid() || writeFully(out.get(), std::string_view(data, size)) != 0)
        return !(broken_ = true);
    file.bytes += size;
    return true;
}

void FormReader::finish(HttpRequest& request)
{
    request.body = std::move(body_);
    request.form = std::move(fields_);
    request.files = files_; // the files stay where they are until the reader goes
}

} // namespace vorlen::ladder
