#pragma once

// The one table of a record's fields, shared by writing and reading records.
#include "MatchRecord.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

namespace vorlen::match {

using Json = nlohmann::ordered_json;

enum class Kind { Whole, Text, MaybeText, MaybeWhole, Real, Flag };

// One field of a record: its name, its kind in JSON, and how it is written
// as text and read back. One table serves both formats, both ways.
struct RecordField {
    std::string name;
    Kind kind;
    std::function<std::string(const MatchRecord&)> get;
    std::function<bool(MatchRecord&, const std::string&)> set;
    // Numbers straight from a JSON reader, skipping the text: for whole
    // numbers and times only.
    std::function<bool(MatchRecord&, double)> setNumber = nullptr;
};

// Fields that records of earlier versions do not have, from this one on:
// such a record reads with their defaults (no move count: its move times are
// left out of the mean).
constexpr std::size_t kEarlierFieldCount = 25;

const std::vector<RecordField>& recordFields();
// The CSV header of the first `fieldCount` fields.
std::string csvHeader(std::size_t fieldCount);

} // namespace vorlen::match
