// Reading records back, CSV and JSON Lines, through the same field table.
#include "MatchRecord.h"

#include "Files.h"
#include "RecordFields.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string_view>

namespace vorlen::match {
namespace {

// Splits one CSV line; false on an unclosed quote.
bool splitCsv(const std::string& line, std::vector<std::string>& fields)
{
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

// JSON values as the text the table reads.
std::optional<std::string> textOf(const Json& value, Kind kind)
{
    if (value.is_null() && (kind == Kind::MaybeText || kind == Kind::MaybeWhole))
        return std::string();
    if (value.is_string() && kind != Kind::Whole && kind != Kind::Real && kind != Kind::Flag)
        return value.get<std::string>();
    if (value.is_number_integer() && (kind == Kind::Whole || kind == Kind::MaybeWhole || kind == Kind::Real))
        return value.dump();
    if (value.is_number() && kind == Kind::Real)
        return value.dump();
    if (value.is_boolean() && kind == Kind::Flag)
        return value.dump();
    return std::nullopt;
}

bool checked(MatchRecord& record, const std::string& winner, std::string& problem)
{
    if (winner != record.winner())
        problem = "the winner '" + winner + "' does not follow from the scores";
    return problem.empty();
}

} // namespace

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
    std::istringstream in{std::string(kept)};
    std::string line;
    std::vector<std::string> header;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty())
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        MatchRecord record;
        std::string problem;
        std::string winner;
        if (json) {
            const Json object = Json::parse(line, nullptr, false);
            if (!object.is_object()) {
                error = where + "not a JSON record";
                return false;
            }
            for (const Field& field : recordFields()) {
                const auto found = object.find(field.name);
                if (found == object.end() && &field - recordFields().data() >= std::ptrdiff_t{kEarlierFieldCount})
                    continue;
                const std::optional<std::string> value =
                    found == object.end() ? std::nullopt : textOf(*found, field.kind);
                if (!value || !field.set(record, *value)) {
                    error = where + "no proper \"" + field.name + "\"";
                    return false;
                }
                if (field.name == "winner")
                    winner = *value;
            }
        } else {
            std::vector<std::string> fields;
            if (!splitCsv(line, fields)) {
                error = where + "an unclosed quote";
                return false;
            }
            if (header.empty()) {
                header = fields;
                if (csvHeader() != line + "\n" && csvHeader(kEarlierFieldCount) != line + "\n") {
                    error = where + "not the header of vorlen-match's records";
                    return false;
                }
                continue;
            }
            if (fields.size() != header.size()) {
                error = where + std::to_string(fields.size()) + " fields, not " + std::to_string(header.size());
                return false;
            }
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const Field& field = recordFields()[i];
                if (!field.set(record, fields[i])) {
                    error = where + "no proper " + field.name;
                    return false;
                }
                if (field.name == "winner")
                    winner = fields[i];
            }
        }
        if (!checked(record, winner, problem)) {
            error = where + problem;
            return false;
        }
        records.push_back(std::move(record));
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
    // A million records take a few hundred megabytes at most.
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 30;
    std::string text;
    if (!readRegularFile(path, kLimit, text, error))
        return false;
    return parseRecords(text, isJsonLinesPath(path), records, error, warning);
}

} // namespace vorlen::match
