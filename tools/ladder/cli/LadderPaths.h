#pragma once

#include <string>

namespace vorlen::ladder {

// Where a ladder keeps its parts, under its folder.
struct LadderPaths {
    std::string root;

    std::string database() const { return root + "/ladder.sqlite"; }
    std::string storage() const { return root + "/storage"; }
    // A version's files as handed in, relative to the root.
    static std::string sourceOf(const std::string& bot, int number)
    {
        return "storage/bots/" + bot + "/v" + std::to_string(number) + "/source";
    }
};

// A bot's name: 1 to 64 letters, digits, '_' or '-', not starting with
// '-' (it names a folder, stands on pages and in commands, and with ".vN"
// names a version as the records name a player).
bool isSoundBotName(const std::string& name);

} // namespace vorlen::ladder
