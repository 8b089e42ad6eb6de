// vorlen-match: many headless matches at full speed, with a summary and records.
#include "MatchConfig.h"
#include "MatchRecord.h"
#include "MatchRunner.h"

#include <QStringList>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <unistd.h>

using namespace vorlen::match;

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
    // A second Ctrl-C ends the runner at once; bots die with it.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

// "done/total" on standard error: in place on a terminal, otherwise a plain
// line every tenth of the run or every ten seconds.
class Progress {
public:
    explicit Progress(int total) : total_(total), terminal_(isatty(STDERR_FILENO)) {}

    void operator()(int done)
    {
        const auto now = std::chrono::steady_clock::now();
        if (terminal_) {
            std::fprintf(stderr, "\r%d/%d matches", done, total_);
            return;
        }
        const int step = std::max(1, total_ / 10);
        if (done == lastShown_ || (done / step == lastShown_ / step && now - lastTime_ < std::chrono::seconds(10)))
            return;
        std::fprintf(stderr, "%d/%d matches\n", done, total_);
        lastShown_ = done;
        lastTime_ = now;
    }

    void finish()
    {
        if (terminal_)
            std::fputs("\r\033[K", stderr);
    }

private:
    int total_;
    bool terminal_;
    int lastShown_ = 0;
    std::chrono::steady_clock::time_point lastTime_ = std::chrono::steady_clock::now();
};

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const ParsedArguments parsed = parseMatchArguments(arguments, cores);
    std::fputs(parsed.out.c_str(), stdout);
    std::fputs(parsed.err.c_str(), stderr);
    if (!parsed.config)
        return parsed.exitCode;
    const MatchConfig& config = *parsed.config;

    RecordWriter records;
    std::string error;
    if (!config.resultsPath.empty() && !records.open(config.resultsPath, error)) {
        std::fprintf(stderr, "vorlen-match: cannot write '%s': %s\n", config.resultsPath.c_str(),
                     error.c_str());
        return 2;
    }
    if (!config.botLogDir.empty()) {
        std::error_code made;
        std::filesystem::create_directories(config.botLogDir, made);
        if (made) {
            std::fprintf(stderr, "vorlen-match: cannot make '%s': %s\n", config.botLogDir.c_str(),
                         made.message().c_str());
            return 2;
        }
    }

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    Progress progress(config.matchCount());
    MatchRunner runner(config, config.resultsPath.empty() ? nullptr : &records);
    const bool complete = runner.run(interrupted, [&](int done) { progress(done); });
    progress.finish();
    std::fputs(runner.tally().summary(config, !complete).c_str(), stdout);
    std::fflush(stdout);
    return complete ? 0 : 130;
}
