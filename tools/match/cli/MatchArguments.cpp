// Reading vorlen-match's command line into a run's configuration.
#include "MatchArguments.h"

#include "BotLimitArguments.h"
#include "CommandLine.h"
#include "MapText.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "MoveTimeArguments.h"
#include "OptionSuggestion.h"
#include "PlayerArguments.h"
#include "ReplayFile.h"
#include "Field.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

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

// Reads the replay and checks that there is a match to play on from there.
std::optional<QString> readStart(const std::string& value, MatchConfig& config)
{
    config.start = parseReplayPosition(value);
    if (!config.start)
        return "needs REPLAY@K, K a turn from 0, not '" + QString::fromLocal8Bit(value) + "'";
    std::string error;
    if (!readReplayFile(config.start->path, config.startReplay, error))
        return QString::fromLocal8Bit(config.start->path + ": " + error);
    if (!canPlayOn(config.startReplay, config.start->turns, error))
        return QString::fromLocal8Bit(config.start->path + ": " + error);
    config.boards = BoardMode::Start;
    return std::nullopt;
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
        "A player is \"stupid\" (the built-in greedy player), a program's command line (started for\n"
        "every move), or stream:COMMAND (a program that stays up for the match).\n"
        "vorlen-match summarize FILE... sums up the records of one run, from any number of files.\n"
        "vorlen-match report DIR FILE... writes a run's web pages from its records and replay folders.");
    const QCommandLineOption first("first", "Player A, in the first seat unless swapped.", "P",
                                   kBuiltInName);
    const QCommandLineOption second("second", "Player B.", "P", kBuiltInName);
    const QCommandLineOption player("player", "A named player, in place of --first and --second (repeatable).",
                                    "NAME=P");
    const QCommandLineOption tournament("tournament", "Play every pair of players (round-robin), or the first "
                                                      "against each other one (gauntlet).",
                                        "KIND");
    const QCommandLineOption sprt("sprt", "Stop as soon as a sequential probability ratio test decides "
                                          "between elo0 and elo1, or normalised Elo nelo0 and nelo1 (alpha and "
                                          "beta default to 0.05).",
                                  "elo0=E0,elo1=E1[,alpha=A,beta=B]");
    const QCommandLineOption resume("resume", "Play only the matches not yet in the --results file.");
    const QCommandLineOption shard("shard", "Play the matches whose index is I modulo N: part I of a run split "
                                            "in N (0 <= I < N).",
                                   "I/N");
    const QCommandLineOption games("games", "Number of boards (default 1).", "N", "1");
    const QCommandLineOption seed("seed", "Draw board k from a portable generator seeded with S.",
                                  "S");
    const QCommandLineOption map("map", "Play every match on this map file.", "FILE");
    const QCommandLineOption start("start", "Play every match on from the position after turn K of a replay.",
                                   "REPLAY@K");
    const QCommandLineOption boardList("boards", "Play the boards of this list in order, cycled: a line each, "
                                                 "rand:K, seed:S:K, map:PATH or replay:FILE@K.",
                                       "FILE");
    const QCommandLineOption swap("swap", "Play every board twice, seats exchanged (the default, but for a "
                                          "two-player run of one board).");
    const QCommandLineOption noSwap("no-swap", "Play every board once, seats exchanged from board to board (the "
                                               "first seat's advantage then weighs on every match).");
    const QCommandLineOption anchor("anchor", "Who is at 0 in a tournament's standings: a player's NAME, or mean "
                                              "for the rated players' mean (default: the first player).",
                                    "NAME");
    const QCommandLineOption quiet("quiet", "Show only a count of finished matches while the run goes.");
    const QCommandLineOption concurrency(
        "concurrency", "Matches at once (default: the number of cores).", "K");
    const QCommandLineOption results("results",
                                     "Append one record per match to FILE.csv (CSV) or FILE.jsonl (JSON Lines).",
                                     "FILE");
    const QCommandLineOption botLogs("bot-logs", "Keep each bot's standard error here.", "DIR");
    const QCommandLineOption replays("replays", "Write each match's replay here, for vorlen --replay.", "DIR");
    const QCommandLineOption report("report", "Write the run as web pages here, as it goes: index.html and a page "
                                              "per match.", "DIR");
    const QCommandLineOption trace("trace", "Print the window's console trace of every match.");
    const QCommandLineOption moveTime(
        "move-time",
        QString("A move's time limit in ms (default %1): MS for every player, or NAME=MS for one; repeatable.")
            .arg(kMoveTimeLimit.count()),
        "[NAME=]MS");
    const QCommandLineOption botEnv(
        "bot-env",
        "Pass NAME of this environment on to every bot, or set NAME=VALUE (repeatable); bots get nothing else of it "
        "but a fixed PATH, HOME, TMPDIR and locale.",
        "NAME[=VALUE]");
    const QCommandLineOption sandbox("sandbox", "Refuse to run bots without the bubblewrap sandbox.");
    const QCommandLineOption noSandbox("no-sandbox", "Run bots without the sandbox.");
    const QCommandLineOption noPreflight("no-preflight",
                                         "Do not start each program once on a board before the first match.");
    const QCommandLineOption looseAnswers(
        "loose-stream-answers",
        "Take a stream bot's line that starts with an integer as its answer, whatever follows (the old rule).");
    QList<QCommandLineOption> options = {first, second, player, tournament, sprt, resume, shard, games, seed, map, boardList, start,
                                               swap, noSwap, quiet, concurrency, results, botLogs, replays, report, trace,
                                               moveTime, botEnv, sandbox, noSandbox, anchor, noPreflight, looseAnswers};
    options << botLimitOptions();
    parser.addOptions(options);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    if (!parser.parse(arguments)) {
        if (parser.unknownOptionNames().isEmpty())
            return usageError(parser.errorText());
        std::vector<std::string> known{"help", "version"};
        for (const QCommandLineOption& option : options)
            for (const QString& name : option.names())
                known.push_back(name.toStdString());
        const QString unknown = parser.unknownOptionNames().front();
        const std::optional<std::string> meant = nearestOption(unknown.toStdString(), known);
        const QString dashes = unknown.size() == 1 ? "-" : "--";
        return usageError("unknown option '" + dashes + unknown + "'"
                          + (meant ? "; did you mean --" + QString::fromStdString(*meant) + "?" : QString()));
    }
    // Qt's parser offers --help-all too: it asks for the same help.
    if (parser.isSet(help) || parser.isSet("help-all")) {
        QString text = parser.helpText();
        text.replace("<executable_name>", "vorlen-match");
        return {std::nullopt, 0, text.toStdString(), {}};
    }
    if (parser.isSet(version))
        return {std::nullopt, 0, "vorlen-match " VORLEN_VERSION "\n", {}};
    if (!parser.positionalArguments().isEmpty())
        return usageError("unexpected argument '" + parser.positionalArguments().front() + "'");

    MatchConfig config;
    config.first = localBytes(parser.value(first));
    config.second = localBytes(parser.value(second));
    if (config.first.empty() || config.second.empty())
        return usageError("a player needs a command line, or \"stupid\"");
    if (const auto problem = readBotEnv(parser.values(botEnv), config))
        return usageError(*problem);
    for (const auto& [option, command] : {std::pair{"first", config.first}, {"second", config.second}})
        if (const auto problem = playerProblem(option, command, config))
            return usageError(*problem);
    if (const auto problem = readPlayers(parser.values(player), parser.isSet(first) || parser.isSet(second), config))
        return usageError(*problem);
    if (const auto problem = readTournament(parser.value(tournament), parser.isSet(tournament), config))
        return usageError(*problem);
    if (const auto problem = readAnchor(parser.value(anchor), parser.isSet(anchor), config))
        return usageError(*problem);
    if (const auto problem = readMoveTimes(parser.values(moveTime), config))
        return usageError(*problem);
    if (parser.isSet(sprt)) {
        if (const auto problem = readSprt(parser.value(sprt), config))
            return usageError(*problem);
    }
    config.resume = parser.isSet(resume);
    if (parser.isSet(shard)) {
        const auto part = parseShard(parser.value(shard).trimmed().toStdString());
        if (!part)
            return usageError("--shard needs I/N with 0 <= I < N, not '" + parser.value(shard) + "'");
        config.shard = part->index;
        config.shards = part->count;
        if (config.sprt && config.shards > 1)
            return usageError("--sprt decides on the whole run; it cannot be split with --shard");
    }
    if (config.resume && !parser.isSet(results))
        return usageError("--resume needs the --results file of the run to go on with");

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

    if (parser.isSet(seed) + parser.isSet(map) + parser.isSet(boardList) + parser.isSet(start) > 1)
        return usageError("--seed, --map, --boards and --start choose the boards: give one of them");
    if (parser.isSet(start)) {
        if (const auto problem = readStart(localBytes(parser.value(start)), config))
            return usageError("--start: " + *problem);
    }
    if (parser.isSet(boardList)) {
        config.boardListPath = localBytes(parser.value(boardList));
        std::string error;
        if (!readBoardList(config.boardListPath, config.boardList, error))
            return usageError("--boards: " + parser.value(boardList) + ": " + QString::fromLocal8Bit(error));
        config.boards = BoardMode::List;
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        config.seed = parser.value(seed).trimmed().toULongLong(&ok);
        if (!ok)
            return usageError("--seed needs a whole number from 0, not '" + parser.value(seed) + "'");
        config.boards = BoardMode::Seeded;
    }
    if (parser.isSet(map)) {
        config.mapPath = localBytes(parser.value(map));
        Field board = makeField(kBoardRows, kBoardColumns);
        std::string error;
        if (!readMapFile(config.mapPath, board, config.mapText, error))
            return usageError("cannot read the map file '" + parser.value(map)
                              + "': " + QString::fromLocal8Bit(error));
        config.mapDigits = static_cast<int>(
            std::count_if(config.mapText.begin(), config.mapText.end(), [](char ch) { return ch != '\n'; }));
        config.boards = BoardMode::Map;
    }

    if (parser.isSet(sandbox) && parser.isSet(noSandbox))
        return usageError("--sandbox and --no-sandbox cannot be used together");
    config.sandbox = parser.isSet(sandbox)     ? SandboxMode::Required
                     : parser.isSet(noSandbox) ? SandboxMode::Off
                                               : SandboxMode::Auto;
    if (const auto problem = readBotLimits(parser, config.limits))
        return usageError(*problem);
    config.preflight = !parser.isSet(noPreflight);
    config.looseStreamAnswers = parser.isSet(looseAnswers);

    if (parser.isSet(swap) && parser.isSet(noSwap))
        return usageError("--swap and --no-swap contradict each other");
    // Both seatings unless told, wherever there is more than one board or a
    // verdict or ranking comes of it: one seating a board leaves the first
    // seat's advantage in every result.
    const bool judged = config.sprt || config.tournament != Tournament::None;
    config.swap = parser.isSet(swap) || (!parser.isSet(noSwap) && (judged || config.games >= 2));
    // One seating a board: seats take turns from board to board, so that
    // neither player has the first seat's advantage throughout.
    config.alternate = parser.isSet(noSwap);
    std::string warning;
    if (config.alternate)
        warning = "vorlen-match: --no-swap: every board is played in one seating only (seats alternate from board to "
                  "board), so the first seat's advantage on each board biases its match and the result is less sure\n";
    config.quiet = parser.isSet(quiet);
    config.resultsPath = localBytes(parser.value(results));
    // The name chooses the format: a name that chooses none is a mistake.
    if (!config.resultsPath.empty() && !isRecordsPath(config.resultsPath))
        return usageError("--results: '" + parser.value(results) + "' must end in .csv (CSV) or .jsonl (JSON Lines)");
    config.botLogDir = localBytes(parser.value(botLogs));
    config.replayDir = localBytes(parser.value(replays));
    config.reportDir = localBytes(parser.value(report));
    config.trace = parser.isSet(trace);
    const long long matches = static_cast<long long>(config.games) * static_cast<long long>(config.pairings().size())
                              * (config.swap ? 2 : 1);
    if (matches > 1'000'000'000)
        return usageError(QString("%1 matches are too many for one run; use fewer --games").arg(matches));
    return {config, 0, {}, warning};
}

} // namespace vorlen::match
