#include "Base64.h"

#include <array>
#include <cstdint>

namespace vorlen {
namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int digitValue(char ch)
{
    if (ch >= 'A' && ch <= 'Z')
        return ch - 'A';
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a' + 26;
    if (ch >= '0' && ch <= '9')
        return ch - '0' + 52;
    return ch == '+' ? 62 : ch == '/' ? 63 : -1;
}

} // namespace

std::string toBase64(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1)
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (left > 2)
            group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kDigits[(group >> 18) & 63];
        text += kDigits[(group >> 12) & 63];
        text += left > 1 ? kDigits[(group >> 6) & 63] : '=';
        text += left > 2 ? kDigits[group & 63] : '=';
    }
    return text;
}

std::optional<std::string> fromBase64(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int pads = (text[i + 3] == '=') + (text[i + 2] == '=');
        if (pads > 0 && (!last || (pads == 1 && text[i + 2] == '=')))
            return std::nullopt;
        std::array<int, 4> values{};
        for (int k = 0; k < 4 - pads; ++k)
            if ((values[static_cast<std::size_t>(k)] = digitValue(text[i + static_cast<std::size_t>(k)])) < 0)
                return std::nullopt;
        const std::uint32_t group = (values[0] << 18) | (values[1] << 12) | (values[2] << 6) | values[3];
        bytes += static_cast<char>((group >> 16) & 0xff);
        if (pads < 2)
            bytes += static_cast<char>((group >> 8) & 0xff);
        if (pads < 1)
            bytes += static_cast<char>(group & 0xff);
    }
    return bytes;
}

} // namespace vorlen
