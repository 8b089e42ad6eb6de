#include "TerminalText.h"

#include <cstdio>

namespace vorlen {
namespace {

void escape(std::string& out, unsigned char byte)
{
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    out += text;
}

// How many bytes the UTF-8 sequence led by `lead` takes; 0 for no lead byte.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xc2 && lead <= 0xdf)
        return 2;
    if (lead >= 0xe0 && lead <= 0xef)
        return 3;
    if (lead >= 0xf0 && lead <= 0xf4)
        return 4;
    return 0;
}

} // namespace

std::string terminalSafe(std::string_view text, bool keepLineEnds)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7f) {
            if (keepLineEnds && (byte == '\n' || byte == '\r'))
                out += static_cast<char>(byte);
            else
                escape(out, byte);
            ++i;
            continue;
        }
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(byte);
        bool whole = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(text[i + k]) & 0xc0) == 0x80;
        // U+0080 to U+009F are the C1 controls: 0xc2 0x80 to 0xc2 0x9f.
        const bool control = whole && byte == 0xc2 && static_cast<unsigned char>(text[i + 1]) <= 0x9f;
        if (whole && !control) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        if (control) {
            escape(out, byte);
            escape(out, static_cast<unsigned char>(text[i + 1]));
            i += 2;
            continue;
        }
        // A stray byte: a terminal reading 8-bit controls takes 0x80 to 0x9f as C1.
        if (byte <= 0x9f)
            escape(out, byte);
        else
            out += static_cast<char>(byte);
        ++i;
    }
    return out;
}

} // namespace vorlen
