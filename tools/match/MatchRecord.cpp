#include "MatchRecord.h"

#include "Files.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string_view>

namespace vorlen::match {
namespace {

using Json = nlohmann::ordered_json;

enum class Kind { Whole, Text, MaybeText, MaybeWhole, Real, Flag };

// One field of a record: its name, its kind in JSON, and how it is written
// as text and read back. One table serves both formats, both ways.
struct Field {
    std::string name;
    Kind kind;
    std::function<std::string(const MatchRecord&)> get;
    std::function<bool(MatchRecord&, const std::string&)> set;
};

// Fields that records of earlier versions do not have, from this one on:
// such a record reads with their defaults.
constexpr std::size_t kEarlierFieldCount = 25;

bool toWhole(const std::string& text, int& value)
{
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    return problem == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool toReal(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

// Times to the microsecond: enough for any bot, and short.
std::string milliseconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// `at` reaches the member in a record, const or not: [](auto& r) -> auto& { ... }.
template <typename At>
Field wholeField(std::string name, At at)
{
    return {std::move(name), Kind::Whole, [at](const MatchRecord& r) { return std::to_string(at(r)); },
            [at](MatchRecord& r, const std::string& t) { return toWhole(t, at(r)) && at(r) >= 0; }};
}

template <typename At>
Field textField(std::string name, At at, bool required = false)
{
    return {std::move(name), Kind::Text, [at](const MatchRecord& r) { return at(r); },
            [at, required](MatchRecord& r, const std::string& t) { return !(at(r) = t).empty() || !required; }};
}

const std::vector<Field>& recordFields()
{
    static const std::vector<Field> fields = [] {
        constexpr const char* seats[] = {"first", "second"};
        std::vector<Field> f;
        f.push_back(wholeField("game", [](auto& r) -> auto& { return r.game; }));
        f.push_back(textField("board", [](auto& r) -> auto& { return r.board; }));
        for (int s = 0; s < 2; ++s) {
            f.push_back(textField(std::string(seats[s]) + "_player",
                                  [s](auto& r) -> auto& { return r.seats[s].player; }, true));
            f.push_back(textField(seats[s], [s](auto& r) -> auto& { return r.seats[s].command; }, true));
        }
        f.push_back(wholeField("turns", [](auto& r) -> auto& { return r.turns; }));
        for (int s = 0; s < 2; ++s)
            f.push_back(wholeField(std::string(seats[s]) + "_score", [s](auto& r) -> auto& { return r.seats[s].score; }));
        // Follows from the scores: written for readers, checked when read back.
        f.push_back({"winner", Kind::Text, [](const MatchRecord& r) { return r.winner(); },
                     [](MatchRecord&, const std::string&) { return true; }});
        for (int s = 0; s < 2; ++s) {
            const std::string seat = seats[s];
            f.push_back({seat + "_retired", Kind::MaybeText, [s](const MatchRecord& r) { return r.seats[s].retired; },
                         [s](MatchRecord& r, const std::string& t) { return (r.seats[s].retired = t), true; }});
            f.push_back({seat + "_retired_turn", Kind::MaybeWhole,
                         [s](const MatchRecord& r) {
                             const int turn = r.seats[s].retiredTurn;
                             return turn >= 0 ? std::to_string(turn) : std::string();
                         },
                         [s](MatchRecord& r, const std::string& t) {
                             r.seats[s].retiredTurn = -1;
                             return t.empty() || toWhole(t, r.seats[s].retiredTurn);
                         }});
        }
        f.push_back(textField("containment", [](auto& r) -> auto& { return r.containment; }));
        for (int s = 0; s < 2; ++s) {
            const std::string seat = seats[s];
            f.push_back({seat + "_mean_ms", Kind::Real, [s](const MatchRecord& r) { return milliseconds(r.seats[s].times.meanMs); },
                         [s](MatchRecord& r, const std::string& t) { return toReal(t, r.seats[s].times.meanMs); }});
            f.push_back({seat + "_max_ms", Kind::Real, [s](const MatchRecord& r) { return milliseconds(r.seats[s].times.maxMs); },
                         [s](MatchRecord& r, const std::string& t) { return toReal(t, r.seats[s].times.maxMs); }});
            f.push_back(wholeField(seat + "_near_limit", [s](auto& r) -> auto& { return r.seats[s].times.nearLimit; }));
        }
        f.push_back(textField("run", [](auto& r) -> auto& { return r.run; }));
        f.push_back(wholeField("run_matches", [](auto& r) -> auto& { return r.runMatches; }));
        f.push_back({"swap", Kind::Flag, [](const MatchRecord& r) { return std::string(r.swap ? "true" : "false"); },
                     [](MatchRecord& r, const std::string& t) { return (r.swap = t == "true"), t == "true" || t == "false"; }});
        f.push_back(textField("run_players", [](auto& r) -> auto& { return r.runPlayers; }, true));
        f.push_back(textField("governance", [](auto& r) -> auto& { return r.governance; }));
        return f;
    }();
    return fields;
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + "\"";
}

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

std::string MatchRecord::winner() const
{
    if (seats[0].score == seats[1].score)
        return "D";
    return seats[0].score > seats[1].score ? seats[0].player : seats[1].player;
}

std::string csvHeader(std::size_t fieldCount)
{
    std::string header;
    for (std::size_t i = 0; i < fieldCount; ++i)
        header += (header.empty() ? "" : ",") + recordFields()[i].name;
    return header + "\n";
}

std::string csvHeader() { return csvHeader(recordFields().size()); }

std::string toCsv(const MatchRecord& record)
{
    std::string line;
    for (const Field& field : recordFields()) {
        if (!line.empty() || &field != &recordFields().front())
            line += ',';
        line += csvField(field.get(record));
    }
    return line + "\n";
}

std::string toJsonLine(const MatchRecord& record)
{
    Json line;
    for (const Field& field : recordFields()) {
        const std::string text = field.get(record);
        switch (field.kind) {
        case Kind::Whole: line[field.name] = std::stoll(text); break;
        case Kind::Text: line[field.name] = text; break;
        case Kind::MaybeText: line[field.name] = text.empty() ? Json(nullptr) : Json(text); break;
        case Kind::MaybeWhole: line[field.name] = text.empty() ? Json(nullptr) : Json(std::stoll(text)); break;
        case Kind::Real: line[field.name] = std::round(std::stod(text) * 1000.0) / 1000.0; break;
        case Kind::Flag: line[field.name] = text == "true"; break;
        }
    }
    // Command lines come in the locale's bytes; JSON is UTF-8.
    return line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
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
