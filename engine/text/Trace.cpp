#include "Trace.h"

#include <cstdarg>
#include <string_view>

namespace vorlen {

void Trace::line(const char* text) const
{
    if (!out_)
        return;
    std::fputs(text, out_);
    std::fputc('\n', out_);
}

void Trace::out(const char* format, ...) const
{
    if (!out_)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(out_, format, args);
    va_end(args);
}

void Trace::err(const char* format, ...) const
{
    if (!err_)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(err_, format, args);
    va_end(args);
    const std::string_view given(format);
    if (endLines_ && !given.empty() && given.back() != '\n')
        std::fputc('\n', err_);
}

void Trace::errBytes(const char* bytes, std::size_t size) const
{
    if (err_)
        std::fwrite(bytes, 1, size, err_);
}

} // namespace vorlen
