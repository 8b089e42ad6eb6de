#pragma once

#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>

namespace vorlen::match {

inline constexpr const char* kBuiltInName = "stupid";

enum class BoardMode {
    Window, // the C library's rand() draws in sequence, as the window draws them
    Seeded, // a portable generator seeded from --seed and the board's index
    Map,    // one map file, read over each rand() draw as the window reads it
};

struct MatchConfig {
    std::string first = kBuiltInName;  // player A
    std::string second = kBuiltInName; // player B
    int games = 1;
    BoardMode boards = BoardMode::Window;
    std::uint64_t seed = 0;
    std::string mapPath;
    std::string mapText;
    bool swap = false;
    int concurrency = 1;
    std::string resultsPath;
    std::string botLogDir;
    bool trace = false;

    int matchCount() const { return swap ? games * 2 : games; }
};

// What the command line asks for, or what to print and the exit code when it
// asks for help, the version, or makes no sense.
struct ParsedArguments {
    std::optional<MatchConfig> config;
    int exitCode = 0;
    std::string out;
    std::string err;
};

ParsedArguments parseMatchArguments(const QStringList& arguments, int defaultConcurrency);

} // namespace vorlen::match
