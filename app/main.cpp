#include "Sandbox.h"
#include "StartupOptions.h"
#include "main_window.h"

#include <QApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// The bots to end when the window is told to stop; set once, before the
// handlers are installed.
vorlen::BotGroups* runningBots = nullptr;

void onStopSignal(int signal)
{
    runningBots->killAll();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Read as the window reads its options, before there is a window.
bool sandboxWanted(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::vector<StartupAction> actions = scanStartupOptions(arguments);
    return std::any_of(actions.begin(), actions.end(),
                       [](const StartupAction& action) { return action.type == StartupAction::Type::Sandbox; });
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
    if (!displayAvailable()) {
        std::fprintf(stderr, "vorlen: no display to open the window on; run it in a desktop "
                             "session, or headless with: xvfb-run vorlen [options]\n");
        return 1;
    }
    if (sandboxWanted(argc, argv)) {
        std::string why;
        if (!vorlen::probeSandbox(vorlen::findBubblewrap(), why)) {
            std::fprintf(stderr, "vorlen: --sandbox: %s\n", why.c_str());
            return 2;
        }
    }
    // The trace is read as the match goes, often through a pipe or a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // What escapes a bot is handed back here, to be ended after its move.
    vorlen::becomeChildSubreaper();
    QApplication application(argc, argv);
    main_window window;
    runningBots = &window.bots();
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        std::signal(signal, onStopSignal);
    window.show();
    return application.exec();
}
