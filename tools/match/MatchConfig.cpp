#include "MatchConfig.h"

#include "MapText.h"

#include <QCommandLineParser>

#include <fstream>
#include <sstream>

namespace vorlen::match {
namespace {

ParsedArguments usageError(const QString& problem)
{
    ParsedArguments parsed;
    parsed.exitCode = 2;
    parsed.err = "vorlen-match: " + problem.toStdString()
                 + "\nTry 'vorlen-match --help' for more information.\n";
    return parsed;
}

std::optional<long long> wholeNumber(const QString& text)
{
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

ParsedArguments parseMatchArguments(const QStringList& arguments, int defaultConcurrency)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays vorlen matches without a window, many at once, and sums them up.\n"
        "A player is \"stupid\" (the built-in greedy player) or a program's command line.");
    const QCommandLineOption first("first", "Player A, in the first seat unless swapped.", "P",
                                   kBuiltInName);
    const QCommandLineOption second("second", "Player B.", "P", kBuiltInName);
    const QCommandLineOption games("games", "Number of boards (default 1).", "N", "1");
    const QCommandLineOption seed("seed", "Draw board k from a portable generator seeded with S.",
                                  "S");
    const QCommandLineOption map("map", "Play every match on this map file.", "FILE");
    const QCommandLineOption swap("swap", "Play every board twice, seats exchanged.");
    const QCommandLineOption concurrency(
        "concurrency", "Matches at once (default: the number of cores).", "K");
    const QCommandLineOption results("results",
                                     "Append one record per match (CSV; JSON Lines for .jsonl).",
                                     "FILE");
    const QCommandLineOption botLogs("bot-logs", "Keep each bot's standard error here.", "DIR");
    const QCommandLineOption trace("trace", "Print the window's console trace of every match.");
    parser.addOptions({first, second, games, seed, map, swap, concurrency, results, botLogs, trace});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help))
        return {std::nullopt, 0, parser.helpText().toStdString(), {}};
    if (parser.isSet(version))
        return {std::nullopt, 0, "vorlen-match " VORLEN_VERSION "\n", {}};
    if (!parser.positionalArguments().isEmpty())
        return usageError("unexpected argument '" + parser.positionalArguments().front() + "'");

    MatchConfig config;
    config.first = parser.value(first).toStdString();
    config.second = parser.value(second).toStdString();
    if (config.first.empty() || config.second.empty())
        return usageError("a player needs a command line, or \"stupid\"");

    const auto gameCount = wholeNumber(parser.value(games));
    if (!gameCount || *gameCount < 1 || *gameCount > 100'000'000)
        return usageError("--games needs a whole number of at least 1, not '" + parser.value(games) + "'");
    config.games = static_cast<int>(*gameCount);

    config.concurrency = defaultConcurrency;
    if (parser.isSet(concurrency)) {
        const auto count = wholeNumber(parser.value(concurrency));
        if (!count || *count < 1 || *count > 1024)
            return usageError("--concurrency needs a whole number from 1 to 1024, not '"
                              + parser.value(concurrency) + "'");
        config.concurrency = static_cast<int>(*count);
    }

    if (parser.isSet(seed) && parser.isSet(map))
        return usageError("--seed and --map cannot be used together");
    if (parser.isSet(seed)) {
        bool ok = false;
        config.seed = parser.value(seed).trimmed().toULongLong(&ok);
        if (!ok)
            return usageError("--seed needs a whole number from 0, not '" + parser.value(seed) + "'");
        config.boards = BoardMode::Seeded;
    }
    if (parser.isSet(map)) {
        config.mapPath = parser.value(map).toStdString();
        std::ifstream in(config.mapPath);
        std::ostringstream text;
        if (!in || !(text << in.rdbuf()))
            return usageError("cannot read the map file '" + parser.value(map) + "'");
        config.mapText = text.str();
        config.boards = BoardMode::Map;
    }

    config.swap = parser.isSet(swap);
    config.resultsPath = parser.value(results).toStdString();
    config.botLogDir = parser.value(botLogs).toStdString();
    config.trace = parser.isSet(trace);
    return {config, 0, {}, {}};
}

} // namespace vorlen::match
