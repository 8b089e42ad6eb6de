// vorlen-ladder: a ladder of bots on the referee's libraries.
#include "LadderCommands.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() == 1 && words[0] == "--version") {
        std::puts("vorlen-ladder " VORLEN_VERSION);
        return 0;
    }
    char now[32];
    const std::time_t clock = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&clock, &utc);
    std::strftime(now, sizeof now, "%Y-%m-%dT%H:%M:%SZ", &utc);
    const vorlen::ladder::CommandOutcome outcome = vorlen::ladder::runLadderCommand(words, now);
    std::fputs(outcome.out.c_str(), stdout);
    std::fputs(outcome.err.c_str(), stderr);
    return outcome.code;
}
