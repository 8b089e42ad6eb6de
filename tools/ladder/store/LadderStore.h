#pragma once

#include "Sqlite.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::ladder {

struct VersionRow {
    std::int64_t id = 0;
    std::string bot;
    int number = 0;
    std::string folder;  // relative to the ladder's folder
    std::string command; // run in the version's folder
    std::string build;   // its build's command line; empty: nothing to build
    std::string state;   // waiting, building, checking, ready, failed
    std::string reason;  // why it failed
    std::string added;
};

struct BotRow {
    std::string name;
    std::string state; // active, paused, retired
    std::string added;
};

struct MatchRow {
    std::int64_t id = 0;
    std::int64_t first = 0; // versions
    std::int64_t second = 0;
    std::string record; // the runner's record, a JSON line
    std::string played;
};

// The ladder's database: bots, their versions and the matches, read and
// written as rows of plain data. Opening brings an older schema up to date.
class LadderStore {
public:
    // `create`: a new database at `path`; else an existing one.
    LadderStore(const std::string& path, bool create);

    int schemaVersion();

    std::optional<BotRow> bot(const std::string& name);
    std::vector<BotRow> bots();
    // A new version of `bot` (the bot made with it when new), numbered one
    // past its last.
    VersionRow addVersion(const std::string& bot, const std::string& folder, const std::string& command,
                          const std::string& build, const std::string& now);
    std::vector<VersionRow> versionsOf(const std::string& bot);
    void setBotState(const std::string& bot, const std::string& state);
    void setVersionState(std::int64_t version, const std::string& state, const std::string& reason = {});

    void addMatch(std::int64_t first, std::int64_t second, const std::string& record, const std::string& played);
    std::int64_t matchCount(std::int64_t version);
    // The latest first.
    std::vector<MatchRow> matches(int limit, std::optional<std::int64_t> version = std::nullopt);

private:
    void migrate();
    Sqlite db_;
};

} // namespace vorlen::ladder
