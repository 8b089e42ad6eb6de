#include "BotArchive.h"
#include "support/Archives.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

using namespace vorlen::ladder;
using vorlen::testing::ArchiveEntry;
using vorlen::testing::ArchiveKind;
using vorlen::testing::fileEntry;
using vorlen::testing::folderEntry;
using vorlen::testing::linkEntry;
using vorlen::testing::specialEntry;
using vorlen::testing::TempDir;

namespace fs = std::filesystem;

namespace {

// Every path under `root`, relative, sorted.
std::vector<std::string> everythingUnder(const fs::path& root)
{
    std::vector<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        paths.push_back(fs::relative(entry.path(), root).string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

struct ArchiveCase {
    const char* name;
    std::function<void(const std::string& path, const std::string& outside)> make;
    const char* said;
};

void plain(const std::string& path, ArchiveKind kind, std::vector<ArchiveEntry> entries)
{
    entries.insert(entries.begin(), fileEntry("main.py", "print(1)\n"));
    vorlen::testing::writeArchive(path, kind, entries);
}

// What an attacker puts in an archive is refused with the reason, and nothing
// is written outside the folder it is unpacked beside, nor left there.
TEST(BotArchive, AHostileArchiveIsRefusedWithItsReasonAndWritesNothingOutsideItsFolder)
{
    using K = ArchiveKind;
    const ArchiveCase cases[] = {
        {"zip slip", [](auto& p, auto&) { plain(p, K::Zip, {fileEntry("../evil.py", "x")}); },
            "'../evil.py' climbs out"},
        {"a climb inside a name", [](auto& p, auto&) { plain(p, K::TarGz, {fileEntry("a/../../evil.py", "x")}); },
            "climbs out through '..'"},
        {"an absolute name", [](auto& p, auto& o) { plain(p, K::Tar, {fileEntry(o + "/evil.py", "x")}); },
            "absolute name"},
        {"a link to /etc, then a file through it",
            [](auto& p, auto&) {
                plain(p, K::TarGz, {linkEntry("etc", "/etc"), fileEntry("etc/evil", "x")});
            },
            "'etc' is a link"},
        {"a zip's link", [](auto& p, auto&) { plain(p, K::Zip, {linkEntry("up", "..")}); }, "is a link"},
        {"a hard link to /etc/passwd",
            [](auto& p, auto&) { plain(p, K::Tar, {linkEntry("passwd", "/etc/passwd", true)}); }, "'passwd' is a link"},
        {"a device", [](auto& p, auto&) { plain(p, K::Tar, {specialEntry("null", AE_IFCHR)}); },
            "not a file or a folder"},
        {"a pipe", [](auto& p, auto&) { plain(p, K::TarGz, {specialEntry("fifo", AE_IFIFO)}); },
            "not a file or a folder"},
        {"a name twice", [](auto& p, auto&) { plain(p, K::Zip, {fileEntry("main.py", "print(2)\n")}); },
            "stands twice"},
        {"a file where a folder goes", [](auto& p, auto&) { plain(p, K::Tar, {fileEntry("main.py/x", "y")}); },
            "in a folder that is a file"},
        {"a control character", [](auto& p, auto&) { plain(p, K::Zip, {fileEntry("a\nb.py", "x")}); },
            "control character"},
        {"a 10 GB zip bomb", [](auto& p, auto&) { vorlen::testing::writeZipBomb(p, 10, 1); }, "more than 100 MiB"},
        {"a zip bomb that says its files are small",
            [](auto& p, auto&) { vorlen::testing::writeZipBomb(p, 2, 1, 1000); }, "more than 100 MiB"},
        {"100,000 files",
            [](auto& p, auto&) {
                std::vector<ArchiveEntry> many;
                for (int i = 0; i < 100000; ++i)
                    many.push_back(fileEntry("f/" + std::to_string(i), ""));
                plain(p, K::Zip, many);
            },
            "more than 10000 files"},
        {"too deep",
            [](auto& p, auto&) {
                std::string name;
                for (int i = 0; i < 40; ++i)
                    name += "d/";
                plain(p, K::TarGz, {fileEntry(name + "x.py", "x")});
            },
            "deeper than 16 folders"},
        {"not an archive", [](auto& p, auto&) { std::ofstream(p) << "print('I am a script')\n"; }, "not a zip or tar"},
        {"a gzip cut short",
            [](auto& p, auto&) {
                plain(p, K::TarGz, {fileEntry("big.py", std::string(200000, 'x'))});
                fs::resize_file(p, 300);
            },
            "cannot"},
    };
    for (const ArchiveCase& test : cases) {
        SCOPED_TRACE(test.name);
        TempDir dir;
        fs::create_directories(dir.path() / "outside");
        fs::create_directories(dir.path() / "ladder/v1");
        fs::create_directories(dir.path() / "archives");
        const std::string archive = dir.file("archives/bot");
        test.make(archive, dir.file("outside"));
        const CopyOutcome outcome = unpackBotArchive(archive, dir.file("ladder/v1/source"), CopyCaps{});
        EXPECT_NE(outcome.error.find(test.said), std::string::npos) << outcome.error;
        fs::remove_all(dir.path() / "archives");
        EXPECT_EQ(everythingUnder(dir.path()), (std::vector<std::string>{"ladder", "ladder/v1", "outside"}));
    }
}

// The common ways of packing a bot's folder all come out as the folder,
// sealed, with its scripts' execute bits.
TEST(BotArchive, ABotsFolderComesOutOfAZipOrTarHoweverItWasPacked)
{
    struct Packing {
        const char* name;
        ArchiveKind kind;
        std::vector<ArchiveEntry> entries;
        std::vector<std::string> files;
    };
    const Packing cases[] = {
        {"zip -r bot.zip bot", ArchiveKind::Zip,
            {folderEntry("bot/"), fileEntry("bot/run.sh", "#!/bin/sh\n", 0755), folderEntry("bot/lib/"),
                fileEntry("bot/lib/util.py", "x = 1\n")},
            {"lib/util.py", "run.sh"}},
        {"tar -C bot -czf bot.tgz .", ArchiveKind::TarGz,
            {folderEntry("./"), fileEntry("./run.sh", "#!/bin/sh\n", 0755), fileEntry("./lib/util.py", "x = 1\n")},
            {"lib/util.py", "run.sh"}},
        {"a folder and a file beside it", ArchiveKind::Tar,
            {fileEntry("run.sh", "#!/bin/sh\n", 0755), fileEntry("lib/util.py", "x = 1\n")}, {"lib/util.py", "run.sh"}},
        {"one folder inside one folder", ArchiveKind::Zip,
            {fileEntry("a/b/run.sh", "#!/bin/sh\n", 0755), fileEntry("a/b/lib/util.py", "x = 1\n")},
            {"b/lib/util.py", "b/run.sh"}},
    };
    for (const Packing& test : cases) {
        SCOPED_TRACE(test.name);
        TempDir dir;
        vorlen::testing::writeArchive(dir.file("bot"), test.kind, test.entries);
        const CopyOutcome outcome = unpackBotArchive(dir.file("bot"), dir.file("source"), CopyCaps{});
        ASSERT_EQ(outcome.error, "");
        std::vector<std::string> files = outcome.files;
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, test.files);
        const fs::path script = dir.path() / "source" / test.files.back();
        EXPECT_EQ(fs::status(script).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec
                | fs::perms::others_read | fs::perms::others_exec);
        EXPECT_FALSE(fs::exists(dir.file("source.unpacked")));
        removeCopiedFolder(dir.file("source"));
    }
}

TEST(BotArchive, EntryNamesAreJudgedBeforeAnythingIsWritten)
{
    const std::pair<const char*, const char*> cases[] = {
        {"main.py", ""},
        {"./main.py", ""},
        {"a/b/", ""},
        {"./", ""},
        {"..", "climbs out"},
        {"a/..", "climbs out"},
        {"/x", "absolute"},
        {"a//b", "empty or '.'"},
        {"a/./b", "empty or '.'"},
        {"a\tb", "control character"},
        {"a\x7f", "control character"},
    };
    for (const auto& [name, fault] : cases) {
        SCOPED_TRACE(name);
        const std::string said = entryNameFault(name, 16);
        EXPECT_EQ(said.empty(), std::string(fault).empty()) << said;
        EXPECT_NE(said.find(fault), std::string::npos) << said;
    }
    EXPECT_NE(entryNameFault(std::string(256, 'x'), 16), "");
    EXPECT_EQ(entryNameFault("d/d/x", 2), "");
    EXPECT_NE(entryNameFault("d/d/d/x", 2), "");
}

} // namespace
