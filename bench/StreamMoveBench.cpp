// One move of a trivial compiled stream bot through the referee, next to the
// same exchange done bare (the board written to the bot's pipe, its line
// read back): the difference is the referee's own cost per move.
#include "Exchange.h"
#include "Field.h"
#include "StreamPlayer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const vorlen::Field& board()
{
    static const vorlen::Field field = vorlen::makeField(vorlen::kBoardRows, vorlen::kBoardColumns, 1);
    return field;
}

void streamMove(benchmark::State& state)
{
    vorlen::BotSettings settings;
    settings.exchangeDir = "/tmp";
    settings.trace = vorlen::Trace::silent();
    vorlen::StreamPlayer player(VORLEN_TRIVIAL_STREAM_BOT, settings);
    for (auto _ : state) {
        if (player.makeMove(board()) != 2)
            state.SkipWithError("the bot did not answer");
    }
}

void bareStreamExchange(benchmark::State& state)
{
    int toBot[2];
    int fromBot[2];
    // Close-on-exec: no other child may hold the bot's input open.
    if (pipe2(toBot, O_CLOEXEC) != 0 || pipe2(fromBot, O_CLOEXEC) != 0) {
        state.SkipWithError("no pipes");
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toBot[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromBot[1], 1);
    char program[] = VORLEN_TRIVIAL_STREAM_BOT;
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    close(toBot[0]);
    close(fromBot[1]);
    const std::string text = vorlen::buildInput(board());
    for (auto _ : state) {
        if (write(toBot[1], text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            state.SkipWithError("write failed");
        char answer[16];
        if (read(fromBot[0], answer, sizeof answer) <= 0)
            state.SkipWithError("no answer");
    }
    close(toBot[1]);
    close(fromBot[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
}

BENCHMARK(streamMove)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bareStreamExchange)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
