#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorlen::ladder {

// Where a ladder keeps its parts, under its folder.
struct LadderPaths {
    std::string root;

    std::string database() const { return root + "/ladder.sqlite"; }
    // Holds a PostgreSQL server's address where the ladder keeps its database there.
    std::string databaseAddress() const { return root + "/database.url"; }
    // Where the ladder's database is: the address that file holds, or the
    // SQLite file; none when the folder holds neither (no ladder).
    std::optional<std::string> databaseLocation() const;
    std::string storage() const { return root + "/storage"; }
    // A version's files as handed in, relative to the root.
    static std::string sourceOf(const std::string& bot, int number) { return versionOf(bot, number) + "/source"; }
    // A version's folder, relative to the root: its source, what its build
    // made ("built"), the build's log ("build.log") and its check ("check").
    static std::string versionOf(const std::string& bot, int number)
    {
        return "storage/bots/" + bot + "/v" + std::to_string(number);
    }
    // A pair's logs and replays, relative to the root.
    static std::string pairOf(std::int64_t pair) { return "storage/pairs/" + std::to_string(pair); }
    // Held by the one run that plays the ladder.
    std::string runLock() const { return root + "/run.lock"; }
};

// A bot's name: 1 to 64 letters, digits, '_' or '-', not starting with
// '-' (it names a folder, stands on pages and in commands, and with ".vN"
// names a version as the records name a player).
bool isSoundBotName(const std::string& name);

} // namespace vorlen::ladder
