#pragma once

#include "CommandWords.h"

#include <optional>
#include <string>
#include <vector>

namespace vorlen {

// Why the command line cannot name a program: blank, or a quote left open.
std::optional<std::string> commandLineProblem(const std::string& commandLine);

// The file that exec would run for `program`: a name with a slash is taken
// as it stands (relative to `base` when relative), a bare name is looked up
// in PATH. Empty, with the reason, when there is no such executable file.
std::string findExecutable(const std::string& program, const std::string& base, std::string& why);
// The same, bare names looked up in the folders of `dirs` (as PATH holds them).
std::string findExecutableIn(const std::string& program, const std::string& base, const std::string& dirs,
                             std::string& why);

// The same command line, every argument that names an existing file or
// directory relative to `base` made absolute, so that it still works for a
// bot run in another directory. An argument counts as a path when it holds a
// '/' or, apart from the program, a '.' after its first character
// ("./mybot", "bots/x", "bot.py"); plain words such as "fast" never do.
std::string anchorCommandLine(const std::string& commandLine, const std::string& base);
// A command line written in and for a bot's own `folder` (a ladder's
// versions are): anchored the same way, and a lone "." after the program
// (Java's "-cp .") is the folder too.
std::string anchorInFolder(const std::string& commandLine, const std::string& folder);

// The script an interpreter is given that is not there: the first argument
// after the program that is no option and names a file (it holds a '/' or
// ends as scripts and archives do: ".py", ".js", ".jar"...), not the value
// of an option that takes code ("-c", "-e", "-m"), when it does not exist
// from `base`. None when there is none, or it exists.
std::optional<std::string> missingScript(const std::vector<std::string>& argv, const std::string& base);

} // namespace vorlen
