#pragma once

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace vorlen::testing {

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlen-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
        // Open to all, as a folder of bots is: a root referee's boxed bots run as nobody.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read
                                                | std::filesystem::perms::group_exec
                                                | std::filesystem::perms::others_read
                                                | std::filesystem::perms::others_exec);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }

private:
    std::filesystem::path path_;
};

// Makes a directory the working directory for as long as the object lives.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

// The whole file; empty when it cannot be read. Plain reads: a /proc file
// whose process has just gone fails mid-read, which a stream would throw.
inline std::string readFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

} // namespace vorlen::testing
