#include "Schema.h"

namespace vorlen::ladder {

const std::vector<std::string>& migrations()
{
    // Names are checked where they come in; here they are unique. A version's
    // folder is its copy in the ladder's storage, relative to the ladder.
    static const std::vector<std::string> steps = {
        R"(CREATE TABLE bots (
             id INTEGER PRIMARY KEY,
             name TEXT NOT NULL UNIQUE,
             state TEXT NOT NULL DEFAULT 'active' CHECK (state IN ('active', 'paused', 'retired')),
             added TEXT NOT NULL);
           CREATE TABLE versions (
             id INTEGER PRIMARY KEY,
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
             id INTEGER PRIMARY KEY,
             first INTEGER NOT NULL REFERENCES versions(id),
             second INTEGER NOT NULL REFERENCES versions(id),
             record TEXT NOT NULL,
             played TEXT NOT NULL);
           CREATE INDEX matches_first ON matches(first);
           CREATE INDEX matches_second ON matches(second);)",
    };
    return steps;
}

} // namespace vorlen::ladder
