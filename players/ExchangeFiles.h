#pragma once

#include "FileDescriptor.h"
#include "SeatFiles.h"

#include <optional>
#include <string>

namespace vorlen {

// The exchange files in one directory, reached through a handle on the
// directory itself: a bot that swaps the directory for a link between moves
// redirects nothing. Names are never followed through links, and nothing
// here blocks on a named pipe or a device.
class ExchangeFiles {
public:
    // `dir` empty: the working directory. False, with the reason, if it
    // cannot be opened.
    bool open(const std::string& dir, std::string& error);
    // A directory held open elsewhere: this keeps a handle of its own.
    bool adopt(int dirFd, std::string& error);
    // New files are made as this user and group: a box's file system takes
    // no file of a user it does not know, root's included.
    void createAs(unsigned uid, unsigned gid)
    {
        createUid_ = static_cast<int>(uid);
        createGid_ = static_cast<int>(gid);
    }
    int dirFd() const { return fd_.get(); }

    // Removes whatever the name holds, a whole directory tree included; a
    // missing name is no error.
    bool remove(const char* name, std::string& error) const;
    // Creates the file afresh with the text.
    bool write(const char* name, const std::string& text, std::string& error) const;
    // Up to `cap` bytes of a regular file; nothing for a missing name, a
    // link, a pipe, a directory or a device.
    std::optional<std::string> read(const char* name, std::size_t cap) const;

    // What the folder holds besides the exchange files, within SeatFiles'
    // caps (the rest counted as cut): regular files only, nothing followed
    // through a link, nothing opened that could block.
    SeatFiles readSeatFiles() const;
    // Puts kept files back in the folder, made as new files are, folders
    // and all. False, with why, at the first that cannot be.
    bool putBack(const SeatFiles& files, std::string& error) const;

private:
    FileDescriptor fd_;
    int createUid_ = -1;
    int createGid_ = -1;
};

} // namespace vorlen
