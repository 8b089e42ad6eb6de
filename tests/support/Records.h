#pragma once

#include "MatchRecord.h"

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

} // namespace vorlen::testing
