#include "OptionSuggestion.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vorlen::match {
namespace {

// Edits that turn one word into the other: a letter in, out or changed,
// or two neighbours swapped (the commonest typo).
int distance(const QString& a, const QString& b)
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
            const bool same = a[static_cast<qsizetype>(i - 1)] == b[static_cast<qsizetype>(j - 1)];
            d[at(i, j)] = std::min({d[at(i - 1, j)] + 1, d[at(i, j - 1)] + 1, d[at(i - 1, j - 1)] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && a[static_cast<qsizetype>(i - 1)] == b[static_cast<qsizetype>(j - 2)]
                && a[static_cast<qsizetype>(i - 2)] == b[static_cast<qsizetype>(j - 1)])
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

std::optional<QString> nearestOption(const QString& unknown, const QStringList& known)
{
    const QString word = unknown.toLower();
    for (const auto& [other, ours] : kOtherNames)
        if (word == other && known.contains(ours))
            return QString(ours);
    std::optional<QString> best;
    int bestDistance = 0;
    for (const QString& option : known) {
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

} // namespace vorlen::match
