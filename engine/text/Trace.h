#pragma once

#include <cstdio>

namespace vorlen {

// Where the console trace goes: standard output and error by default; a null
// stream drops that half of the trace (headless runs play many matches at once).
class Trace {
public:
    Trace() = default;
    Trace(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    static Trace silent() { return Trace(nullptr, nullptr); }
    // The same, with every message to standard error ending its line, where
    // traces of many matches follow each other ("0 incorrect move" has none).
    Trace endingLines() const
    {
        Trace ending = *this;
        ending.endLines_ = true;
        return ending;
    }

    void line(const char* text) const; // puts: adds a line end
    void out(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void err(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void errBytes(const char* bytes, std::size_t size) const;

private:
    std::FILE* out_ = stdout;
    std::FILE* err_ = stderr;
    bool endLines_ = false;
};

} // namespace vorlen
