#include "Database.h"

#include <cmath>

namespace vorlen::ladder {

double asReal(const SqlValue& value)
{
    if (const auto* real = std::get_if<double>(&value))
        return *real;
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return static_cast<double>(*number);
    if (const auto* text = std::get_if<std::string>(&value)) {
        try {
            return std::stod(*text);
        } catch (...) {
            return 0;
        }
    }
    return 0;
}

std::int64_t asInt(const SqlValue& value)
{
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return *number;
    // PostgreSQL sums whole numbers as numeric.
    if (const auto* real = std::get_if<double>(&value))
        return static_cast<std::int64_t>(std::llround(*real));
    if (const auto* text = std::get_if<std::string>(&value)) {
        try {
            return std::stoll(*text);
        } catch (...) {
            return 0;
        }
    }
    return 0;
}

std::string asText(const SqlValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return std::to_string(*number);
    return {};
}

} // namespace vorlen::ladder
