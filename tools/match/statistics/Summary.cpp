#include "Summary.h"

#include "Retirement.h"
#include "TerminalText.h"

#include "Elo.h"
#include "SprtStopBias.h"
#include "SprtStopInterval.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace vorlen::match {

std::string formatted(const char* pattern, ...)
{
    std::va_list values;
    va_start(values, pattern);
    std::va_list again;
    va_copy(again, values);
    const int length = std::vsnprintf(nullptr, 0, pattern, values);
    va_end(values);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, pattern, again);
    va_end(again);
    return text;
}

namespace {

// Of nothing there is no share: "-", never "0.0 %".
std::string percent(double part, double whole) { return whole > 0 ? formatted("%.1f %%", 100.0 * part / whole) : "-"; }


std::string header(const Tally& tally, const RunFacts& run, bool interrupted, bool stoppedBySprt)
{
    // Every board in both seatings only when every match was played.
    const bool whole = !interrupted && !stoppedBySprt && run.part.empty();
    const std::string seatings = run.swap ? (whole ? " (every board in both seatings)"
                                             : stoppedBySprt ? " (boards in both seatings, until the SPRT decided)"
                                                             : " (boards in both seatings)")
                                 : stoppedBySprt ? " (until the SPRT decided)"
                                                 : "";
    std::string text = formatted("Matches played: %lld of %d%s%s%s\n", tally.matches(), run.matchCount, seatings.c_str(),
                                 run.part.empty() ? "" : (", " + run.part).c_str(), interrupted ? ", interrupted" : "");
    // Records name a command only where its player played.
    for (const NamedPlayer& player : run.players)
        text += "  " + player.name
                + (player.command() == kUnknownCommand ? std::string(": no matches in these records")
                                                       : " = " + terminalSafe(player.command()))
                + "\n";
    if (run.anyProgram)
        text += std::string("  bots ran ")
                + (!run.sandboxed             ? "without a sandbox"
                   : run.governance.empty() ? "in a box per seat (bubblewrap)"
                   : run.governance == "rlimits"
                       ? "in a box per seat (bubblewrap), held by rlimits (shared memory is not counted)"
                       : "in a box per seat (bubblewrap), held by " + terminalSafe(run.governance))
                + ", with a fixed environment" + (run.botEnv.empty() ? "" : " and " + terminalSafe(run.botEnv) + " passed on")
                + "\n";
    return text;
}

std::string eloLine(const Tally& tally, const RunFacts& run)
{
    const Tally::Player& a = tally.player(run.players[0].name);
    if (a.games() == 0)
        return {};
    const std::array<Count, 5>& pairs = tally.pairsByPoints();
    const FirstPlayerElo first = eloOfFirst(tally, run.players[0].name);
    const EloEstimate& elo = first.elo;
    const std::string samples = samplesText(elo.samples, first.byPairs);
    // Every point to one side: the interval says how far, the estimate nothing.
    const std::string estimate =
        std::isinf(elo.difference)
            ? "no finite estimate: " + run.players[elo.difference > 0 ? 0 : 1].name + " won every match "
                  + eloRange(elo.low, elo.high)
            : eloWithRange(elo.difference, elo.low, elo.high);
    std::string text = "\nElo difference " + run.players[0].name + " - " + run.players[1].name + ": " + estimate
                       + formatted(" (95 %%, from %s), LOS %s, draw ratio %s\n", samples.c_str(),
                                   likelihoodText(elo.los).c_str(), percent(a.draws, a.games()).c_str());
    if (first.byPairs && std::isfinite(elo.nElo))
        text += "Normalised Elo: " + eloWithRange(elo.nElo, elo.nEloLow, elo.nEloHigh) + " (95 %)\n";
    if (first.byPairs)
        text += formatted("Board pairs by %s's points (0, 1/2, 1, 3/2, 2): %lld, %lld, %lld, %lld, %lld\n",
                          run.players[0].name.c_str(), pairs[0], pairs[1], pairs[2], pairs[3], pairs[4]);
    const Tally::Results& seat = tally.firstSeat();
    if (elo.samples < kFewSamples)
        text += "  a small sample (" + samples + ", under " + std::to_string(kFewSamples)
                + "): a first look, not a verdict\n";
    if (elo.noSpread && elo.difference == 0)
        text += (elo.samples == 1 ? std::string("  the one ") + (first.byPairs ? "board pair split evenly" : "match was a draw")
                                  : "  all " + samples + (first.byPairs ? " split evenly" : " were draws"))
                + ": no spread to measure, so the interval rests on a weak prior (half a sample at each end)\n";
    const std::string& name = run.players[0].name;
    if (!first.byPairs)
        text += formatted("  seats unbalanced: each board was played in one seating, and the first seat took %s of "
                          "the points; %s sat first in %lld of %lld matches\n",
                          percent(seat.points(), seat.games()).c_str(), name.c_str(), tally.firstSeats(name),
                          seat.games());
    return text;
}

std::string twoPlayerTable(const Tally& tally, const RunFacts& run)
{
    const int w = nameWidth(run);
    std::string text = formatted("\n%-*s      wins     draws    losses    points   mean score\n", w, "player");
    for (const NamedPlayer& named : run.players) {
        const Tally::Player& p = tally.player(named.name);
        text += formatted("%-*s  %8lld  %8lld  %8lld  %8s  %11.1f\n", w, named.name.c_str(), p.wins, p.draws, p.losses,
                          percent(p.points(), p.games()).c_str(), p.games() > 0 ? double(p.scoreSum) / p.games() : 0.0);
    }
    return text + eloLine(tally, run);
}

// The first seat's advantage, visible whatever the seatings.
std::string firstSeat(const Tally& tally)
{
    const Tally::Results& seat = tally.firstSeat();
    return formatted("\nFirst seat: %s of the points over %lld %s (wins %lld, draws %lld, losses %lld)\n",
                     percent(seat.points(), seat.games()).c_str(), seat.games(), seat.games() == 1 ? "match" : "matches",
                     seat.wins, seat.draws, seat.losses);
}

std::string moveTimes(const Tally& tally, const RunFacts& run)
{
    std::string text = "\nMove times:\n";
    for (const NamedPlayer& named : run.players) {
        const Tally::Player& p = tally.player(named.name);
        text += formatted("  %s: mean %.1f ms, largest %.1f ms, %lld of %lld moves within 10 %% of the %lld ms limit\n",
                          named.name.c_str(), p.moves > 0 ? p.moveMsSum / p.moves : 0.0, p.maxMoveMs, p.nearLimit,
                          p.moves, static_cast<long long>(named.moveTime.count()));
    }
    return text;
}

// Per player, the reasons that `wanted` picks, with their counts.
std::string reasons(const Tally& tally, const RunFacts& run, bool endings)
{
    std::string text;
    for (const NamedPlayer& named : run.players) {
        std::string line;
        for (const auto& [reason, count] : tally.player(named.name).retirements)
            if (isGameEnd(reason) == endings)
                line += formatted("%s %s %lld", line.empty() ? "" : ",", terminalSafe(reason).c_str(), count);
        text += "  " + named.name + ":" + (line.empty() ? " none" : line) + "\n";
        if (endings)
            continue;
        const Tally::Player& player = tally.player(named.name);
        for (const auto& [reason, hint] : player.hints)
            text += "    " + terminalSafe(reason) + ": " + terminalSafe(hint.second) + "\n";
        // Where each failure happened, to go and see it.
        for (const auto& [reason, where] : player.failedAt) {
            std::string games;
            for (const auto& [game, turn] : where)
                games += formatted("%sgame %d turn %d", games.empty() ? "" : ", ", game, turn);
            const auto count = player.retirements.find(reason);
            const Count more = (count == player.retirements.end() ? 0 : count->second) - static_cast<Count>(where.size());
            text += "    " + terminalSafe(reason) + " in " + games + (more > 0 ? formatted(" and %lld more", more) : "")
                    + "\n";
        }
    }
    return text;
}

// The estimate at an SPRT's stop, and the same adjusted for the stop.
std::string stopBiasLine(const SprtRun& sprt, const RunFacts& run)
{
    const ScoreMoments counted = sprt.pairs() ? momentsOf(sprt.pentanomial(), kPairScores)
                                              : momentsOf(sprt.trinomial(), kMatchScores);
    const double plain = eloOf(counted.mean);
    const int games = sprt.pairs() ? 2 : 1;
    if (!std::isfinite(plain) || !(counted.variance > 0))
        return "  stopped early, the plain estimate is biased by the stop; these results cannot say by how much\n";
    const int samples = static_cast<int>(std::min<Count>(counted.samples, INT_MAX));
    const int maxSamples = std::max(samples, static_cast<int>(run.matchCount / games));
    const double adjusted =
        biasAdjustedScore({counted.mean, counted.variance, samples, maxSamples, games}, sprt.settings());
    const StoppedTest test{sprt.settings(), maxSamples};
    const StopAwareEstimate stopAware = sprt.pairs() ? stopAwareEstimate(sprt.pentanomial(), kPairScores, 2, test)
                                                     : stopAwareEstimate(sprt.trinomial(), kMatchScores, 1, test);
    return "  stopped early, the plain estimate is biased by the stop: " + signedElo(plain) + " from the "
           + samplesText(sprt.samples(), sprt.pairs()) + " the SPRT counted, bias-adjusted " + signedElo(eloOf(adjusted))
           + formatted(" (Whitehead's method, %d simulated runs of this test)\n", kStopBiasRuns)
           + "  accounting for the stop: 95 % interval " + eloRange(eloOf(stopAware.low), eloOf(stopAware.high))
           + ", LOS " + likelihoodText(stopAware.los)
           + formatted(" (this test's stops simulated, %d runs a point, ranked stop by stop)\n", kStopIntervalRuns);
}

} // namespace

FirstPlayerElo eloOfFirst(const Tally& tally, const std::string& first)
{
    if (const EloEstimate byPairs = estimateEloOfPairs(tally.pairsByPoints()); tally.pairs() && byPairs.samples > 0)
        return {byPairs, true};
    const Tally::Player& a = tally.player(first);
    return {estimateElo(a.wins, a.draws, a.losses), false};
}

std::vector<std::string> playerNames(const RunFacts& run)
{
    std::vector<std::string> names;
    for (const NamedPlayer& player : run.players)
        names.push_back(player.name);
    return names;
}

int nameWidth(const RunFacts& run)
{
    std::size_t width = 6; // "player"
    for (const NamedPlayer& player : run.players)
        width = std::max(width, player.name.size());
    return static_cast<int>(width);
}

std::string resultCell(const Tally::Results& results)
{
    return results.games() > 0 ? formatted("%.1f/%lld", results.points(), results.games()) : std::string();
}

std::string samplesText(Count count, bool pairs)
{
    return std::to_string(count) + " " + (pairs ? (count == 1 ? "board pair" : "board pairs")
                                                : (count == 1 ? "match" : "matches"));
}

std::string eloRange(double low, double high)
{
    const auto bound = [](double value) {
        return std::isinf(value) ? std::string(value > 0 ? "+∞" : "-∞") : signedElo(value);
    };
    return "[" + bound(low) + ", " + bound(high) + "]";
}

std::string eloWithRange(double value, double low, double high)
{
    return (std::isinf(value) ? std::string("no finite estimate") : signedElo(value)) + " " + eloRange(low, high);
}

std::string likelihoodNumber(double p)
{
    if (p == 1 || p == 0)
        return p == 1 ? "100" : "0";
    if (p >= 0.9995)
        return "> 99.9";
    if (p < 0.0005)
        return "< 0.1";
    return formatted("%.1f", 100.0 * p);
}

std::string likelihoodText(double p) { return likelihoodNumber(p) + " %"; }

std::string signedElo(double value)
{
    if (std::isinf(value))
        return value > 0 ? "+inf" : "-inf";
    return formatted("%+.1f", std::fabs(value) < 0.05 ? 0.0 : value);
}

std::string summaryText(const Tally& tally, const RunFacts& run, bool interrupted, const SprtRun* sprt)
{
    const bool decided = sprt && sprt->decided();
    std::string text = header(tally, run, interrupted, decided && tally.matches() < run.matchCount);
    text += run.players.size() == 2 ? twoPlayerTable(tally, run) : standingsText(tally, run);
    if (sprt)
        text += "\nSPRT " + sprtSettingsShown(sprt->settings())
                + ", " + samplesText(sprt->samples(), run.swap) + ": "
                + sprt->text() + (decided || interrupted ? "" : ", limit reached, undecided") + "\n"
                + (decided ? stopBiasLine(*sprt, run) : std::string());
    text += firstSeat(tally);
    text += moveTimes(tally, run);
    text += "\nHow seats left their matches (the game's own ends):\n" + reasons(tally, run, true);
    text += "\nFailures:\n" + reasons(tally, run, false);
    return text;
}

} // namespace vorlen::match
