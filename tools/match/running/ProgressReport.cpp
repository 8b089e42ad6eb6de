#include "ProgressReport.h"

#include "TerminalText.h"

#include "Elo.h"
#include "Retirement.h"
#include "Summary.h"

#include <algorithm>
#include <cmath>

namespace vorlen::match {
namespace {

constexpr auto kScoreEvery = std::chrono::seconds(10);
constexpr int kScoreMatches = 10;

std::string duration(double seconds)
{
    if (seconds < 60)
        return formatted("%.0f s", seconds);
    if (seconds < 3600)
        return formatted("%.0f min", seconds / 60);
    return formatted("%.1f h", seconds / 3600);
}

} // namespace

ProgressReport::ProgressReport(const Settings& settings, Clock::time_point start)
    : settings_(settings), start_(start), lastShown_(start), lastCount_(settings.earlier)
{
}

std::string ProgressReport::matchLine(const MatchRecord& record) const
{
    const std::string winner = record.winner();
    std::string line = formatted("game %d: %s %d - %s %d, %s", record.game, record.seats[0].player.c_str(),
                                 record.seats[0].score, record.seats[1].player.c_str(), record.seats[1].score,
                                 winner == "D" ? "a draw" : (winner + " wins").c_str());
    for (const SeatRecord& seat : record.seats)
        if (!seat.retired.empty() && !isGameEnd(seat.retired))
            line += formatted(" (%s: %s at turn %d)", seat.player.c_str(), seat.retired.c_str(), seat.retiredTurn);
    return line + "\n";
}

std::string ProgressReport::scoreLine(const MatchRunner::Progress& now, Clock::time_point at) const
{
    const std::string& first = settings_.players.front();
    const Tally::Player& p = now.tally.player(first);
    std::string line;
    if (settings_.players.size() > 2)
        line = "standings: " + standingsLine(now.tally, settings_.players, settings_.anchor);
    else
        line = first + " vs " + settings_.players[1] + formatted(": wins %lld, draws %lld, losses %lld", p.wins, p.draws, p.losses);
    if (settings_.players.size() == 2 && p.games() > 0) {
        const EloEstimate elo = eloOfFirst(now.tally, first).elo;
        line += ", Elo " + eloWithRange(elo.difference, elo.low, elo.high);
    }
    if (now.sprt)
        line += ", " + now.sprt->text();
    line += formatted("; %d of %d matches", now.finished, settings_.total);
    const int left = settings_.total - now.finished;
    const int doneHere = now.finished - settings_.earlier;
    const double elapsed = std::chrono::duration<double>(at - start_).count();
    if (left > 0 && doneHere > 0 && !(now.sprt && now.sprt->decided()))
        line += formatted(", %d left, about %s", left, duration(elapsed / doneHere * left).c_str());
    return line;
}

std::string ProgressReport::countLine(const MatchRunner::Progress& now) const
{
    return formatted("%d/%d matches", now.finished, settings_.total)
           + (now.sprt ? ", " + now.sprt->text() : std::string());
}

std::string ProgressReport::update(const MatchRunner::Progress& now, Clock::time_point at)
{
    std::string text;
    if (settings_.quiet) {
        if (settings_.terminal)
            return "\r" + countLine(now) + "\033[K";
        const int step = std::max(1, settings_.total / 10);
        if (now.finished == lastCount_ || (now.finished / step == lastCount_ / step && at - lastShown_ < kScoreEvery))
            return {};
        lastCount_ = now.finished;
        lastShown_ = at;
        return countLine(now) + "\n";
    }
    for (const MatchRecord& record : now.fresh)
        text += terminalSafe(matchLine(record), true);
    const bool manyMore = now.finished / kScoreMatches != lastCount_ / kScoreMatches;
    if (now.finished != lastCount_ && (manyMore || at - lastShown_ >= kScoreEvery)) {
        text += scoreLine(now, at) + "\n";
        lastCount_ = now.finished;
        lastShown_ = at;
    }
    if (!settings_.terminal)
        return text;
    // The count stays on the last line: cleared before lines above it are written.
    return "\r\033[K" + text + countLine(now) + "\033[K";
}

std::string ProgressReport::finish() const { return settings_.terminal ? "\r\033[K" : ""; }

} // namespace vorlen::match
