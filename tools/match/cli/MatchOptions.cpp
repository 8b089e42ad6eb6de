// vorlen-match's options, a row each: what it is called, what it takes, its
// help, and where it goes in the run.
#include "MatchOptions.h"

#include "BoardArguments.h"
#include "BotLimitArguments.h"
#include "MoveTimeArguments.h"
#include "PlayerArguments.h"
#include "RecordText.h"
#include "ReportArguments.h"


namespace vorlen::match {
namespace {

using Taken = std::optional<QString>;

std::optional<long long> wholeNumber(const QString& text)
{
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// An option that only sets a text of the run.
MatchOption pathOption(const char* name, const char* valueName, const QString& help, std::string MatchConfig::*field)
{
    return {name, valueName, help, {}, [field](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
                config.*field = localBytes(in.value());
                return std::nullopt;
            }};
}

// An option that only switches something of the run on.
MatchOption flagOption(const char* name, const QString& help, bool MatchConfig::*field, bool whenSet = true)
{
    return {name, nullptr, help, {}, [field, whenSet](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
                config.*field = in.set ? whenSet : !whenSet;
                return std::nullopt;
            }};
}

// Who plays a seat is read here, once, where it enters the run.
MatchOption playerOption(const char* name, const QString& help, SeatPlayer MatchConfig::*field)
{
    return {name, "P", help, kBuiltInName, [field](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
                const std::string given = localBytes(in.value());
                if (given.empty())
                    return QString("a player needs a command line, \"stupid\" or \"search:1\" to \"search:5\"");
                config.*field = parseSeatPlayer(given);
                return std::nullopt;
            }};
}

std::vector<MatchOption> playerOptions()
{
    return {
        playerOption("first", "Player A, in the first seat unless swapped.", &MatchConfig::first),
        playerOption("second", "Player B.", &MatchConfig::second),
        {"bot-env", "NAME[=VALUE]",
         "Pass NAME of this environment on to every bot, or set NAME=VALUE (repeatable); bots get nothing else of it "
         "but a fixed PATH, HOME, TMPDIR and locale.",
         {}, [](const OptionInput& in, MatchConfig& config, Warnings&) { return readBotEnv(in.values, config); }},
        // Checked here, where the bots' environment is known.
        {"player", "NAME=P", "A named player, in place of --first and --second (repeatable).", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             for (const auto& [option, seat] : {std::pair{"first", config.first}, {"second", config.second}})
                 if (const auto problem = playerProblem(option, seat, config))
                     return problem;
             return readPlayers(in.values, in.given("first") || in.given("second"), config);
         }},
        {"tournament", "KIND",
         "Play every pair of players (round-robin), or the first against each other one (gauntlet).", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) {
             return readTournament(in.value(), in.set, config);
         }},
        {"anchor", "NAME",
         "Who is at 0 in a tournament's standings: a player's NAME, or mean for the rated players' mean (default: "
         "the first player).",
         {}, [](const OptionInput& in, MatchConfig& config, Warnings&) { return readAnchor(in.value(), in.set, config); }},
        {"move-time", "[NAME=]MS",
         QString("A move's time limit in ms (default %1): MS for every player, or NAME=MS for one; repeatable.")
             .arg(kMoveTimeLimit.count()),
         {}, [](const OptionInput& in, MatchConfig& config, Warnings&) { return readMoveTimes(in.values, config); }},
        {"sprt", "elo0=E0,elo1=E1[,alpha=A,beta=B]",
         "Stop as soon as a sequential probability ratio test decides between elo0 and elo1, or normalised Elo "
         "nelo0 and nelo1 (alpha and beta default to 0.05).",
         {}, [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             return in.set ? readSprt(in.value(), config) : std::nullopt;
         }},
    };
}

std::vector<MatchOption> runOptions(int defaultConcurrency)
{
    return {
        {"resume", nullptr, "Play only the matches not yet in the --results file.", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             config.resume = in.set;
             if (config.resume && !in.given("results"))
                 return QString("--resume needs the --results file of the run to go on with");
             return std::nullopt;
         }},
        {"shard", "I/N", "Play part I of a run split in N (0 <= I < N): every N-th board pair from the I-th with --swap, "
         "else every N-th match.", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             if (!in.set)
                 return std::nullopt;
             const auto part = parseShard(in.value().trimmed().toStdString());
             if (!part)
                 return "--shard needs I/N with 0 <= I < N, not '" + in.value() + "'";
             config.shard = part->index;
             config.shards = part->count;
             if (config.sprt && config.shards > 1)
                 return QString("--sprt decides on the whole run; it cannot be split with --shard");
             return std::nullopt;
         }},
        {"games", "N", "Number of boards (default 1).", "1",
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             const auto count = wholeNumber(in.value());
             if (!count || *count < 1 || *count > 100'000'000)
                 return "--games needs a whole number of at least 1, not '" + in.value() + "'";
             config.games = static_cast<int>(*count);
             return std::nullopt;
         }},
        {"concurrency", "K", "Matches at once (default: the number of cores).", {},
         [defaultConcurrency](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             config.concurrency = defaultConcurrency;
             if (!in.set)
                 return std::nullopt;
             const auto count = wholeNumber(in.value());
             if (!count || *count < 1 || *count > 1024)
                 return "--concurrency needs a whole number from 1 to 1024, not '" + in.value() + "'";
             config.concurrency = static_cast<int>(*count);
             return std::nullopt;
         }},
    };
}

std::vector<MatchOption> boardOptions()
{
    return {
        {"start", "REPLAY@K", "Play every match on from the position after turn K of a replay (K from 0, or start).", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             if (in.given("seed") + in.given("map") + in.given("boards") + in.given("start") > 1)
                 return QString("--seed, --map, --boards and --start choose the boards: give one of them");
             if (!in.set)
                 return std::nullopt;
             if (const auto problem = readStart(localBytes(in.value()), config))
                 return "--start: " + *problem;
             return std::nullopt;
         }},
        {"boards", "FILE",
         "Play the boards of this list in order, cycled: a line each, rand:K, seed:S:K, map:PATH or "
         "replay:FILE@K.",
         {}, [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             if (!in.set)
                 return std::nullopt;
             config.boardListPath = localBytes(in.value());
             std::string error;
             if (!readBoardList(config.boardListPath, config.boardList, error))
                 return "--boards: " + in.value() + ": " + QString::fromLocal8Bit(error);
             config.boards = BoardMode::List;
             return std::nullopt;
         }},
        {"seed", "S", "Draw board k from a portable generator seeded with S.", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             if (!in.set)
                 return std::nullopt;
             bool ok = false;
             config.seed = in.value().trimmed().toULongLong(&ok);
             if (!ok)
                 return "--seed needs a whole number from 0, not '" + in.value() + "'";
             config.boards = BoardMode::Seeded;
             return std::nullopt;
         }},
        {"map", "FILE", "Play every match on this map file.", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             return in.set ? readMap(in.value(), config) : std::nullopt;
         }},
        {"swap", nullptr,
         "Play every board twice, seats exchanged (the default, but for a two-player run of one board).", {},
         [](const OptionInput& in, MatchConfig& config, Warnings& warnings) -> Taken {
             const bool noSwap = in.given("no-swap");
             if (in.set && noSwap)
                 return QString("--swap and --no-swap contradict each other");
             // Both seatings unless told, wherever there is more than one
             // board or a verdict or ranking comes of it: one seating a board
             // leaves the first seat's advantage in every result.
             const bool judged = config.sprt || config.tournament != Tournament::None;
             config.swap = in.set || (!noSwap && (judged || config.games >= 2));
             // One seating a board: seats take turns from board to board, so
             // that neither player has the first seat's advantage throughout.
             config.alternate = noSwap;
             if (noSwap)
                 warnings += "vorlen-match: --no-swap: every board is played in one seating only (seats alternate "
                             "from board to board), so the first seat's advantage on each board biases its match "
                             "and the result is less sure\n";
             return std::nullopt;
         }},
        {"no-swap", nullptr,
         "Play every board once, seats exchanged from board to board (the first seat's advantage then weighs on "
         "every match).",
         // Read with --swap, which comes first.
         {}, [](const OptionInput&, MatchConfig&, Warnings&) -> Taken { return std::nullopt; }},
    };
}

std::vector<MatchOption> outputOptions()
{
    return {
        flagOption("quiet", "Show only a count of finished matches while the run goes.", &MatchConfig::quiet),
        {"results", "FILE", "Append one record per match to FILE.csv (CSV) or FILE.jsonl (JSON Lines).", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             config.resultsPath = localBytes(in.value());
             // The name chooses the format: a name that chooses none is a mistake.
             if (!config.resultsPath.empty() && !isRecordsPath(config.resultsPath))
                 return "--results: '" + in.value() + "' must end in .csv (CSV) or .jsonl (JSON Lines)";
             return std::nullopt;
         }},
        pathOption("bot-logs", "DIR", "Keep each bot's standard error here.", &MatchConfig::botLogDir),
        pathOption("replays", "DIR", "Write each match's replay here, for vorlen --replay.", &MatchConfig::replayDir),
        pathOption("report", "DIR", "Write the run as web pages here, as it goes: index.html and a page per match.",
                   &MatchConfig::reportDir),
        {"evaluation", "LEVELS",
         "Show on each match page of --report what search players of these levels (1 to 5, as 3 or 1,3,5) make of "
         "every position.",
         {}, [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             return in.set ? readEvaluationLevels(in.value(), config) : std::nullopt;
         }},
        flagOption("trace", "Print the window's console trace of every match.", &MatchConfig::trace),
    };
}

std::vector<MatchOption> botOptions()
{
    std::vector<MatchOption> rows = {
        {"sandbox", nullptr, "Refuse to run bots without the bubblewrap sandbox.", {},
         [](const OptionInput& in, MatchConfig& config, Warnings&) -> Taken {
             const bool off = in.given("no-sandbox");
             if (in.set && off)
                 return QString("--sandbox and --no-sandbox cannot be used together");
             config.sandbox = in.set ? SandboxMode::Required : off ? SandboxMode::Off : SandboxMode::Auto;
             return std::nullopt;
         }},
        // Read with --sandbox, which comes first.
        {"no-sandbox", nullptr, "Run bots without the sandbox.", {},
         [](const OptionInput&, MatchConfig&, Warnings&) -> Taken { return std::nullopt; }},
        flagOption("no-preflight", "Do not start each program once on a board before the first match.",
                   &MatchConfig::preflight, false),
        flagOption("loose-stream-answers",
                   "Take a stream bot's line that starts with an integer as its answer, whatever follows (the old "
                   "rule).",
                   &MatchConfig::looseStreamAnswers),
        flagOption("no-seat-files",
                   "Do not keep in the replays what a file bot leaves in its seat folder (kept by default, up to "
                   "64 KiB a move, and put back when a match plays on from a replay).",
                   &MatchConfig::keepSeatFiles, false),
    };
    for (MatchOption& limit : botLimitOptions())
        rows.push_back(std::move(limit));
    return rows;
}

} // namespace

std::vector<MatchOption> matchOptions(int defaultConcurrency)
{
    std::vector<MatchOption> rows;
    for (std::vector<MatchOption> group :
         {playerOptions(), runOptions(defaultConcurrency), boardOptions(), outputOptions(), botOptions()})
        for (MatchOption& row : group)
            rows.push_back(std::move(row));
    return rows;
}

} // namespace vorlen::match
