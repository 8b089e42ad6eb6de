#include "LadderStandings.h"

#include "SeatPlayer.h"
#include "StandingRows.h"

#include <chrono>
#include <map>

namespace vorlen::ladder {

std::optional<LadderField> ladderField(LadderStore& store, std::size_t top)
{
    std::vector<VersionRow> current = store.currentVersions();
    if (current.empty())
        return std::nullopt;
    match::RunFacts facts;
    facts.swap = true;
    facts.anchor = match::kPoolMeanAnchor;
    facts.tableTop = top;
    std::map<std::int64_t, std::string> names;
    for (const VersionRow& version : current) {
        names[version.id] = versionName(version);
        facts.players.push_back({versionName(version), parseSeatPlayer(version.command)});
    }
    // Results between current versions only: earlier ones keep theirs apart.
    std::optional<LadderField> field(std::in_place, LadderField{std::move(current), match::Tally(facts.players[0].name, true), facts});
    for (const VersionResults& met : store.meetings()) {
        const auto first = names.find(met.first), second = names.find(met.second);
        if (first != names.end() && second != names.end())
            field->tally.addResults(first->second, second->second, {met.wins, met.draws, met.losses}, met.pairs);
    }
    return field;
}

std::string computeStandings(LadderStore& store, std::size_t top)
{
    const std::optional<LadderField> field = ladderField(store, top);
    if (!field)
        return "No bot has a version ready to play yet.\n";
    if (field->tally.matches() == 0) {
        std::string text = "No matches between the current versions yet; they are:\n";
        for (const VersionRow& version : field->current)
            text += "  " + versionName(version) + "\n";
        return text;
    }
    std::string text = match::standingsText(field->tally, field->facts);
    text.erase(0, text.find_first_not_of('\n'));
    return text;
}

std::string currentStandings(LadderStore& store, std::size_t top)
{
    const std::string state = store.standingsState();
    if (std::optional<std::string> kept = store.keptStandings(state, static_cast<int>(top)))
        return *kept;
    const std::string text = computeStandings(store, top);
    store.keepStandings(state, static_cast<int>(top), text);
    return text;
}

double refreshStandings(LadderStore& store, std::size_t top, const std::string& now)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string state = store.standingsState();
    store.keepStandings(state, static_cast<int>(top), computeStandings(store, top));
    if (!now.empty())
        keepRatings(store, top, now);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void keepRatings(LadderStore& store, std::size_t top, const std::string& now)
{
    const std::optional<LadderField> field = ladderField(store, top);
    if (!field || field->tally.matches() == 0)
        return;
    std::map<std::string, std::int64_t> ids;
    for (const VersionRow& version : field->current)
        ids[versionName(version)] = version.id;
    for (const match::StandingRow& row : match::standingRows(field->tally, field->facts))
        if (row.rated)
            store.keepRating(ids[row.name], {now, row.rated->elo, row.rated->low, row.rated->high});
}

} // namespace vorlen::ladder
