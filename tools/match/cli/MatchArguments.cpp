// Reading vorlen-match's command line into a run's configuration, by the
// option table.
#include "MatchArguments.h"

#include "MatchOptions.h"
#include "OptionSuggestion.h"

#include <QCommandLineParser>

namespace vorlen::match {
namespace {

ParsedArguments usageError(const QString& problem)
{
    ParsedArguments parsed;
    parsed.exitCode = 2;
    parsed.err = "vorlen-match: " + problem.toStdString() + "\nTry 'vorlen-match --help' for more information.\n";
    return parsed;
}

ParsedArguments unknownOption(const QCommandLineParser& parser, const std::vector<MatchOption>& table)
{
    std::vector<std::string> known{"help", "version"};
    for (const MatchOption& option : table)
        known.push_back(option.name);
    const QString unknown = parser.unknownOptionNames().front();
    const std::optional<std::string> meant = nearestOption(unknown.toStdString(), known);
    const QString dashes = unknown.size() == 1 ? "-" : "--";
    return usageError("unknown option '" + dashes + unknown + "'"
                      + (meant ? "; did you mean --" + QString::fromStdString(*meant) + "?" : QString()));
}

} // namespace

ParsedArguments parseMatchArguments(const QStringList& arguments, int defaultConcurrency)
{
    const std::vector<MatchOption> table = matchOptions(defaultConcurrency);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays vorlen matches without a window, many at once, and sums them up.\n"
        "A player is \"stupid\" (the built-in greedy player), search:1 to search:5 (built-in players that\n"
        "look ahead, search:5 the strongest), a program's command line (started for every move), or\n"
        "stream:COMMAND (a program that stays up for the match).\n"
        "vorlen-match summarize FILE... sums up the records of one run, from any number of files.\n"
        "vorlen-match report DIR FILE... writes a run's web pages from its records and replay folders.\n"
        "vorlen-match move POSITION [PLAYER] asks one move on a position (REPLAY@K, seed:S:K, map:FILE,\n"
        "input:FILE) as a match would, with --seat 1|2, --save-input FILE, --move-time MS, --no-sandbox;\n"
        "without PLAYER, a replay's move is asked of the seat's own player as it ran.");
    for (const MatchOption& option : table)
        parser.addOption(option.valueName
                             ? QCommandLineOption(option.name, option.help, option.valueName, option.defaultValue)
                             : QCommandLineOption(option.name, option.help));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    if (!parser.parse(arguments))
        return parser.unknownOptionNames().isEmpty() ? usageError(parser.errorText()) : unknownOption(parser, table);
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
    std::string warnings;
    const auto given = [&parser](const char* name) { return parser.isSet(QString(name)); };
    for (const MatchOption& option : table) {
        const OptionInput input{parser.values(option.name), parser.isSet(option.name), given};
        if (const auto problem = option.take(input, config, warnings))
            return usageError(*problem);
    }
    const long long matches = static_cast<long long>(config.games) * static_cast<long long>(config.pairings().size())
                              * (config.swap ? 2 : 1);
    if (matches > 1'000'000'000)
        return usageError(QString("%1 matches are too many for one run; use fewer --games").arg(matches));
    return {config, 0, {}, warnings};
}

} // namespace vorlen::match
