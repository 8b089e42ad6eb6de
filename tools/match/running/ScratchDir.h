#pragma once

#include <string>
#include <vector>

namespace vorlen::match {

// A folder for one match of plain bots, removed with the match: a folder for
// each seat's exchange files inside it. Its name says whose it is (the
// runner's process id and start time), so that one left by a runner that was
// killed can be told from one in use.
class ScratchDir {
public:
    explicit ScratchDir(std::string& error);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Where scratch folders go: $TMPDIR when set, else a folder in memory where
// one is writable (/dev/shm, or $XDG_RUNTIME_DIR), so that the exchange
// files' creation and removal wait on no disk's journal, else /tmp.
std::string scratchRoot();
// Every folder scratch folders may be in, the temporary one included.
std::vector<std::string> scratchRoots();

// Removes the scratch folders in `dir` whose runner is gone; the number removed.
int removeAbandonedScratch(const std::string& dir);

// "vorlen-match-PID-START-": the start of this process's scratch folders' names.
std::string scratchPrefix();

} // namespace vorlen::match
