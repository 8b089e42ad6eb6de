// The tables of a tournament's standings that look at players two by two:
// results, board pairs, and who is likely the stronger.
#include "PairingLikelihood.h"
#include "Summary.h"

#include <numeric>

namespace vorlen::match {
namespace {

// Above this many players a matrix is too wide to read.
constexpr std::size_t kMatrixPlayers = 10;

std::string columnHeads(const std::vector<int>& order, int w)
{
    std::string text = formatted("%4s  %-*s", "", w, "");
    for (std::size_t rank = 0; rank < order.size(); ++rank)
        text += formatted("  %11zu", rank + 1);
    return text + "\n";
}

std::string crossTable(const Tally& tally, const std::vector<std::string>& names, const std::vector<int>& order, int w)
{
    std::string text = "\nCross table (points of the row's player against the column's / matches):\n";
    text += columnHeads(order, w);
    for (std::size_t row = 0; row < order.size(); ++row) {
        const std::string& name = names[order[row]];
        text += formatted("%4zu  %-*s", row + 1, w, name.c_str());
        for (const int column : order) {
            const std::string cell = column == order[row] ? "" : resultCell(tally.between(name, names[column]));
            text += formatted("  %11s", cell.empty() ? "-" : cell.c_str());
        }
        text += "\n";
    }
    return text;
}

// Each pairing's boards played in both seatings, by the points of the one
// ranked higher.
std::string pairCounts(const Tally& tally, const std::vector<std::string>& names, const std::vector<int>& order, int w)
{
    std::string text;
    for (std::size_t x = 0; x < order.size(); ++x)
        for (std::size_t y = x + 1; y < order.size(); ++y) {
            const std::string& a = names[order[x]];
            const std::string& b = names[order[y]];
            const std::array<Count, 5> pairs = tally.pairsBetween(a, b);
            const Count count = std::accumulate(pairs.begin(), pairs.end(), Count{0});
            if (count > 0)
                text += formatted("  %-*s %-*s  %6lld  %6lld  %6lld  %6lld  %6lld  %7lld\n", w, a.c_str(), w, b.c_str(), pairs[0],
                                  pairs[1], pairs[2], pairs[3], pairs[4], count);
        }
    if (text.empty())
        return {};
    return "\nBoard pairs by pairing, by the first's points:\n"
           + formatted("  %-*s %-*s  %6s  %6s  %6s  %6s  %6s  %7s\n", w, "first", w, "second", "0", "1/2", "1", "3/2",
                       "2", "pairs")
           + text;
}

// Between rated players only, labelled by their ranks.
std::string superiorityMatrix(const Tally& tally, const std::vector<std::string>& names, const std::vector<int>& order,
                              const Ratings& ratings, int w)
{
    std::vector<std::size_t> ranks;
    for (std::size_t rank = 0; rank < order.size(); ++rank)
        if (ratings.standing[order[rank]] == Standing::Rated)
            ranks.push_back(rank);
    if (ranks.size() < 2 || ranks.size() > kMatrixPlayers)
        return {};
    std::string text = "\nLikelihood of superiority (the row's player over the column's, %, from their own results as a "
                       "two-player run gives it):\n"
                       + formatted("%4s  %-*s", "", w, "");
    for (const std::size_t rank : ranks)
        text += formatted("  %6zu", rank + 1);
    text += "\n";
    bool throughRatings = false;
    for (const std::size_t row : ranks) {
        const int i = order[row];
        text += formatted("%4zu  %-*s", row + 1, w, names[i].c_str());
        for (const std::size_t column : ranks) {
            if (column == row) {
                text += formatted("  %6s", "-");
                continue;
            }
            const int j = order[column];
            const PairingLikelihood likely = pairingLikelihood(tally, ratings, names[i], i, names[j], j);
            throughRatings = throughRatings || likely.fromRatings;
            text += formatted("  %6s", (likelihoodNumber(likely.value) + (likely.fromRatings ? "*" : "")).c_str());
        }
        text += "\n";
    }
    if (throughRatings)
        text += "  * never met: through the ratings\n";
    return text + (ranks.size() > 2 ? "  " + manyComparisonsNote(static_cast<int>(ranks.size())) : std::string());
}

} // namespace

std::string manyComparisonsNote(int rated)
{
    const int comparisons = rated * (rated - 1) / 2;
    if (comparisons < 3)
        return {};
    return formatted("%d comparisons at once: with no difference anywhere, each passes 95 %% one time in twenty, so "
                     "about %.1f of them would by chance; one such likelihood alone is a lead, not a verdict\n",
                     comparisons, comparisons / 20.0);
}

std::string pairingTables(const Tally& tally, const RunFacts& run, const std::vector<int>& order,
                          const Ratings& ratings)
{
    const std::vector<std::string> names = playerNames(run);
    const int w = nameWidth(run);
    if (run.tableTop > 0 && order.size() > run.tableTop) {
        // A field of hundreds: the tables between the leaders only.
        const std::vector<int> top(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(run.tableTop));
        return formatted("\nThe tables below are between the top %zu of %zu.\n", run.tableTop, order.size())
               + crossTable(tally, names, top, w) + pairCounts(tally, names, top, w)
               + superiorityMatrix(tally, names, top, ratings, w);
    }
    return crossTable(tally, names, order, w) + pairCounts(tally, names, order, w)
           + superiorityMatrix(tally, names, order, ratings, w);
}

} // namespace vorlen::match
