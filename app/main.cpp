#include "OptionSuggestion.h"
#include "ReplayFile.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "TerminalText.h"
#include "StartupOptions.h"
#include "WindowHost.h"
#include "main_window.h"

#include <QApplication>
#include <QScreen>

#include <atomic>
#include <optional>
#include <string>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// The window whose bots end when the process is told to stop; set before
// the handlers are installed.
std::atomic<const WindowHost*> host = nullptr;

void onStopSignal(int signal)
{
    const WindowHost* windows = host.load();
    if (vorlen::BotGroups* bots = windows ? windows->bots().load() : nullptr)
        bots->killAll();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::vector<StartupAction> scanArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return scanStartupOptions(arguments);
}

bool displayAvailable()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    // Options are read as the window reads them, and checked before there is one.
    const std::vector<StartupAction> actions = scanArguments(argc, argv);
    if (hasAction(actions, StartupAction::Type::Help) || hasAction(actions, StartupAction::Type::Version)) {
        const bool help = hasAction(actions, StartupAction::Type::Help);
        std::fputs(help ? helpText().c_str() : "vorlen " VORLEN_VERSION "\n", stdout);
        return 0;
    }
    // A mistyped option would otherwise play the built-in player without a word.
    for (const StartupAction& action : actions) {
        if (action.type != StartupAction::Type::Unknown)
            continue;
        if (const auto meant = vorlen::nearestOption(action.value.substr(2), startupOptionNames()))
            std::fprintf(stderr, "vorlen: ignoring '%s': not an option of vorlen; did you mean --%s?\n",
                         vorlen::terminalSafe(action.value).c_str(), meant->c_str());
        else
            std::fprintf(stderr, "vorlen: ignoring '%s': not an option of vorlen (see vorlen --help)\n",
                         vorlen::terminalSafe(action.value).c_str());
    }
    if (const std::string problem = startupProblem(actions); !problem.empty()) {
        std::fprintf(stderr, "vorlen: %s\n", vorlen::terminalSafe(problem).c_str());
        return 2;
    }
    std::optional<vorlen::Replay> replay;
    if (const auto path = lastValue(actions, StartupAction::Type::Replay)) {
        std::string problem;
        replay.emplace();
        if (!vorlen::readReplayFile(*path, *replay, problem)) {
            std::fprintf(stderr, "vorlen: cannot open the replay '%s': %s\n", vorlen::terminalSafe(*path).c_str(),
                         vorlen::terminalSafe(problem).c_str());
            return 2;
        }
    }
    if (!displayAvailable()) {
        std::fprintf(stderr, "vorlen: no display to open the window on; run it in a desktop "
                             "session, or headless with: xvfb-run vorlen [options]\n");
        return 1;
    }
    if (hasAction(actions, StartupAction::Type::Sandbox)) {
        std::string why;
        if (!vorlen::probeSandbox(vorlen::findSandbox(), why)) {
            std::fprintf(stderr, "vorlen: --sandbox: %s\n", why.c_str());
            return 2;
        }
    }
    // The trace is read as the match goes, often through a pipe or a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // What escapes a bot is handed back here, to be ended after its move.
    vorlen::becomeChildSubreaper();
    QApplication application(argc, argv);
    auto window = std::make_unique<main_window>();
    if (const std::optional<int> turns = playFromTurns(actions); replay && turns) {
        std::string problem;
        if (!window->playFrom(*replay, *turns, problem)) {
            std::fprintf(stderr, "vorlen: --play-from: %s\n", vorlen::terminalSafe(problem).c_str());
            return 2;
        }
    } else if (replay) {
        window->viewReplay(std::move(*replay));
    }
    // The board at its usual size where the screen has room for it.
    if (const QScreen* screen = window->screen())
        window->resize(window->sizeHint().boundedTo(screen->availableGeometry().size()));
    WindowHost windows;
    host = &windows;
    windows.show(std::move(window));
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        std::signal(signal, onStopSignal);
    const int status = application.exec();
    host = nullptr;
    return status;
}
