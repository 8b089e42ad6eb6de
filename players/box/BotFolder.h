#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorlen {

// What a box shows its bot besides the system: the folder that is the
// bot's own, read-only at the same path, less what is not the bot's in it,
// and the paths its command line names.
struct BoxView {
    std::vector<std::string> named;  // absolute paths the command line names
    std::string ownDir;              // empty: none
    std::vector<std::string> hidden; // within ownDir: shown empty
};

// Whether `path` is `folder` or lies below it (both absolute).
bool isWithinFolder(const std::string& path, const std::string& folder);
// Whether the path lies in the system's folders, which every box shows.
bool isSystemPath(const std::string& path);

// The folder that is a bot's own, for a command line whose paths are
// absolute: the program's folder or, for an interpreter (a program of the
// system's folders, bare names looked up in `botPath`), the folder of the
// first file it is given (a folder given, as Java's -cp, is itself). Empty
// when the command line names none.
std::string ownFolderOf(const std::vector<std::string>& argv, const std::string& botPath);

// Why a folder cannot be shown to a bot as its own, with what to do: the
// root, the box's own /tmp, or a home folder (of `home` or any user's).
std::optional<std::string> ownFolderProblem(const std::string& folder, const std::string& home);

// What a seat's box hides of its own folder: the run's outputs and the
// other seat's own folder, program and files where they lie in it, but
// nothing this seat's command line names itself.
std::vector<std::string> hiddenPaths(const BoxView& mine, const BoxView& other,
                                     const std::vector<std::string>& outputs);

} // namespace vorlen
