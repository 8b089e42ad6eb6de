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

// The real path of an absolute `path` on the host: its links and ".." resolved
// as the kernel resolves them. Of one that does not exist yet, the part that
// does is resolved and the rest follows as written. Empty for a relative path.
std::string realPath(const std::string& path);

// The command line as a box must run it: every word that names an existing
// file or folder by an absolute path outside the system's folders replaced
// by its real path, so that links and ".." through folders the box does not
// hold resolve as they do here.
std::vector<std::string> realCommandLine(const std::vector<std::string>& argv);

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
// root or a folder right under it (/home, /var, /run...), the box's own
// /tmp, a home folder (of `home` or any user's), or a folder anyone may write
// to (a shared scratch folder).
std::optional<std::string> ownFolderProblem(const std::string& folder, const std::string& home);

// Why a box cannot show its bot what the view names: a path that resolves
// outside both the bot's folder and the system's. None when it can.
std::optional<std::string> namedPathProblem(const BoxView& view);

// Why a seat cannot be boxed beside `other` with the run's `outputs`: its
// folder's problem, a named path outside it, an output that is its folder or
// holds it, or a folder that holds the other seat's own. None when it can.
std::optional<std::string> boxViewProblem(const BoxView& mine, const BoxView& other,
                                          const std::vector<std::string>& outputs, const std::string& home);

// What a seat's box hides of its own folder: the run's outputs (by their
// real paths, however they are spelt) and the other seat's own folder,
// program and files where they lie in it, but nothing this seat's command
// line names itself.
std::vector<std::string> hiddenPaths(const BoxView& mine, const BoxView& other,
                                     const std::vector<std::string>& outputs);

} // namespace vorlen
