#pragma once

#include "Entrants.h"
#include "Database.h"
#include "VersionRow.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::ladder {


struct BotRow {
    std::string name;
    std::string state; // active, paused, retired
    std::string added;
    std::string note = {};  // why it was paused
    std::string owner = {}; // the user who handed it in; empty: from the command line
};

// A version's rating at a time: Elo with its 95 % interval.
struct RatingPoint {
    std::string at;
    double elo = 0;
    double low = 0;
    double high = 0;
};

// An account of the web face.
struct UserRow {
    std::int64_t id = 0;
    std::string name;
    std::string password; // Argon2id's string: its salt and settings with the hash
    std::string role;     // user, admin
    std::int64_t failures = 0;    // failed logins since the last good one
    std::int64_t lockedUntil = 0; // no login before (seconds since the epoch)
    std::string created;
};

// One board in both seatings between two versions.
struct PairRow {
    std::int64_t id = 0;
    std::int64_t first = 0; // versions
    std::int64_t second = 0;
    std::int64_t seed = 0;  // its board's
};

// A pair played: its records (JSON lines), the points the pair's first
// version took from each, and how many of its matches each version failed
// in (first, second).
struct PlayedPair {
    std::vector<std::string> records;
    std::vector<double> points;
    std::array<int, 2> failed{};
};



struct MatchRow {
    std::int64_t id = 0;
    std::int64_t first = 0; // versions
    std::int64_t second = 0;
    std::string record; // the runner's record, a JSON line
    std::string played;
    std::int64_t pair = 0; // 0: none (a match added on its own)
};

// The ladder's database: bots, their versions and the matches, read and
// written as rows of plain data. Opening brings an older schema up to date.
class LadderStore {
public:
    // The database at `location` (an SQLite file, or a PostgreSQL server's
    // "postgresql://" address); `create`: a new SQLite file.
    LadderStore(const std::string& location, bool create);

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

    // Every active bot's latest ready version: who plays now.
    std::vector<VersionRow> currentVersions();
    // Versions in `state`, of every bot, the oldest first.
    std::vector<VersionRow> versionsIn(const std::string& state);
    // The records of a version's check against the built-in player.
    void setVersionChecked(std::int64_t version, const std::string& records);
    std::string versionChecked(std::int64_t version);
    void pauseBot(const std::string& bot, const std::string& note);

    std::optional<VersionRow> version(std::int64_t id);
    // A pair starts: its row, marked playing.
    PairRow startPair(std::int64_t first, std::int64_t second, std::int64_t seed, const std::string& now);
    void setPairSeed(std::int64_t pair, std::int64_t seed);
    // A pair started and not yet landed or dropped; none otherwise.
    std::optional<PairRow> playingPair(std::int64_t pair);
    // Its matches land with it marked done, or nothing does; each version's
    // failed matches in a row after it come back (first, second).
    std::array<int, 2> finishPair(const PairRow& pair, const PlayedPair& played, const std::string& now);
    // Pairs left playing by a run that was stopped or killed: dropped, their
    // ids given back so that their files can go.
    std::vector<std::int64_t> dropUnfinishedPairs();
    // Versions left building or checking: waiting again.
    void resetUnfinishedVersions();
    // A pair whose job was lost: dropped, unless it landed meanwhile.
    void dropPair(std::int64_t pair);
    // Pairs between two versions, landed or under way, by the two (the
    // smaller id first): where pairs are to go next.
    std::map<std::pair<std::int64_t, std::int64_t>, int> pairCounts();
    // Every two versions' results, as the database keeps them summed.
    std::vector<VersionResults> meetings();

    // What standings are computed from, in a word: the last match and the
    // current versions. Equal words, equal standings.
    std::string standingsState();
    // Standings kept for `top` when computed from `state`; none otherwise.
    std::optional<std::string> keptStandings(const std::string& state, int top);
    void keepStandings(const std::string& state, int top, const std::string& text);
    // Keeps the version's rating at `at` (an ISO time) unless its last kept
    // one is less than an hour older.
    void keepRating(std::int64_t version, const RatingPoint& point);
    // Its ratings over time, the oldest first.
    std::vector<RatingPoint> ratingsOf(std::int64_t version);

    void addMatch(std::int64_t first, std::int64_t second, const std::string& record, const std::string& played);
    std::int64_t matchCount(std::int64_t version);
    // The latest first.
    std::vector<MatchRow> matches(int limit, std::optional<std::int64_t> version = std::nullopt);
    std::optional<MatchRow> match(std::int64_t id);

    // Accounts (AccountRows.cpp). A token or session is found by its
    // SHA-256, which is all the database keeps of it.
    // A new user; none when `invitation` is given and is not one unused,
    // which the user then takes.
    std::optional<std::int64_t> addUser(const std::string& name, const std::string& password, const std::string& now,
                                        const std::string& invitation = "");
    std::optional<UserRow> user(const std::string& name);
    void setUserRole(const std::string& name, const std::string& role);
    void setLoginFailures(std::int64_t user, std::int64_t failures, std::int64_t lockedUntil);
    void setUserToken(std::int64_t user, const std::string& tokenHash);
    std::optional<UserRow> userByToken(const std::string& tokenHash);
    void addSession(const std::string& idHash, std::int64_t user, const std::string& csrf, std::int64_t expires);
    // The session's user and its form token while it has not expired at `now`.
    std::optional<std::pair<UserRow, std::string>> session(const std::string& idHash, std::int64_t now);
    void dropSession(const std::string& idHash);
    void dropUserSessions(std::int64_t user);
    std::optional<std::string> setting(const std::string& name);
    void setSetting(const std::string& name, const std::string& value);
    void addInvitation(const std::string& code);
    void setBotOwner(const std::string& bot, std::int64_t user);
    std::int64_t botsOwnedBy(std::int64_t user);
    // Versions of the user's bots added at or after `since` (an ISO time),
    // and the bytes of all of them.
    std::int64_t versionsAddedSince(std::int64_t user, const std::string& since);
    std::int64_t bytesOwnedBy(std::int64_t user);
    void setVersionBytes(std::int64_t version, std::int64_t bytes);

private:
    void migrate();
    // A landed pair's results, added to its two versions' sums.
    void addResults(const PairRow& pair, const PlayedPair& played);
    std::unique_ptr<Database> db_;
};

} // namespace vorlen::ladder
