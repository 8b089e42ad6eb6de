#include "Schema.h"

#include "Database.h"

namespace vorlen::ladder {

const std::vector<std::string>& migrations()
{
    // Names are checked where they come in; here they are unique. A version's
    // folder is its copy in the ladder's storage, relative to the ladder.
    static const std::vector<std::string> steps = {
        R"(CREATE TABLE bots (
             id {key},
             name TEXT NOT NULL UNIQUE,
             state TEXT NOT NULL DEFAULT 'active' CHECK (state IN ('active', 'paused', 'retired')),
             added TEXT NOT NULL);
           CREATE TABLE versions (
             id {key},
             bot INTEGER NOT NULL REFERENCES bots(id),
             number INTEGER NOT NULL,
             folder TEXT NOT NULL,
             command TEXT NOT NULL,
             build TEXT NOT NULL DEFAULT '',
             state TEXT NOT NULL DEFAULT 'waiting'
               CHECK (state IN ('waiting', 'building', 'checking', 'ready', 'failed')),
             reason TEXT NOT NULL DEFAULT '',
             added TEXT NOT NULL,
             UNIQUE (bot, number));
           CREATE TABLE matches (
             id {key},
             first INTEGER NOT NULL REFERENCES versions(id),
             second INTEGER NOT NULL REFERENCES versions(id),
             record TEXT NOT NULL,
             played TEXT NOT NULL);
           CREATE INDEX matches_first ON matches(first);
           CREATE INDEX matches_second ON matches(second);)",
        // A pair is one board in both seatings: its matches land together,
        // with it marked done, or not at all; each with the points its first
        // version took from it. A version keeps its check's
        // records and its failed matches in a row; a bot, why it was paused.
        R"(CREATE TABLE pairs (
             id {key},
             first INTEGER NOT NULL REFERENCES versions(id),
             second INTEGER NOT NULL REFERENCES versions(id),
             seed BIGINT NOT NULL,
             state TEXT NOT NULL DEFAULT 'playing' CHECK (state IN ('playing', 'done', 'dropped')),
             started TEXT NOT NULL);
           ALTER TABLE matches ADD COLUMN pair INTEGER REFERENCES pairs(id);
           ALTER TABLE matches ADD COLUMN points REAL;
           ALTER TABLE versions ADD COLUMN checked TEXT NOT NULL DEFAULT '';
           ALTER TABLE versions ADD COLUMN failures INTEGER NOT NULL DEFAULT 0;
           ALTER TABLE bots ADD COLUMN note TEXT NOT NULL DEFAULT '';)",
        // Every two versions' results, kept summed as pairs land, so that the
        // standings read one row a pairing, not every match: from the
        // first's side, with its boards by its points over both seatings.
        R"(CREATE TABLE results (
             first INTEGER NOT NULL REFERENCES versions(id),
             second INTEGER NOT NULL REFERENCES versions(id),
             wins INTEGER NOT NULL, draws INTEGER NOT NULL, losses INTEGER NOT NULL,
             pairs0 INTEGER NOT NULL, pairs1 INTEGER NOT NULL, pairs2 INTEGER NOT NULL,
             pairs3 INTEGER NOT NULL, pairs4 INTEGER NOT NULL,
             PRIMARY KEY (first, second));
           INSERT INTO results (first, second, wins, draws, losses, pairs0, pairs1, pairs2, pairs3, pairs4)
             SELECT first, second, SUM(w), SUM(d), SUM(l),
               SUM(CASE WHEN s = 0 THEN 1 ELSE 0 END), SUM(CASE WHEN s = 0.5 THEN 1 ELSE 0 END),
               SUM(CASE WHEN s = 1 THEN 1 ELSE 0 END), SUM(CASE WHEN s = 1.5 THEN 1 ELSE 0 END),
               SUM(CASE WHEN s = 2 THEN 1 ELSE 0 END)
             FROM (SELECT pair, first, second, SUM(points) AS s,
                     SUM(CASE WHEN points = 1 THEN 1 ELSE 0 END) AS w,
                     SUM(CASE WHEN points = 0.5 THEN 1 ELSE 0 END) AS d,
                     SUM(CASE WHEN points = 0 THEN 1 ELSE 0 END) AS l
                   FROM matches WHERE pair IS NOT NULL GROUP BY pair, first, second) AS played
             GROUP BY first, second;)",
        // The standings as last computed, with what they were computed from.
        R"(CREATE TABLE standings (
             top INTEGER PRIMARY KEY,
             state TEXT NOT NULL,
             text TEXT NOT NULL);)",
        // Accounts of the web face: a password as Argon2id's own string, an
        // API token and a session by their SHA-256 only (what the database
        // holds cannot be replayed), failed logins to slow guessing. A bot
        // belongs to whoever first handed it in there (none: from the
        // command line); a version keeps its size, for quotas.
        R"(CREATE TABLE users (
             id {key},
             name TEXT NOT NULL UNIQUE,
             password TEXT NOT NULL,
             role TEXT NOT NULL DEFAULT 'user' CHECK (role IN ('user', 'admin')),
             token TEXT NOT NULL DEFAULT '',
             failures INTEGER NOT NULL DEFAULT 0,
             locked_until BIGINT NOT NULL DEFAULT 0,
             created TEXT NOT NULL);
           CREATE TABLE sessions (
             id TEXT PRIMARY KEY,
             user_id INTEGER NOT NULL REFERENCES users(id),
             csrf TEXT NOT NULL,
             expires BIGINT NOT NULL);
           CREATE TABLE invitations (
             code TEXT PRIMARY KEY,
             used_by INTEGER REFERENCES users(id));
           CREATE TABLE settings (
             name TEXT PRIMARY KEY,
             value TEXT NOT NULL);
           ALTER TABLE bots ADD COLUMN owner INTEGER REFERENCES users(id);
           ALTER TABLE versions ADD COLUMN bytes BIGINT NOT NULL DEFAULT 0;)",
        // A version's rating over time, a point an hour at most.
        R"(CREATE TABLE ratings (
             version INTEGER NOT NULL REFERENCES versions(id),
             at TEXT NOT NULL,
             elo REAL NOT NULL, low REAL NOT NULL, high REAL NOT NULL,
             PRIMARY KEY (version, at));)",
    };
    return steps;
}

void applyMigration(Database& db, std::size_t step)
{
    std::string sql = migrations().at(step);
    for (std::size_t key; (key = sql.find("{key}")) != std::string::npos;)
        sql.replace(key, 5, db.keyColumn());
    // Several statements: each ends at its semicolon.
    for (std::size_t end; (end = sql.find(';')) != std::string::npos; sql.erase(0, end + 1))
        db.execute(sql.substr(0, end));
}

} // namespace vorlen::ladder
