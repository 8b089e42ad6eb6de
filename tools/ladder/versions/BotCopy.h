#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlen::ladder {

// What a bot's folder may hold to be taken in.
struct CopyCaps {
    std::size_t files = 10000;
    std::uint64_t bytes = 100ULL << 20;
    int depth = 16;
};

struct CopyOutcome {
    std::vector<std::string> files; // copied, '/'-separated, relative
    std::uint64_t bytes = 0;
    std::string error; // empty when the copy is whole
};

// Copies the folder `from` to `to` (which must not exist) through file
// handles that never follow a link: regular files and folders only, a link,
// device, pipe or socket refused by its path, within the caps. The copy is
// then made read-only (files keep their execute bits). On an error nothing
// is left at `to`.
CopyOutcome copyBotFolder(const std::string& from, const std::string& to, const CopyCaps& caps);
// The same from a folder already open: a box's seat folder, say, which has
// no path of its own here.
CopyOutcome copyBotFolderAt(int from, const std::string& to, const CopyCaps& caps);

// Makes a copied folder writable again, so that it can be removed.
void removeCopiedFolder(const std::string& path);

} // namespace vorlen::ladder
