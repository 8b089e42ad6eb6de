#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace vorlen::testing {

struct ToolRun {
    int exitCode;
    std::string out;
};

// Reads a started run's output to its end and waits for it.
inline ToolRun finish(std::FILE* pipe)
{
    std::string out;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), out};
}

#ifdef VORLEN_MATCH_BIN
// Runs the real vorlen-match with a shell command line, in the current
// directory; `redirect` says where its standard error goes.
inline ToolRun runTool(const std::string& arguments, const std::string& redirect = "2>/dev/null")
{
    const std::string command = std::string(VORLEN_MATCH_BIN) + " " + arguments + " " + redirect;
    return finish(popen(command.c_str(), "r"));
}
#endif

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// A record up to its containment: without the move times, the one part
// that differs between runs of the same matches, and the run's fields that
// follow them. CSV or JSON Lines.
inline std::string withoutTimes(const std::string& record)
{
    const std::size_t json = record.find(",\"first_mean_ms\"");
    if (json != std::string::npos)
        return record.substr(0, json) + "}";
    bool quoted = false;
    int commas = 0;
    for (std::size_t i = 0; i < record.size(); ++i) {
        quoted = record[i] == '"' ? !quoted : quoted;
        if (record[i] == ',' && !quoted && ++commas == 15)
            return record.substr(0, i);
    }
    return record;
}

// A summary without its move times, measured anew in every run.
inline std::string withoutMoveTimes(const std::string& summary)
{
    const std::size_t from = summary.find("\nMove times:");
    const std::size_t to = summary.find("\nHow seats left");
    return from == std::string::npos || to == std::string::npos ? summary : summary.substr(0, from) + summary.substr(to);
}

} // namespace vorlen::testing
