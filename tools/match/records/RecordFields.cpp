#include "RecordFields.h"

#include "Schedule.h"
#include "SprtSettings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vorlen::match {
namespace {

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

// No move takes a day: a time beyond it, or below 0, is a broken record.
bool isMoveTime(double ms) { return ms >= 0 && ms <= 24.0 * 3600 * 1000; }

// Times to the microsecond: enough for any bot, and short.
std::string milliseconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// `at` reaches the member in a record, const or not: [](auto& r) -> auto& { ... }.
// A whole number from 0 to `most`.
template <typename At>
RecordField wholeField(std::string name, At at, int most = std::numeric_limits<int>::max())
{
    return {std::move(name), Kind::Whole, [at](const MatchRecord& r) { return std::to_string(at(r)); },
            [at, most](MatchRecord& r, const std::string& t) { return toWhole(t, at(r)) && at(r) >= 0 && at(r) <= most; },
            [at, most](MatchRecord& r, double value) {
                if (!(value >= 0 && value <= most) || value != std::floor(value))
                    return false;
                at(r) = static_cast<int>(value);
                return true;
            }};
}

template <typename At>
RecordField timeField(std::string name, At at)
{
    return {std::move(name), Kind::Real, [at](const MatchRecord& r) { return milliseconds(at(r)); },
            [at](MatchRecord& r, const std::string& t) { return toReal(t, at(r)) && isMoveTime(at(r)); },
            [at](MatchRecord& r, double value) { return isMoveTime(at(r) = value); }};
}

template <typename At>
RecordField textField(std::string name, At at, bool required = false)
{
    return {std::move(name), Kind::Text, [at](const MatchRecord& r) { return at(r); },
            [at, required](MatchRecord& r, const std::string& t) { return !(at(r) = t).empty() || !required; }};
}

} // namespace

const std::vector<RecordField>& recordFields()
{
    static const std::vector<RecordField> fields = [] {
        constexpr const char* seats[] = {"first", "second"};
        std::vector<RecordField> f;
        f.push_back(wholeField("game", [](auto& r) -> auto& { return r.game; }));
        f.push_back(textField("board", [](auto& r) -> auto& { return r.board; }));
        for (int s = 0; s < 2; ++s) {
            f.push_back(textField(std::string(seats[s]) + "_player",
                                  [s](auto& r) -> auto& { return r.seats[s].player; }, true));
            f.push_back(textField(seats[s], [s](auto& r) -> auto& { return r.seats[s].command; }, true));
        }
        f.push_back(wholeField("turns", [](auto& r) -> auto& { return r.turns; }));
        for (int s = 0; s < 2; ++s)
            f.push_back(wholeField(std::string(seats[s]) + "_score", [s](auto& r) -> auto& { return r.seats[s].score; },
                                   kBoardCells));
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
            f.push_back(timeField(seat + "_mean_ms", [s](auto& r) -> auto& { return r.seats[s].times.meanMs; }));
            f.push_back(timeField(seat + "_max_ms", [s](auto& r) -> auto& { return r.seats[s].times.maxMs; }));
            f.push_back(wholeField(seat + "_near_limit", [s](auto& r) -> auto& { return r.seats[s].times.nearLimit; }));
        }
        f.push_back(textField("run", [](auto& r) -> auto& { return r.run; }));
        f.push_back(wholeField("run_matches", [](auto& r) -> auto& { return r.runMatches; }));
        f.push_back({"swap", Kind::Flag, [](const MatchRecord& r) { return std::string(r.swap ? "true" : "false"); },
                     [](MatchRecord& r, const std::string& t) { return (r.swap = t == "true"), t == "true" || t == "false"; }});
        f.push_back(textField("run_players", [](auto& r) -> auto& { return r.runPlayers; }, true));
        f.push_back(textField("governance", [](auto& r) -> auto& { return r.governance; }));
        for (int s = 0; s < 2; ++s)
            f.push_back(wholeField(std::string(seats[s]) + "_moves", [s](auto& r) -> auto& { return r.seats[s].times.moves; }));
        f.push_back({"sprt", Kind::MaybeText, [](const MatchRecord& r) { return r.sprt; },
                     [](MatchRecord& r, const std::string& t) { return (r.sprt = t).empty() || parseSprtSettings(t); }});
        for (int s = 0; s < 2; ++s)
            f.push_back(wholeField(std::string(seats[s]) + "_move_limit_ms",
                                   [s](auto& r) -> auto& { return r.seats[s].moveLimitMs; },
                                   static_cast<int>(kLongestMoveLimit.count())));
        for (int s = 0; s < 2; ++s)
            f.push_back({std::string(seats[s]) + "_hint", Kind::MaybeText, [s](const MatchRecord& r) { return r.seats[s].hint; },
                         [s](MatchRecord& r, const std::string& t) { return (r.seats[s].hint = t), true; }});
        f.push_back({"ended", Kind::MaybeText, [](const MatchRecord& r) { return r.ended; },
                     [](MatchRecord& r, const std::string& t) { return (r.ended = t), true; }});
        f.push_back({"bot_env", Kind::MaybeText, [](const MatchRecord& r) { return r.botEnv; },
                     [](MatchRecord& r, const std::string& t) { return (r.botEnv = t), true; }});
        f.push_back({"anchor", Kind::MaybeText, [](const MatchRecord& r) { return r.anchor; },
                     [](MatchRecord& r, const std::string& t) { return (r.anchor = t), true; }});
        f.push_back({"shard", Kind::MaybeText, [](const MatchRecord& r) { return r.shard; },
                     [](MatchRecord& r, const std::string& t) { return (r.shard = t), t.empty() || parseShard(t).has_value(); }});
        return f;
    }();
    return fields;
}

std::string csvHeader(std::size_t fieldCount)
{
    std::string header;
    for (std::size_t i = 0; i < fieldCount; ++i)
        header += (header.empty() ? "" : ",") + recordFields()[i].name;
    return header + "\n";
}


} // namespace vorlen::match
