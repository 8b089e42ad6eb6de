// vorlen-match: many headless matches at full speed, with a summary and records.
#include "MatchArguments.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "MatchRunner.h"
#include "EarlierRecords.h"
#include "MoveCommand.h"
#include "PlayerArguments.h"
#include "RunPreflight.h"
#include "ProgressReport.h"
#include "RecordCommands.h"
#include "RunReport.h"
#include "ScratchDir.h"
#include "CgroupPlaces.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "Summarize.h"
#include "RunFactsOf.h"
#include "Summary.h"
#include "TerminalText.h"

#include <QStringList>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <signal.h>
#include <unistd.h>

using namespace vorlen::match;

namespace {

// Everything for the terminal goes out here: what bots, files and command
// lines put in it is shown escaped, our own line ends kept.
void say(const char* text, std::FILE* stream)
{
    std::fputs(vorlen::terminalSafe(text, true).c_str(), stream);
}

template <typename... Values>
void sayf(std::FILE* stream, const char* pattern, Values... values)
{
    const int size = std::snprintf(nullptr, 0, pattern, values...);
    std::string text(static_cast<std::size_t>(std::max(size, 0)) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, values...);
    text.resize(static_cast<std::size_t>(std::max(size, 0)));
    say(text.c_str(), stream);
}


// The signal that stops the run (SIGPIPE for a closed output), 0 while none.
volatile std::sig_atomic_t interrupted = 0;
// What a second signal must end before the runner goes: the trial's bots,
// then the run's; set before the handlers are installed.
vorlen::BotGroups* runningBots = nullptr;

void onStopSignal(int signal)
{
    if (interrupted == 0) {
        interrupted = signal;
        return;
    }
    // A second one ends the runner at once, its bots first.
    runningBots->killAll();
    ::_exit(128 + signal);
}

void installStopHandlers(vorlen::BotGroups& bots)
{
    runningBots = &bots;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // A reader that goes away is noticed as a failed write, and the run
    // stops cleanly rather than dying with its bots and folders left behind.
    std::signal(SIGPIPE, SIG_IGN);
}

// How the run's bots are held: in boxes where they can be made (required
// with --sandbox), each player's box checked, folders and groups left by
// earlier runs removed. An exit code when the run cannot go on.
std::optional<int> settleBoxes(MatchConfig& config)
{
    if (config.anyProgram() && config.sandbox != SandboxMode::Off) {
        const vorlen::SandboxPlan plan = vorlen::findSandbox();
        std::string why;
        if (vorlen::probeSandbox(plan, why)) {
            config.boxes = plan;
        } else if (config.sandbox == SandboxMode::Required) {
            sayf(stderr, "vorlen-match: --sandbox: %s\n", why.c_str());
            return 2;
        } else {
            sayf(stderr, "vorlen-match: bots run without a sandbox: %s\n", why.c_str());
        }
    }
    // A box shows a bot its own folder: one that would show it far more is refused.
    if (config.boxed()) {
        const std::vector<NamedPlayer> players = config.players();
        for (std::size_t i = 0; i < players.size(); ++i) {
            const char* option = !config.named.empty() ? "player" : i == 0 ? "first" : "second";
            if (const auto problem = playerProblem(option, players[i].seat, config, true)) {
                sayf(stderr, "vorlen-match: %s\n", problem->toLocal8Bit().constData());
                return 2;
            }
        }
        // Players whose bots share a folder are each hidden the other's files
        // there: said, since a bot may miss a file it shares with its opponent.
        for (const std::string& note : sharedFolderNotes(config))
            sayf(stderr, "vorlen-match: %s\n", note.c_str());
    }
    // Folders that runners killed earlier could not remove.
    if (config.anyProgram()) {
        for (const std::string& root : scratchRoots())
            removeAbandonedScratch(root);
        if (config.boxed())
            vorlen::removeAbandonedBoxGroups();
    }
    return std::nullopt;
}

// A program that cannot answer at all is said now, in its own words, not in
// the summary after every match it lost. A stop meanwhile ends the trial as
// it would end the run. `trial` outlives the handlers' use of it.
std::optional<int> tryPrograms(const MatchConfig& config, vorlen::BotGroups& trial)
{
    if (!config.anyProgram() || !config.preflight)
        return std::nullopt;
    installStopHandlers(trial);
    const auto problem = preflightRun(config, trial);
    if (interrupted != 0)
        return 128 + static_cast<int>(interrupted);
    if (problem) {
        sayf(stderr, "vorlen-match: %s (--no-preflight skips this trial)\n", problem->c_str());
        return 2;
    }
    return std::nullopt;
}

// The records file and the folders of the run's outputs, ready; an exit code
// when they are not.
std::optional<int> openOutputs(const MatchConfig& config, std::vector<MatchRecord>& earlier, RecordWriter& records)
{
    std::string error;
    std::string warning;
    const bool read = config.resultsPath.empty() || readEarlierRecords(config, earlier, error, warning);
    if (!warning.empty())
        sayf(stderr, "vorlen-match: '%s': %s\n", config.resultsPath.c_str(), warning.c_str());
    if (!read) {
        sayf(stderr, "vorlen-match: %s%s\n", config.resume ? "--resume: " : "", error.c_str());
        return 2;
    }
    if (!config.resultsPath.empty() && !records.open(config.resultsPath, error)) {
        sayf(stderr, "vorlen-match: %s\n", error.c_str());
        // A file that cannot be opened is a bad option; one that cannot be
        // written is a failure of the run.
        return records.error().empty() ? 2 : 1;
    }
    for (const std::string& dir : {config.botLogDir, config.replayDir}) {
        std::error_code made;
        if (!dir.empty())
            std::filesystem::create_directories(dir, made);
        if (made) {
            sayf(stderr, "vorlen-match: cannot make '%s': %s\n", dir.c_str(), made.message().c_str());
            return 2;
        }
    }
    return std::nullopt;
}

// Plays the run, with its progress as it goes and its summary at the end.
int playRun(const MatchConfig& config)
{
    std::vector<MatchRecord> earlier;
    RecordWriter records;
    if (const auto failed = openOutputs(config, earlier, records))
        return *failed;
    ProgressReport::Settings shown;
    shown.total = config.shardMatchCount();
    shown.quiet = config.quiet;
    shown.terminal = isatty(STDERR_FILENO);
    for (const NamedPlayer& player : config.players())
        shown.players.push_back(player.name);
    shown.anchor = anchorOf(factsOf(config));
    MatchRunner runner(config, config.resultsPath.empty() ? nullptr : &records, earlier);
    RunReport report;
    std::string error;
    if (!config.reportDir.empty()) {
        if (!report.open(config.reportDir, earlier, error)) {
            sayf(stderr, "vorlen-match: --report: %s\n", error.c_str());
            return 2;
        }
        report.showEvaluations(config.evaluationLevels);
        runner.setReport(&report);
    }
    shown.earlier = runner.tally().matches();
    ProgressReport progress(shown, ProgressReport::Clock::now());
    installStopHandlers(runner.groups());
    const bool complete = runner.run(interrupted, [&](const MatchRunner::Progress& now) {
        // Its own escape sequences keep the count in place; what came from bots is escaped in it.
        std::fputs(progress.update(now, ProgressReport::Clock::now()).c_str(), stderr);
        std::string reportError;
        if (!config.reportDir.empty() && !report.addRecords(now.fresh, false, reportError))
            sayf(stderr, "vorlen-match: --report: %s\n", reportError.c_str());
        std::fflush(stdout);
        if (interrupted == 0 && (std::ferror(stdout) || std::ferror(stderr)))
            interrupted = SIGPIPE;
    });
    std::fputs(progress.finish().c_str(), stderr);
    if (!config.reportDir.empty() && !report.addRecords({}, true, error))
        sayf(stderr, "vorlen-match: --report: %s\n", error.c_str());
    RunFacts facts = factsOf(config);
    facts.governance = runner.governance();
    say(summaryText(runner.tally(), facts, !complete, runner.sprt()).c_str(), stdout);
    std::fflush(stdout);
    if (!runner.error().empty()) {
        sayf(stderr, "vorlen-match: %s; the run stopped\n", runner.error().c_str());
        return 1;
    }
    if (complete)
        return 0;
    return 128 + (interrupted != 0 ? static_cast<int>(interrupted) : SIGINT);
}

int said(const CommandOutcome& outcome)
{
    say(outcome.err.c_str(), stderr);
    say(outcome.out.c_str(), stdout);
    return outcome.exitCode;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> rest(argv + std::min(argc, 2), argv + argc);
    if (argc > 1 && std::string(argv[1]) == "summarize")
        return said(summarizeCommand(rest));
    if (argc > 1 && std::string(argv[1]) == "report")
        return said(reportCommand(rest));
    if (argc > 1 && std::string(argv[1]) == "move")
        return said(moveCommand(rest));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const ParsedArguments parsed = parseMatchArguments(arguments, cores);
    say(parsed.out.c_str(), stdout);
    say(parsed.err.c_str(), stderr);
    if (!parsed.config)
        return parsed.exitCode;
    MatchConfig config = *parsed.config;
    // A trace is read as the matches go, often through a pipe.
    if (config.trace)
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // Whatever escapes a bot's session is handed back here, to be ended.
    vorlen::becomeChildSubreaper();
    if (const auto ended = settleBoxes(config))
        return *ended;
    vorlen::BotGroups trial;
    if (const auto ended = tryPrograms(config, trial))
        return *ended;
    return playRun(config);
}
