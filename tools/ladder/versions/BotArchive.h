#pragma once

#include "BotCopy.h"

#include <string>
#include <string_view>

namespace vorlen::ladder {

// Why an archive's entry name cannot stand in a bot's folder ("" when it
// can): absolute, a "..", an empty or "." part past a leading "./", a
// control character, a part longer than a file name may be, or deeper than
// `depth` folders.
std::string entryNameFault(std::string_view name, int depth);

// Unpacks a zip, or a tar plain or gzipped, of a bot's folder into `to`
// (which must not exist), sealed as copyBotFolder seals a folder; an archive
// whose entries all lie in one folder holds that folder's bot. Refused with
// the reason, nothing left at `to` nor anywhere but the folder beside it that
// it unpacks into: a name entryNameFault faults, a link of either kind, a
// device, pipe or socket, a name given twice, more files, bytes or depth
// than the caps (the bytes counted as they come out, whatever the archive
// declares; the archive itself no larger either), or not a zip or tar.
CopyOutcome unpackBotArchive(const std::string& archive, const std::string& to, const CopyCaps& caps);

} // namespace vorlen::ladder
