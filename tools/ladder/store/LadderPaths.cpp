#include "LadderPaths.h"

#include <filesystem>
#include <fstream>

namespace vorlen::ladder {

bool isSoundBotName(const std::string& name)
{
    if (name.empty() || name.size() > 64 || name[0] == '-')
        return false;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
                           || c == '-';
        if (!plain)
            return false;
    }
    return true;
}

std::optional<std::string> LadderPaths::databaseLocation() const
{
    std::error_code missing;
    if (std::filesystem::is_regular_file(databaseAddress(), missing)) {
        std::ifstream in(databaseAddress());
        std::string address;
        std::getline(in, address);
        return address;
    }
    if (std::filesystem::is_regular_file(database(), missing))
        return database();
    return std::nullopt;
}

} // namespace vorlen::ladder
