#include "Schema.h"

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
    };
    return steps;
}

} // namespace vorlen::ladder
