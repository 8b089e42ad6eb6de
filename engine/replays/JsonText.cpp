#include "JsonText.h"

#include <algorithm>

namespace vorlen::replay_json {

int nestingDepth(std::string_view text)
{
    int depth = 0;
    int deepest = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '\\')
                ++i;
            else if (ch == '"')
                quoted = false;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == '[' || ch == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (ch == ']' || ch == '}') {
            --depth;
        }
    }
    return deepest;
}

std::string placeOf(std::string_view text, std::size_t byte)
{
    byte = std::min(byte, text.size());
    const std::string_view before = text.substr(0, byte);
    const std::size_t line = std::count(before.begin(), before.end(), '\n') + 1;
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = byte - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace vorlen::replay_json
