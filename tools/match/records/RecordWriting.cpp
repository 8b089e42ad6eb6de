#include "RecordText.h"

#include "RecordFields.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vorlen::match {
namespace {

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + "\"";
}

} // namespace

std::string csvHeader() { return csvHeader(recordFields().size()); }

std::string toCsv(const MatchRecord& record, std::size_t fieldCount)
{
    std::string line;
    const std::vector<RecordField>& fields = recordFields();
    for (std::size_t i = 0; i < std::min(fieldCount, fields.size()); ++i) {
        if (i > 0)
            line += ',';
        line += csvField(fields[i].get(record));
    }
    return line + "\n";
}

std::string toJsonLine(const MatchRecord& record)
{
    Json line;
    for (const RecordField& field : recordFields()) {
        const std::string text = field.get(record);
        switch (field.kind) {
        case Kind::Whole: line[field.name] = std::stoll(text); break;
        case Kind::Text: line[field.name] = text; break;
        case Kind::MaybeText: line[field.name] = text.empty() ? Json(nullptr) : Json(text); break;
        case Kind::MaybeWhole: line[field.name] = text.empty() ? Json(nullptr) : Json(std::stoll(text)); break;
        case Kind::Real: line[field.name] = std::round(std::stod(text) * 1000.0) / 1000.0; break;
        case Kind::Flag: line[field.name] = text == "true"; break;
        }
    }
    // Command lines come in the locale's bytes; JSON is UTF-8.
    return line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace vorlen::match
