#include "BotArchive.h"

#include "FileDescriptor.h"

#include <archive.h>
#include <archive_entry.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace vorlen::ladder {
namespace {

constexpr std::size_t kLongestPart = 255; // NAME_MAX

std::vector<std::string_view> partsOf(std::string_view name)
{
    std::vector<std::string_view> parts;
    while (!name.empty()) {
        const std::size_t slash = name.find('/');
        parts.push_back(name.substr(0, slash));
        name = slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1);
    }
    return parts;
}

// The parts an entry's name stands for: tar's "./" before it and a folder's
// '/' after it dropped.
std::vector<std::string_view> entryParts(std::string_view name)
{
    while (name.starts_with("./"))
        name.remove_prefix(2);
    if (name.ends_with('/'))
        name.remove_suffix(1);
    return partsOf(name);
}

struct ArchiveEnd {
    void operator()(archive* reader) const { archive_read_free(reader); }
};

class Unpacker {
public:
    Unpacker(int root, const CopyCaps& caps) : root_(root), caps_(caps) {}

    bool unpack(archive* reader)
    {
        archive_entry* entry = nullptr;
        for (;;) {
            const int read = archive_read_next_header(reader, &entry);
            if (read == ARCHIVE_EOF)
                return true;
            if (read < ARCHIVE_WARN)
                return fail(std::string("it cannot be read as a zip or tar: ") + archive_error_string(reader));
            if (!take(reader, entry))
                return false;
        }
    }

    std::string error;

private:
    bool fail(const std::string& why)
    {
        error = why;
        return false;
    }

    bool take(archive* reader, archive_entry* entry)
    {
        const char* raw = archive_entry_pathname(entry);
        if (raw == nullptr)
            raw = archive_entry_pathname_utf8(entry);
        if (raw == nullptr)
            return fail("an entry's name cannot be read");
        const std::string name = raw;
        if (const std::string fault = entryNameFault(name, caps_.depth); !fault.empty())
            return fail("'" + name + "' " + fault);
        if (++entries_ > caps_.files)
            return fail("more than " + std::to_string(caps_.files) + " files");
        if (archive_entry_hardlink(entry) != nullptr || archive_entry_filetype(entry) == AE_IFLNK)
            return fail("'" + name + "' is a link: a bot's folder is taken without links");
        const auto type = archive_entry_filetype(entry);
        if (type != AE_IFDIR && type != AE_IFREG)
            return fail("'" + name + "' is not a file or a folder (a device, pipe or socket)");
        const std::vector<std::string_view> parts = entryParts(name);
        if (parts.empty())
            return true; // "./": the folder itself
        const bool folder = type == AE_IFDIR;
        FileDescriptor parent = folderOf(parts, folder ? parts.size() : parts.size() - 1, name);
        if (!parent.valid() || folder)
            return parent.valid();
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0
            && static_cast<std::uint64_t>(archive_entry_size(entry)) > caps_.bytes - bytes_)
            return fail("more than " + std::to_string(caps_.bytes >> 20) + " MiB of files");
        const mode_t mode = (archive_entry_perm(entry) & 0100) != 0 ? 0700 : 0600;
        return writeFile(reader, parent.get(), std::string(parts.back()), name, mode);
    }

    // The folder holding the first `count` parts, made where missing; never
    // through a link (none is ever made here).
    FileDescriptor folderOf(const std::vector<std::string_view>& parts, std::size_t count, const std::string& name)
    {
        FileDescriptor folder(openat(root_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        for (std::size_t i = 0; i < count && folder.valid(); ++i) {
            const std::string part(parts[i]);
            if (mkdirat(folder.get(), part.c_str(), 0700) != 0 && errno != EEXIST) {
                fail("cannot make '" + name + "': " + std::strerror(errno));
                return FileDescriptor();
            }
            folder.reset(openat(folder.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        }
        if (!folder.valid())
            fail("'" + name + "' lies in a folder that is a file: " + std::strerror(errno));
        return folder;
    }

    bool writeFile(archive* reader, int folder, const std::string& part, const std::string& name, mode_t mode)
    {
        const FileDescriptor file(
            openat(folder, part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!file.valid())
            return fail(errno == EEXIST ? "'" + name + "' stands twice in it"
                                        : "cannot write '" + name + "': " + std::strerror(errno));
        char buffer[65536];
        for (;;) {
            const la_ssize_t got = archive_read_data(reader, buffer, sizeof buffer);
            if (got < 0)
                return fail("'" + name + "' cannot be unpacked: " + archive_error_string(reader));
            if (got == 0)
                return true;
            bytes_ += static_cast<std::uint64_t>(got);
            if (bytes_ > caps_.bytes)
                return fail("more than " + std::to_string(caps_.bytes >> 20) + " MiB of files");
            if (const int failed = writeFully(file.get(), std::string_view(buffer, static_cast<std::size_t>(got))))
                return fail("cannot write '" + name + "': " + std::strerror(failed));
        }
    }

    int root_;
    const CopyCaps& caps_;
    std::size_t entries_ = 0;
    std::uint64_t bytes_ = 0;
};

// The one folder every entry lies in, when the archive holds nothing else.
std::string loneFolderIn(const std::string& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    std::string lone;
    int count = 0;
    while (dir) {
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr)
            break;
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            ++count;
            lone = name;
        }
    }
    struct stat info {};
    const std::string path = folder + "/" + lone;
    return count == 1 && lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? path : folder;
}

CopyOutcome refused(const std::string& why)
{
    CopyOutcome outcome;
    outcome.error = why;
    return outcome;
}

} // namespace

std::string entryNameFault(std::string_view name, int depth)
{
    if (name.starts_with('/'))
        return "is an absolute name";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "holds a control character";
    const std::vector<std::string_view> parts = entryParts(name);
    for (const std::string_view part : parts) {
        if (part == "..")
            return "climbs out through '..'";
        if (part.empty() || part == ".")
            return "has an empty or '.' part";
        if (part.size() > kLongestPart)
            return "has a part longer than a file name may be";
    }
    if (static_cast<int>(parts.size()) > depth + 1)
        return "lies deeper than " + std::to_string(depth) + " folders";
    return "";
}

CopyOutcome unpackBotArchive(const std::string& archivePath, const std::string& to, const CopyCaps& caps)
{
    const FileDescriptor file(open(archivePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.valid() || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return refused("'" + archivePath + "' is not a file that can be read");
    if (static_cast<std::uint64_t>(info.st_size) > caps.bytes)
        return refused("the archive is larger than " + std::to_string(caps.bytes >> 20) + " MiB");
    std::unique_ptr<archive, ArchiveEnd> reader(archive_read_new());
    archive_read_support_filter_gzip(reader.get());
    archive_read_support_format_zip(reader.get());
    archive_read_support_format_tar(reader.get());
    if (archive_read_open_fd(reader.get(), file.get(), 65536) != ARCHIVE_OK)
        return refused(std::string("it is not a zip or tar: ") + archive_error_string(reader.get()));

    // Unpacked beside `to` first: the one folder in it may be the bot's.
    const std::string staging = to + ".unpacked";
    if (mkdir(staging.c_str(), 0700) != 0)
        return refused("cannot make '" + staging + "': " + std::strerror(errno));
    const FileDescriptor root(open(staging.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    Unpacker unpacker(root.get(), caps);
    CopyOutcome outcome = !root.valid() ? refused("cannot open '" + staging + "'")
        : unpacker.unpack(reader.get()) ? copyBotFolder(loneFolderIn(staging), to, caps)
                                        : refused(unpacker.error);
    removeCopiedFolder(staging);
    return outcome;
}

} // namespace vorlen::ladder
