// Reading records back, CSV and JSON Lines, through the same field table.
#include "RecordStream.h"

#include "RecordFields.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

namespace vorlen::match {
namespace {

// Splits one CSV line; false on an unclosed quote.
bool splitCsv(std::string_view line, std::vector<std::string>& fields)
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

std::size_t fieldIndex(const std::string& name)
{
    static const std::unordered_map<std::string, std::size_t> byName = [] {
        std::unordered_map<std::string, std::size_t> map;
        for (std::size_t i = 0; i < recordFields().size(); ++i)
            map.emplace(recordFields()[i].name, i);
        return map;
    }();
    const auto found = byName.find(name);
    return found == byName.end() ? recordFields().size() : found->second;
}

// One JSON line straight into a record, field by field as the parser meets
// them: no document is built, and anything nested is refused at once.
class RecordSax {
public:
    explicit RecordSax(MatchRecord& record) : record_(record), seen_(recordFields().size(), false) {}

    bool start_object(std::size_t) { return depth_++ == 0 || nested(); }
    bool end_object() { return --depth_, true; }
    bool start_array(std::size_t) { return nested(); }
    bool end_array() { return false; }
    bool key(std::string& name)
    {
        field_ = fieldIndex(name);
        return true;
    }
    bool null() { return value("", {Kind::MaybeText, Kind::MaybeWhole}); }
    bool boolean(bool flag) { return value(flag ? "true" : "false", {Kind::Flag}); }
    bool number_integer(std::int64_t number) { return value(std::to_string(number), kNumbers); }
    bool number_unsigned(std::uint64_t number) { return value(std::to_string(number), kNumbers); }
    bool number_float(double, const std::string& text) { return value(text, {Kind::Real}); }
    bool string(std::string& text) { return value(text, {Kind::Text, Kind::MaybeText, Kind::MaybeWhole}); }
    bool binary(std::vector<std::uint8_t>&) { return false; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

    // What stopped the parse: a value of the wrong kind or a nested one.
    const std::string& failure() const { return problem_; }
    // What a line that parsed lacks; empty when it is a whole record.
    std::string missing() const
    {
        for (std::size_t i = 0; i < kEarlierFieldCount; ++i)
            if (!seen_[i])
                return "no proper \"" + recordFields()[i].name + "\"";
        return {};
    }
    const std::string& winner() const { return winner_; }

private:
    bool nested()
    {
        problem_ = "not a JSON record";
        return false;
    }
    static constexpr std::initializer_list<Kind> kNumbers{Kind::Whole, Kind::MaybeWhole, Kind::Real};

    // A value of a kind the current field takes; fields of a later version
    // pass unread.
    bool value(const std::string& text, std::initializer_list<Kind> kinds)
    {
        if (field_ >= recordFields().size())
            return true;
        const Field& field = recordFields()[field_];
        if (std::find(kinds.begin(), kinds.end(), field.kind) == kinds.end() || !field.set(record_, text)) {
            problem_ = "no proper \"" + field.name + "\"";
            return false;
        }
        if (field.name == "winner")
            winner_ = text;
        seen_[field_] = true;
        return true;
    }

    MatchRecord& record_;
    std::vector<bool> seen_;
    std::size_t field_ = 0;
    int depth_ = 0;
    std::string winner_;
    std::string problem_;
};

RecordLineReader::Line checked(const MatchRecord& record, const std::string& winner, std::string& problem)
{
    if (winner == record.winner())
        return RecordLineReader::Line::Record;
    problem = "the winner '" + winner + "' does not follow from the scores";
    return RecordLineReader::Line::Bad;
}

} // namespace

RecordLineReader::Line RecordLineReader::read(std::string_view line, MatchRecord& record, std::string& problem)
{
    if (line.empty())
        return Line::Skip;
    record = MatchRecord();
    return json_ ? readJson(line, record, problem) : readCsv(line, record, problem);
}

RecordLineReader::Line RecordLineReader::readJson(std::string_view line, MatchRecord& record,
                                                  std::string& problem) const
{
    const auto begin = line.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos || line[begin] != '{') {
        problem = "not a JSON record";
        return Line::Bad;
    }
    RecordSax sax(record);
    if (Json::sax_parse(line.begin(), line.end(), &sax))
        problem = sax.missing();
    else // a wrong kind of value names its field; anything else is no JSON
        problem = sax.failure().empty() ? "not a JSON record" : sax.failure();
    if (!problem.empty())
        return Line::Bad;
    return checked(record, sax.winner(), problem);
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
        const Field& field = recordFields()[i];
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
    for (long number = 1; at < kept.size(); ++number) {
        const std::size_t lineEnd = kept.find('\n', at);
        MatchRecord record;
        std::string problem;
        const RecordLineReader::Line read = reader.read(kept.substr(at, lineEnd - at), record, problem);
        at = lineEnd + 1;
        if (read == RecordLineReader::Line::Bad) {
            error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        if (read == RecordLineReader::Line::Record)
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
