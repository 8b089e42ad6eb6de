#include "OptionSuggestion.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace vorlen {
namespace {

// Edits that turn one word into the other: a letter in, out or changed,
// or two neighbours swapped (the commonest typo).
int distance(const std::string& a, const std::string& b)
{
    const auto rows = static_cast<std::size_t>(a.size()) + 1;
    const auto columns = static_cast<std::size_t>(b.size()) + 1;
    std::vector<int> d(rows * columns);
    const auto at = [columns](std::size_t i, std::size_t j) { return i * columns + j; };
    for (std::size_t i = 0; i < rows; ++i)
        d[at(i, 0)] = static_cast<int>(i);
    for (std::size_t j = 0; j < columns; ++j)
        d[at(0, j)] = static_cast<int>(j);
    for (std::size_t i = 1; i < rows; ++i)
        for (std::size_t j = 1; j < columns; ++j) {
            const bool same = a[i - 1] == b[j - 1];
            d[at(i, j)] = std::min({d[at(i - 1, j)] + 1, d[at(i, j - 1)] + 1, d[at(i - 1, j - 1)] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2]
                && a[i - 2] == b[j - 1])
                d[at(i, j)] = std::min(d[at(i, j)], d[at(i - 2, j - 2)] + 1);
        }
    return d.back();
}

// What other match runners and testers call our options.
constexpr std::pair<const char*, const char*> kOtherNames[] = {
    {"rounds", "games"},       {"games-count", "games"}, {"matches", "games"},   {"threads", "concurrency"},
    {"jobs", "concurrency"},   {"parallel", "concurrency"}, {"tc", "move-time"}, {"time", "move-time"},
    {"timeout", "move-time"},  {"engine", "player"},      {"bot", "player"},     {"pgnout", "results"},
    {"output", "results"},     {"out", "results"},        {"log", "bot-logs"},   {"logs", "bot-logs"},
    {"repeat", "swap"},        {"each", "player"},
};

} // namespace

std::optional<std::string> nearestOption(const std::string& unknown, const std::vector<std::string>& known)
{
    std::string word = unknown;
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const auto& [other, ours] : kOtherNames)
        if (word == other && std::find(known.begin(), known.end(), ours) != known.end())
            return std::string(ours);
    std::optional<std::string> best;
    int bestDistance = 0;
    for (const std::string& option : known) {
        const int d = distance(word, option);
        if (!best || d < bestDistance) {
            best = option;
            bestDistance = d;
        }
    }
    // Close enough to be a typo: two edits, one for a short word.
    const int allowed = word.size() <= 4 ? 1 : 2;
    if (best && bestDistance <= allowed)
        return best;
    return std::nullopt;
}

} // namespace vorlen
