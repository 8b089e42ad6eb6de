#pragma once

#include "FileDescriptor.h"
#include "MatchRecord.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace vorlen::match {

// Appends records to a file, each written out as soon as it is given, from
// any thread, and from several runs sharing the file. CSV, or JSON Lines when
// the name ends in ".jsonl".
class RecordWriter {
public:
    RecordWriter() = default;
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // False, with the reason, when the file cannot be opened, or its header
    // cannot be written or is not one of ours.
    bool open(const std::string& path, std::string& error);
    // False once a write failed; error() tells why. Nothing is written after.
    bool write(const MatchRecord& record);
    const std::string& error() const { return error_; }

private:
    bool writeLocked(const std::string& text);
    bool readHeader(std::string& error);

    std::mutex mutex_;
    FileDescriptor fd_;
    bool json_ = false;
    std::size_t csvFields_ = SIZE_MAX; // the columns of the file's header
    std::string path_;
    std::string error_;
};

} // namespace vorlen::match
