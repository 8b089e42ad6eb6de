#pragma once

#include "FileDescriptor.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlen {

// Opens a file the referee reads (a map, a replay) without ever blocking: an
// invalid descriptor, with the reason, when it cannot be opened, is not a
// regular file (a pipe, a device, a directory) or is larger than `sizeLimit`.
FileDescriptor openRegularFile(const std::string& path, std::uint64_t sizeLimit, std::string& error);

// The whole of such a file; false with the reason otherwise.
bool readRegularFile(const std::string& path, std::uint64_t sizeLimit, std::string& text, std::string& error);

// Replaces `path` with `bytes` in one step: a reader sees the old file or the
// whole new one, never a part. False with the reason; nothing is left behind.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

} // namespace vorlen
