#include "TerminalText.h"

#include <cstdio>

namespace vorlen {
namespace {

void escape(std::string& out, std::string_view bytes)
{
    for (const char byte : bytes) {
        char text[5];
        std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned char>(byte));
        out += text;
    }
}

// The length of the well-formed UTF-8 sequence at the start of `text`, and
// its code point; 0 when it is not one (a stray or overlong byte, a
// surrogate, a code point beyond U+10FFFF, a sequence cut short).
std::size_t decode(std::string_view text, char32_t& point)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80; // the second byte's range, narrowed where the lead alone would allow too much
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    }
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    point = lead & (0xff >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xc0) != 0x80)
            return 0;
        point = (point << 6) | (byte(k) & 0x3f);
    }
    return length;
}

// Code points a terminal acts on: the C1 controls, and the bidirectional
// controls, which reorder the text around them.
bool acts(char32_t point)
{
    return (point >= 0x80 && point <= 0x9f) || point == 0x061c || point == 0x200e || point == 0x200f
           || (point >= 0x202a && point <= 0x202e) || (point >= 0x2066 && point <= 0x2069);
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
                escape(out, text.substr(i, 1));
            ++i;
            continue;
        }
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        char32_t point = 0;
        const std::size_t length = decode(text.substr(i), point);
        // A byte of no well-formed sequence is written out: a terminal reading
        // 8-bit controls, or decoding leniently, could take it for one.
        if (length == 0) {
            escape(out, text.substr(i, 1));
            ++i;
            continue;
        }
        if (acts(point))
            escape(out, text.substr(i, length));
        else
            out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

} // namespace vorlen
