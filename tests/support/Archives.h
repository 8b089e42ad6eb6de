#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlen::testing {

// One entry of an archive a test writes: any name, any kind, whatever an
// honest tool would refuse to make.
struct ArchiveEntry {
    std::string name;
    std::string data;
    mode_t type = AE_IFREG;
    mode_t perm = 0644;
    std::string link; // a symbolic link's target
    bool hard = false; // `link` names a hard link's target instead
};

inline ArchiveEntry fileEntry(std::string name, std::string data, mode_t perm = 0644)
{
    return ArchiveEntry{std::move(name), std::move(data), AE_IFREG, perm, "", false};
}
inline ArchiveEntry folderEntry(std::string name)
{
    return ArchiveEntry{std::move(name), "", AE_IFDIR, 0755, "", false};
}
inline ArchiveEntry linkEntry(std::string name, std::string target, bool hard = false)
{
    return ArchiveEntry{std::move(name), "", hard ? AE_IFREG : AE_IFLNK, 0777, std::move(target), hard};
}
// A device (AE_IFCHR), pipe (AE_IFIFO) or socket.
inline ArchiveEntry specialEntry(std::string name, mode_t type)
{
    return ArchiveEntry{std::move(name), "", type, 0666, "", false};
}

enum class ArchiveKind { Zip, TarGz, Tar };

// Writes the entries as a zip or tar (pax), gzipped or not.
inline void writeArchive(const std::string& path, ArchiveKind kind, const std::vector<ArchiveEntry>& entries)
{
    std::unique_ptr<archive, int (*)(archive*)> out(archive_write_new(), archive_write_free);
    if (kind == ArchiveKind::Zip)
        archive_write_set_format_zip(out.get());
    else
        archive_write_set_format_pax_restricted(out.get());
    if (kind == ArchiveKind::TarGz)
        archive_write_add_filter_gzip(out.get());
    if (archive_write_open_filename(out.get(), path.c_str()) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(out.get()));
    for (const ArchiveEntry& item : entries) {
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(entry.get(), item.name.c_str());
        archive_entry_set_filetype(entry.get(), item.type);
        archive_entry_set_perm(entry.get(), item.perm);
        if (item.hard)
            archive_entry_set_hardlink(entry.get(), item.link.c_str());
        else if (!item.link.empty())
            archive_entry_set_symlink(entry.get(), item.link.c_str());
        if (item.type == AE_IFCHR)
            archive_entry_set_rdev(entry.get(), makedev(1, 3));
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(item.data.size()));
        if (archive_write_header(out.get(), entry.get()) < ARCHIVE_WARN)
            throw std::runtime_error(archive_error_string(out.get()));
        archive_write_data(out.get(), item.data.data(), item.data.size());
    }
    archive_write_close(out.get());
}

// A zip of `files` entries of `gib` GiB of zeros each, made without
// compressing them: one deflated MiB, byte-aligned and independent of what
// came before, repeated. `declared` is what its headers say a file holds
// (the truth when 0).
inline void writeZipBomb(const std::string& path, int files, int gib, std::uint32_t declared = 0)
{
    const std::string zeros(1 << 20, '\0');
    std::string chunk(compressBound(zeros.size()) + 64, '\0');
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    z.avail_in = static_cast<uInt>(zeros.size());
    z.next_out = reinterpret_cast<Bytef*>(chunk.data());
    z.avail_out = static_cast<uInt>(chunk.size());
    deflate(&z, Z_FULL_FLUSH);
    chunk.resize(chunk.size() - z.avail_out);
    deflateEnd(&z);
    const std::string end("\x03\x00", 2); // a last, empty block
    const std::uint64_t mib = static_cast<std::uint64_t>(gib) * 1024;
    uLong crc = 0;
    const uLong chunkCrc = crc32(0, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(zeros.size()));
    for (std::uint64_t i = 0; i < mib; ++i)
        crc = crc32_combine(crc, chunkCrc, static_cast<z_off_t>(zeros.size()));
    const auto size = static_cast<std::uint32_t>(chunk.size() * mib + end.size());
    const std::uint32_t plain = declared != 0 ? declared : static_cast<std::uint32_t>(mib << 20);

    std::string directory;
    std::ofstream out(path, std::ios::binary);
    std::uint32_t offset = 0;
    const auto put = [](std::string& to, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            to += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    for (int f = 0; f < files; ++f) {
        const std::string name = "zeros" + std::to_string(f);
        std::string header;
        put(header, 0x04034b50, 4), put(header, 20, 2), put(header, 0, 2), put(header, 8, 2), put(header, 0, 2);
        put(header, 0x21, 2), put(header, crc, 4), put(header, size, 4), put(header, plain, 4);
        put(header, name.size(), 2), put(header, 0, 2);
        out << header << name;
        for (std::uint64_t i = 0; i < mib; ++i)
            out << chunk;
        out << end;
        put(directory, 0x02014b50, 4), put(directory, 0x031e, 2), put(directory, 20, 2), put(directory, 0, 2);
        put(directory, 8, 2), put(directory, 0, 2), put(directory, 0x21, 2), put(directory, crc, 4);
        put(directory, size, 4), put(directory, plain, 4), put(directory, name.size(), 2), put(directory, 0, 6);
        put(directory, 0, 2), put(directory, 0100644U << 16, 4), put(directory, offset, 4);
        directory += name;
        offset += static_cast<std::uint32_t>(header.size() + name.size() + size);
    }
    std::string tail;
    put(tail, 0x06054b50, 4), put(tail, 0, 4), put(tail, files, 2), put(tail, files, 2);
    put(tail, directory.size(), 4), put(tail, offset, 4), put(tail, 0, 2);
    out << directory << tail;
}

} // namespace vorlen::testing
