#pragma once

#include <string>

namespace vorlen {

// Text made safe inside HTML, in an element or an attribute.
inline std::string escapedHtml(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        switch (ch) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += ch;
        }
    }
    return out;
}

// JSON to put inside a script element: no text in it can close the element,
// since '<' only occurs inside its strings.
inline std::string scriptSafe(const std::string& json)
{
    std::string safe;
    safe.reserve(json.size());
    for (const char ch : json) {
        if (ch == '<')
            safe += "\\u003c";
        else
            safe += ch;
    }
    return safe;
}

} // namespace vorlen
