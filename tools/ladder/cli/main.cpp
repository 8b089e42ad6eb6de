// vorlen-ladder: a ladder of bots on the referee's libraries.
#include "LadderCommands.h"
#include "TerminalText.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Set by the first Ctrl-C or TERM: a run ends what it has under way.
volatile std::sig_atomic_t interrupted = 0;

void onStop(int signal) { interrupted = signal; }

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() == 1 && words[0] == "--version") {
        std::puts("vorlen-ladder " VORLEN_VERSION);
        return 0;
    }
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // What bots and their owners wrote (names, reasons, last lines) reaches
    // the terminal escaped; our own line ends are kept.
    const auto show = [](const std::string& text, std::FILE* stream) {
        std::fputs(vorlen::terminalSafe(text, true).c_str(), stream);
        std::fflush(stream);
    };
    const auto say = [&](const std::string& line) { show(line, stdout); };
    const vorlen::ladder::CommandOutcome outcome =
        vorlen::ladder::runLadderCommand(words, vorlen::ladder::utcNow(), say, &interrupted);
    show(outcome.out, stdout);
    show(outcome.err, stderr);
    return outcome.code;
}
