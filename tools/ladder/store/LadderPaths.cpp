#include "LadderPaths.h"

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

} // namespace vorlen::ladder
