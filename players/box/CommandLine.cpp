#include "CommandLine.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlen {
namespace {

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool looksLikePath(const std::string& arg, bool isProgram)
{
    if (arg.find('/') != std::string::npos)
        return true;
    return !isProgram && arg.size() > 1 && arg.find('.', 1) != std::string::npos;
}

// A word as the splitter reads it back: bare where it can be, so that a
// command line kept in a replay reads as it was typed.
std::string quotedArgument(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\n\r\v\f\"") == std::string::npos)
        return arg;
    std::string text(1, '"');
    for (const char ch : arg) {
        if (ch == '"')
            text.append(2, '"');
        text.push_back(ch);
    }
    text.push_back('"');
    return text;
}

bool namesScript(const std::string& arg)
{
    static constexpr const char* kEndings[] = {".py", ".pyc", ".js", ".mjs", ".cjs", ".ts", ".jar", ".class",
                                               ".rb", ".pl", ".sh", ".lua", ".php", ".R", ".jl"};
    if (arg.find('/') != std::string::npos)
        return true;
    return std::any_of(std::begin(kEndings), std::end(kEndings), [&](std::string_view ending) {
        return arg.size() > ending.size() && arg.compare(arg.size() - ending.size(), ending.size(), ending) == 0;
    });
}

} // namespace

std::optional<std::string> missingScript(const std::vector<std::string>& argv, const std::string& base)
{
    for (std::size_t i = 1; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        // What follows these is code or a module's name, not a file.
        if (arg == "-c" || arg == "-e" || arg == "-m" || arg == "--eval" || arg == "-p" || arg == "--print")
            return std::nullopt;
        if (arg.empty() || arg.front() == '-' || !namesScript(arg))
            continue;
        std::error_code error;
        const std::filesystem::path path(arg);
        if (std::filesystem::exists(path.is_relative() ? std::filesystem::path(base) / path : path, error))
            return std::nullopt;
        return "'" + arg + "' is not there" + (path.is_relative() ? " (from " + base + ")" : std::string());
    }
    return std::nullopt;
}

std::optional<std::string> commandLineProblem(const std::string& commandLine)
{
    if (quoteLeftOpen(commandLine))
        return "a quote is not closed in '" + commandLine + "'";
    if (splitCommandLine(commandLine).empty())
        return std::string("the command line is empty");
    return std::nullopt;
}

std::string findExecutable(const std::string& program, const std::string& base, std::string& why)
{
    const char* pathVariable = std::getenv("PATH");
    return findExecutableIn(program, base, pathVariable ? pathVariable : "/usr/local/bin:/usr/bin:/bin", why);
}

std::string findExecutableIn(const std::string& program, const std::string& base, const std::string& dirs,
                             std::string& why)
{
    if (program.empty()) {
        why = "no program named";
        return {};
    }
    if (program.find('/') != std::string::npos) {
        const std::filesystem::path path =
            std::filesystem::path(program).is_relative() ? std::filesystem::path(base) / program
                                                         : std::filesystem::path(program);
        if (isExecutableFile(path.string()))
            return path.string();
        why = ::access(path.c_str(), F_OK) != 0 ? "no such file" : "not an executable file";
        return {};
    }
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string dir = dirs.substr(start, end - start);
        const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    why = "not found in PATH";
    return {};
}

namespace {

std::string anchorWords(const std::string& commandLine, const std::string& base, bool dotIsBase)
{
    std::string anchored;
    bool isProgram = true;
    for (std::string arg : splitCommandLine(commandLine)) {
        const std::filesystem::path path(arg);
        std::error_code error;
        const bool pathLike = looksLikePath(arg, isProgram) || (dotIsBase && !isProgram && arg == ".");
        if (pathLike && path.is_relative() && std::filesystem::exists(base / path, error))
            arg = (std::filesystem::path(base) / path).lexically_normal().string();
        if (!anchored.empty())
            anchored.push_back(' ');
        anchored.append(quotedArgument(arg));
        isProgram = false;
    }
    return anchored;
}

} // namespace

std::string anchorCommandLine(const std::string& commandLine, const std::string& base)
{
    return anchorWords(commandLine, base, false);
}

std::string anchorInFolder(const std::string& commandLine, const std::string& folder)
{
    return anchorWords(commandLine, folder, true);
}

} // namespace vorlen
