// What a bot leaves in its seat folder is read as a bot could have made it,
// and put back without leaving the folder.
#include "Base64.h"
#include "ExchangeFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace vorlen;
using vorlen::testing::TempDir;
namespace fs = std::filesystem;

namespace {

ExchangeFiles opened(const fs::path& dir)
{
    ExchangeFiles files;
    std::string error;
    EXPECT_TRUE(files.open(dir.string(), error)) << error;
    return files;
}

} // namespace

TEST(SeatFolder, KeepsRegularFilesWithinItsCapsAndFollowsNothing)
{
    TempDir outside;
    outside.write("secret", "not the bot's");
    TempDir seat;
    seat.write("vorla.in", "board");
    seat.write("vorla.out", "3");
    seat.write("count", "2\n");
    seat.write("big", std::string(kSeatFilesBytes + 10, 'b'));
    fs::create_directories(seat.path() / "state/inner");
    seat.write("state/inner/memo", "seen");
    fs::create_symlink(outside.file("secret"), seat.path() / "leak");
    fs::create_directory_symlink(outside.path(), seat.path() / "door");
    ASSERT_EQ(::mkfifo(seat.file("pipe").c_str(), 0600), 0) << "a pipe must not block the reading";
    fs::path deep = seat.path();
    for (int level = 0; level < kSeatFilesDepth + 2; ++level)
        deep /= "d";
    fs::create_directories(deep);
    std::ofstream(deep / "buried") << "too deep";

    const SeatFiles kept = opened(seat.path()).readSeatFiles();
    EXPECT_EQ(kept.files, (std::vector<SeatFile>{{"count", "2\n"}, {"state/inner/memo", "seen"}}));
    EXPECT_EQ(kept.cutBytes, kSeatFilesBytes + 10) << "the big file is counted as cut";

    // Many small files stop at the cap on files.
    TempDir crowded;
    for (std::size_t i = 0; i < kSeatFilesCount + 5; ++i)
        crowded.write("f" + std::to_string(1000 + i), "x");
    const SeatFiles many = opened(crowded.path()).readSeatFiles();
    EXPECT_EQ(many.files.size(), kSeatFilesCount);
    EXPECT_EQ(many.cutBytes, 5U);
}

TEST(SeatFolder, PutsFilesBackInsideTheFolderOnly)
{
    TempDir outside;
    TempDir seat;
    fs::create_directory_symlink(outside.path(), seat.path() / "door");
    seat.write("count", "old");
    fs::create_directories(seat.path() / "was-a-folder/x");
    const struct {
        const char* name;
        SeatFiles files;
        bool done;
    } cases[] = {
        {"files and folders", {{{"count", "7\n"}, {"state/inner/memo", "seen"}, {"was-a-folder", "now a file"}}, 0}, true},
        {"through a link", {{{"door/planted", "x"}}, 0}, false},
        {"up and out", {{{"../planted", "x"}}, 0}, false},
        {"from the root", {{{"/tmp/planted", "x"}}, 0}, false},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(opened(seat.path()).putBack(c.files, error), c.done) << c.name << ": " << error;
    }
    EXPECT_TRUE(fs::is_empty(outside.path())) << "nothing was written outside the seat folder";
    EXPECT_FALSE(fs::exists(seat.path().parent_path() / "planted"));
    const SeatFiles back = opened(seat.path()).readSeatFiles();
    EXPECT_EQ(back.files, (std::vector<SeatFile>{{"count", "7\n"}, {"state/inner/memo", "seen"}, {"was-a-folder", "now a file"}}));
}

TEST(SeatFolder, BytesGoThroughBase64AndBadTextIsRefused)
{
    std::string every;
    for (int byte = 0; byte < 256; ++byte)
        every += static_cast<char>(byte);
    for (const std::string& bytes : {std::string(), std::string("a"), std::string("ab"), std::string("abc"), every})
        EXPECT_EQ(fromBase64(toBase64(bytes)), bytes);
    EXPECT_EQ(toBase64("ab"), "YWI=");
    for (const char* bad : {"YWI", "YW=I", "=WIx", "YWI*", "Y===", "YWI=YWI="})
        EXPECT_FALSE(fromBase64(bad).has_value()) << bad;
}

TEST(SeatFolder, ALineSaysWhatItHeldShortTextsWhole)
{
    const struct {
        SeatFiles files;
        const char* line;
    } cases[] = {
        {{{}, 0}, "empty"},
        {{{{"count", "2\n"}}, 0}, "count: \"2\""},
        {{{{"a", std::string(41, 'x')}, {"b", "two\nlines"}, {"c", std::string("\x01", 1)}}, 0},
         "a (41 bytes), b (9 bytes), c (1 bytes)"},
        {{{{"say", "\"quoted\""}}, 70000}, "say (8 bytes); 70000 bytes more not kept"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(seatFilesLine(c.files), c.line);
}
