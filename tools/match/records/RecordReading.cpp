// Reading records back, CSV and JSON Lines, through the same field table.
#include "RecordStream.h"
#include "RecordText.h"

#include "RecordChecks.h"

#include "RecordFields.h"

#include <simdjson.h>

#include <algorithm>
#include <cassert>
#include <bitset>
#include <charconv>
#include <initializer_list>

namespace vorlen::match {
namespace {

// Splits one CSV line; false on an unclosed quote.
bool splitCsv(std::string_view line, std::vector<std::string>& fields)
{
    if (line.find('"') == std::string_view::npos) {
        // Most lines quote nothing: cut at the commas, reusing the strings.
        std::size_t count = 0;
        for (std::size_t at = 0;; ++count) {
            const std::size_t comma = std::min(line.find(',', at), line.size());
            if (count == fields.size())
                fields.emplace_back();
            fields[count].assign(line.substr(at, comma - at));
            if (comma == line.size())
                break;
            at = comma + 1;
        }
        fields.resize(count + 1);
        return true;
    }
    fields.assign(1, {});
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (quoted && ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (ch == '"') {
            quoted = !quoted;
        } else if (ch == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += ch;
        }
    }
    return !quoted;
}

// Record fields come in the table's order; anything else is looked up.
std::size_t fieldIndex(std::string_view name, std::size_t expected)
{
    const std::vector<RecordField>& fields = recordFields();
    if (expected < fields.size() && fields[expected].name == name)
        return expected;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name)
            return i;
    return fields.size();
}

// A JSON value as the text the field table reads, and whether the field
// takes that kind of value.
bool textOf(const simdjson::dom::element& value, Kind kind, std::string& text)
{
    using Type = simdjson::dom::element_type;
    const auto takes = [kind](std::initializer_list<Kind> kinds) {
        return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
    };
    switch (value.type()) {
    case Type::STRING:
        text = std::string_view(value.get_string().value_unsafe());
        return takes({Kind::Text, Kind::MaybeText, Kind::MaybeWhole});
    case Type::INT64: text = std::to_string(value.get_int64().value_unsafe()); break;
    case Type::UINT64: text = std::to_string(value.get_uint64().value_unsafe()); break;
    case Type::DOUBLE: {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, value.get_double().value_unsafe()).ptr;
        text.assign(digits, end);
        return kind == Kind::Real;
    }
    case Type::BOOL:
        text = value.get_bool().value_unsafe() ? "true" : "false";
        return kind == Kind::Flag;
    case Type::NULL_VALUE: text.clear(); return takes({Kind::MaybeText, Kind::MaybeWhole});
    case Type::ARRAY:
    case Type::OBJECT: return false;
    }
    return takes({Kind::Whole, Kind::MaybeWhole, Kind::Real});
}

RecordLineReader::Line checked(const MatchRecord& record, const std::string& winner, std::string& problem)
{
    if (winner != record.winner()) {
        problem = "the winner '" + winner + "' does not follow from the scores";
        return RecordLineReader::Line::Bad;
    }
    if (auto unsound = recordProblem(record)) {
        problem = std::move(*unsound);
        return RecordLineReader::Line::Bad;
    }
    return RecordLineReader::Line::Record;
}

// One member of a JSON record into its field: numbers straight, the rest
// through the field's text.
bool readValue(const RecordField& field, const simdjson::dom::element& value, MatchRecord& record, std::string& text)
{
    using Type = simdjson::dom::element_type;
    const Type type = value.type();
    const bool whole = type == Type::INT64 || type == Type::UINT64;
    if (field.setNumber && (whole || (type == Type::DOUBLE && field.kind == Kind::Real))) {
        double number = 0;
        return value.get(number) == simdjson::SUCCESS && field.setNumber(record, number);
    }
    return textOf(value, field.kind, text) && field.set(record, text);
}

} // namespace

RecordLineReader::Line RecordLineReader::read(std::string_view line, MatchRecord& record, std::string& problem)
{
    if (line.empty())
        return Line::Skip;
    record = MatchRecord();
    return json_ ? readJson(line, record, problem) : readCsv(line, record, problem);
}

RecordLineReader::RecordLineReader(bool json)
    : json_(json), parser_(json ? std::make_unique<simdjson::dom::parser>() : nullptr)
{
}

RecordLineReader::~RecordLineReader() = default;
RecordLineReader::RecordLineReader(RecordLineReader&&) noexcept = default;
RecordLineReader& RecordLineReader::operator=(RecordLineReader&&) noexcept = default;

RecordLineReader::Line RecordLineReader::readJson(std::string_view line, MatchRecord& record, std::string& problem)
{
    // Records are flat: a bracket inside one is no record, however deep it goes.
    simdjson::dom::object object;
    if (parser_->parse(line.data(), line.size()).get_object().get(object) != simdjson::SUCCESS) {
        problem = "not a JSON record";
        return Line::Bad;
    }
    const std::vector<RecordField>& fields = recordFields();
    std::bitset<64> seen;
    assert(fields.size() <= seen.size());
    std::string text;
    std::string winner;
    std::size_t next = 0;
    for (const simdjson::dom::key_value_pair member : object) {
        const simdjson::dom::element_type type = member.value.type();
        if (type == simdjson::dom::element_type::ARRAY || type == simdjson::dom::element_type::OBJECT) {
            problem = "not a JSON record";
            return Line::Bad;
        }
        const std::size_t index = fieldIndex(member.key, next);
        if (index == fields.size())
            continue; // a field of a later version
        next = index + 1;
        const RecordField& field = fields[index];
        if (!readValue(field, member.value, record, text)) {
            problem = "no proper \"" + field.name + "\"";
            return Line::Bad;
        }
        if (field.name == "winner")
            winner = text;
        seen[index] = true;
    }
    for (std::size_t i = 0; i < kEarlierFieldCount; ++i) {
        if (!seen[i]) {
            problem = "no proper \"" + fields[i].name + "\"";
            return Line::Bad;
        }
    }
    return checked(record, winner, problem);
}

RecordLineReader::Line RecordLineReader::readCsv(std::string_view line, MatchRecord& record, std::string& problem)
{
    if (!splitCsv(line, fields_)) {
        problem = "an unclosed quote";
        return Line::Bad;
    }
    if (csvFields_ == 0) {
        // Records of earlier versions end sooner: their header is a beginning of ours.
        const std::string header = std::string(line) + "\n";
        for (std::size_t count = kEarlierFieldCount; count <= recordFields().size() && csvFields_ == 0; ++count)
            if (header == csvHeader(count))
                csvFields_ = count;
        if (csvFields_ == 0) {
            problem = "not the header of vorlen-match's records";
            return Line::Bad;
        }
        return Line::Skip;
    }
    if (fields_.size() != csvFields_) {
        problem = std::to_string(fields_.size()) + " fields, not " + std::to_string(csvFields_);
        return Line::Bad;
    }
    std::string winner;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const RecordField& field = recordFields()[i];
        if (!field.set(record, fields_[i])) {
            problem = "no proper " + field.name;
            return Line::Bad;
        }
        if (field.name == "winner")
            winner = fields_[i];
    }
    return checked(record, winner, problem);
}

bool parseRecords(const std::string& whole, bool json, std::vector<MatchRecord>& records, std::string& error,
                  std::string* warning)
{
    // Every record is written with its line end in one piece.
    const std::size_t end = whole.rfind('\n');
    const std::string_view kept = end == std::string::npos ? std::string_view() : std::string_view(whole).substr(0, end + 1);
    if (kept.size() < whole.size() && warning) {
        const long line = std::count(kept.begin(), kept.end(), '\n') + 1;
        *warning = "line " + std::to_string(line) + " is cut short (a run stopped while writing it); it is left out";
    }
    RecordLineReader reader(json);
    std::size_t at = 0;
    for (long number = 1; at < kept.size();) {
        const std::size_t length = std::min(recordEnd(kept.substr(at), !json), kept.size() - at - 1);
        const std::string_view line = kept.substr(at, length);
        MatchRecord record;
        std::string problem;
        const RecordLineReader::Line read = reader.read(line, record, problem);
        at += length + 1;
        if (read == RecordLineReader::Line::Bad) {
            error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        if (read == RecordLineReader::Line::Record)
            records.push_back(std::move(record));
        number += 1 + std::count(line.begin(), line.end(), '\n');
    }
    return true;
}

bool isJsonLinesPath(const std::string& path)
{
    return path.size() >= 6 && path.compare(path.size() - 6, 6, ".jsonl") == 0;
}

bool isRecordsPath(const std::string& path)
{
    return isJsonLinesPath(path) || (path.size() >= 4 && path.compare(path.size() - 4, 4, ".csv") == 0);
}

bool readRecordFile(const std::string& path, std::vector<MatchRecord>& records, std::string& error,
                    std::string* warning)
{
    RecordStream stream;
    if (!stream.open(path)) {
        error = stream.error();
        return false;
    }
    for (MatchRecord record; stream.next(record);)
        records.push_back(std::move(record));
    if (warning)
        *warning = stream.warning();
    error = stream.error();
    return error.empty();
}

} // namespace vorlen::match
