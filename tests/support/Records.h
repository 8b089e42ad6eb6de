#pragma once

#include "MatchRecord.h"
#include "RecordText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlen::testing {

// The records of a results file; a file that cannot be read fails the test.
inline std::vector<match::MatchRecord> recordsIn(const std::string& path)
{
    std::vector<match::MatchRecord> read;
    std::string error;
    EXPECT_TRUE(match::readRecordFile(path, read, error)) << error;
    return read;
}

// A match on board `game / 2` between two named players, `first` seated first.
inline match::MatchRecord matchOf(int game, const std::string& first, const std::string& second, int firstScore,
                                  int secondScore)
{
    match::MatchRecord r;
    r.game = game;
    r.seats[0].player = first;
    r.seats[1].player = second;
    r.seats[0].score = firstScore;
    r.seats[1].score = secondScore;
    return r;
}

} // namespace vorlen::testing
