#include "BotCopy.h"
#include "LadderCommands.h"
#include "LadderStore.h"
#include "Sqlite.h"
#include "RecordText.h"
#include "Schema.h"
#include "ladder/LadderFixture.h"
#include "support/Archives.h"
#include "support/Records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

using namespace vorlen::ladder;
using vorlen::testing::TempDir;

namespace fs = std::filesystem;

namespace {

TEST_F(Ladder, InitMakesOneLadderInAFolderOfItsOwnAndEveryCommandNeedsOne)
{
    EXPECT_EQ(run({"standings"}).code, 2);
    EXPECT_NE(run({"standings"}).err.find("no ladder in '" + root + "'"), std::string::npos);
    const CommandOutcome made = run({"init", root});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_NE(made.out.find("database schema " + std::to_string(migrations().size())), std::string::npos);
    EXPECT_EQ(run({"init", root}).code, 2) << "a second ladder over the first";
    fs::create_directories(dir.path() / "full");
    dir.write("full/x", "x");
    EXPECT_EQ(run({"init", dir.file("full")}).code, 2);
    EXPECT_EQ(run({"init"}).code, 2);
    // A database elsewhere is a PostgreSQL server's, and one that cannot be
    // reached leaves no ladder behind.
    EXPECT_EQ(run({"init", dir.file("pg"), "--database", "sqlite:///x.db"}).code, 2);
    EXPECT_EQ(run({"init", dir.file("pg"), "--database"}).code, 2);
    const CommandOutcome unreachable =
        run({"init", dir.file("pg"), "--database", "postgresql:///none?host=" + dir.file("no-server")});
    EXPECT_EQ(unreachable.code, 1);
    EXPECT_NE(unreachable.err.find("cannot connect to the PostgreSQL server"), std::string::npos) << unreachable.err;
    EXPECT_TRUE(fs::is_empty(dir.file("pg")));
    EXPECT_EQ(run({"standings"}).code, 0);
    EXPECT_EQ(run({"frobnicate"}).code, 2);
    EXPECT_EQ(runLadderCommand({}, "").code, 2);
    EXPECT_EQ(runLadderCommand({"--ladder"}, "").code, 2);
    for (const char* command : {"init", "add", "bot", "retire", "standings", "matches", "run"}) {
        const CommandOutcome help = runLadderCommand({command, "--help"}, "");
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: vorlen-ladder [--ladder DIR] ") + command, 0), 0U) << help.out;
    }
    // A database of a later schema is refused, not misread.
    {
        Sqlite later(root + "/ladder.sqlite", false);
        later.execute("PRAGMA user_version = 99");
    }
    const CommandOutcome newer = run({"standings"});
    EXPECT_EQ(newer.code, 1);
    EXPECT_NE(newer.err.find("newer vorlen-ladder (schema 99"), std::string::npos) << newer.err;
}

// A version is a sealed copy: what the owner changes after adding it is not
// what plays, and the copy keeps which files run.
TEST_F(Ladder, AVersionIsASealedCopyOfItsFolderWithItsRecipe)
{
    ASSERT_EQ(run({"init", root}).code, 0);
    const std::string folder = botFolder("py", {{"main.py", "print(1)\n"}, {"lib/util.py", "x = 1\n"}});
    fs::permissions(folder + "/main.py", fs::perms::owner_exec, fs::perm_options::add);
    const CommandOutcome added = run({"add", "py", folder});
    ASSERT_EQ(added.code, 0) << added.err;
    EXPECT_EQ(added.out.rfind("py.v1 added (2 files, 15 bytes): runs 'python3 main.py', builds nothing", 0), 0U)
        << added.out;
    dir.write("py/main.py", "changed afterwards\n");
    const std::string copy = root + "/storage/bots/py/v1/source";
    EXPECT_EQ(vorlen::testing::readFile(copy + "/main.py"), "print(1)\n");
    struct stat info {};
    ASSERT_EQ(stat((copy + "/main.py").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0555U);
    ASSERT_EQ(stat((copy + "/lib/util.py").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444U);
    ASSERT_EQ(stat((copy + "/lib").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0555U);

    const CommandOutcome second = run({"add", "py", folder, "--command", "python3 -u main.py", "--build", "true"});
    ASSERT_EQ(second.code, 0) << second.err;
    const CommandOutcome shown = run({"bot", "py"});
    EXPECT_NE(shown.out.find("  v1  waiting\n    runs 'python3 main.py', builds nothing\n"), std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("  v2  waiting\n    runs 'python3 -u main.py', builds with 'true'\n"), std::string::npos);
    EXPECT_EQ(run({"bot", "nobody"}).code, 2);

    // A paused bot's owner answers with a new version: it may play again.
    LadderStore(root + "/ladder.sqlite", false).pauseBot("py", "failed 10 matches in a row");
    EXPECT_NE(run({"bot", "py"}).out.find("py: paused (failed 10 matches in a row)"), std::string::npos);
    ASSERT_EQ(run({"add", "py", folder}).code, 0);
    EXPECT_NE(run({"bot", "py"}).out.find("py: active, since"), std::string::npos) << run({"bot", "py"}).out;

    EXPECT_EQ(run({"retire", "py"}).code, 0);
    EXPECT_NE(run({"retire", "py"}).out.find("retired already"), std::string::npos);
    EXPECT_EQ(run({"add", "py", folder}).code, 2) << "a retired name stays retired";
    EXPECT_NE(run({"bot", "py"}).out.find("py: retired"), std::string::npos);
}

// A match's record as the runner writes it.
std::string recordOf(int game, const std::string& first, const std::string& second, int firstScore, int secondScore)
{
    auto record = vorlen::testing::matchOf(game, first, second, firstScore, secondScore);
    record.seats[0].command = record.seats[1].command = "python3 main.py";
    record.run = "ladder";
    record.runMatches = 2;
    record.swap = true;
    record.runPlayers = first + " " + second;
    return vorlen::match::toJsonLine(record);
}

// An archive is taken as the folder it packs, and what an add killed midway
// left of the same version is cleared, not in the way.
TEST_F(Ladder, AVersionComesFromAZipOrTarGzAsFromItsFolder)
{
    using namespace vorlen::testing;
    ASSERT_EQ(run({"init", root}).code, 0);
    writeArchive(dir.file("bot.zip"), ArchiveKind::Zip,
        {folderEntry("bot/"), fileEntry("bot/main.py", "print(1)\n"), fileEntry("bot/lib/util.py", "x = 1\n")});
    const CommandOutcome zipped = run({"add", "zipped", dir.file("bot.zip")});
    ASSERT_EQ(zipped.code, 0) << zipped.err;
    EXPECT_EQ(zipped.out.rfind("zipped.v1 added (2 files, 15 bytes): runs 'python3 main.py'", 0), 0U) << zipped.out;
    EXPECT_EQ(readFile(root + "/storage/bots/zipped/v1/source/lib/util.py"), "x = 1\n");

    fs::create_directories(root + "/storage/bots/zipped/v2/source.unpacked/half");
    writeArchive(dir.file("bot.tar.gz"), ArchiveKind::TarGz, {fileEntry("./Makefile", "bot:\n\tcc -o bot bot.c\n")});
    const CommandOutcome again = run({"add", "zipped", dir.file("bot.tar.gz")});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_NE(again.out.find("runs './bot', builds with 'make'"), std::string::npos) << again.out;
    EXPECT_FALSE(fs::exists(root + "/storage/bots/zipped/v2/source.unpacked"));

    writeArchive(dir.file("slip.zip"), ArchiveKind::Zip, {fileEntry("main.py", ""), fileEntry("../../../x.py", "")});
    const CommandOutcome slip = run({"add", "slip", dir.file("slip.zip")});
    EXPECT_EQ(slip.code, 2);
    EXPECT_NE(slip.err.find("'../../../x.py' climbs out through '..'"), std::string::npos) << slip.err;
    EXPECT_EQ(storedBots(), std::vector<std::string>{"zipped"});
}

struct RefusedAdd {
    const char* name;
    std::string bot;
    std::function<std::string(TempDir&)> folder;
    const char* said;
};

// What is refused leaves nothing behind in the storage.
TEST_F(Ladder, AFolderThatCannotBeTakenIsRefusedByItsPathAndLeavesNothing)
{
    ASSERT_EQ(run({"init", root}).code, 0);
    const auto plain = [](TempDir& d) {
        d.write("plain.py", "");
        fs::create_directories(d.path() / "ok");
        d.write("ok/main.py", "print(1)\n");
        return d.file("ok");
    };
    const RefusedAdd cases[] = {
        {"a link to /etc", "linked", [](TempDir& d) {
             fs::create_directories(d.path() / "linked");
             d.write("linked/main.py", "");
             fs::create_directory_symlink("/etc", d.path() / "linked" / "etc");
             return d.file("linked");
         }, "'etc' is a link"},
        {"a link as the folder itself", "whole", [](TempDir& d) {
             fs::create_directory_symlink("/etc", d.path() / "whole");
             return d.file("whole");
         }, "is not a folder"},
        {"a pipe", "piped", [](TempDir& d) {
             fs::create_directories(d.path() / "piped/deep");
             d.write("piped/main.py", "");
             mkfifo(d.file("piped/deep/pipe").c_str(), 0600);
             return d.file("piped");
         }, "'deep/pipe' is not a file or a folder"},
        {"too deep", "deep", [](TempDir& d) {
             std::string path = "deep";
             for (int i = 0; i < 18; ++i)
                 path += "/d";
             fs::create_directories(d.path() / path);
             d.write("deep/main.py", "");
             return d.file("deep");
         }, "deeper than 16 folders"},
        {"no folder", "gone", [](TempDir& d) { return d.file("gone"); }, "is not a folder"},
        {"a file, not a folder nor an archive", "file", [](TempDir& d) { return d.write("file.py", ""); }, "not a zip or tar"},
        {"no way to run it", "mystery", [](TempDir& d) {
             d.write("mystery.rb", "");
             fs::create_directories(d.path() / "mystery");
             d.write("mystery/bot.rb", "puts 1");
             return d.file("mystery");
         }, "name its command line with --command"},
        {"a name with a slash", "a/b", plain, "cannot name a bot"},
        {"a name with a dot", "a.v2", plain, "cannot name a bot"},
        {"a name like an option", "-rf", plain, "cannot name a bot"},
        {"an empty name", "", plain, "cannot name a bot"},
        {"a name too long", std::string(65, 'x'), plain, "cannot name a bot"},
        {"a name with a quote", "x'; DROP TABLE bots; --", plain, "cannot name a bot"},
    };
    for (const RefusedAdd& test : cases) {
        SCOPED_TRACE(test.name);
        TempDir own;
        const CommandOutcome refused = run({"add", test.bot, test.folder(own)});
        EXPECT_EQ(refused.code, 2);
        EXPECT_NE(refused.err.find(test.said), std::string::npos) << refused.err;
        EXPECT_EQ(storedBots(), std::vector<std::string>{}) << "left in the storage";
    }
    EXPECT_EQ(run({"add", "x", "--command"}).code, 2);
    EXPECT_EQ(run({"add", "x"}).code, 2);
    EXPECT_NE(run({"standings"}).out.find("No bot has a version ready"), std::string::npos);
}

// Ratings come from the current versions' matches against each other, and
// what the records hold goes in and out as values, never as SQL.
TEST_F(Ladder, StandingsRateTheCurrentVersionsFromTheirMatches)
{
    ASSERT_EQ(run({"init", root}).code, 0);
    const std::string folder = botFolder("b", {{"main.py", ""}});
    for (const char* name : {"strong", "weak", "old"})
        ASSERT_EQ(run({"add", name, folder}).code, 0);
    ASSERT_EQ(run({"add", "strong", folder}).code, 0); // strong v2
    LadderStore store(root + "/ladder.sqlite", false);
    const auto idOf = [&](const std::string& bot, int number) {
        return store.versionsOf(bot).at(static_cast<std::size_t>(number - 1)).id;
    };
    for (const auto& [bot, number] : std::vector<std::pair<std::string, int>>{{"strong", 2}, {"weak", 1}, {"old", 1}})
        store.setVersionState(idOf(bot, number), "ready");
    store.setVersionState(idOf("strong", 1), "failed", "crashed in its check");
    EXPECT_EQ(run({"matches"}).out, "No matches yet.\n");
    // strong.v2 wins 7 of 10 boards in both seatings against weak v1 (the
    // other 3 go to weak, both ways); weak and old split theirs; old retires.
    int game = 0;
    const auto play = [&](const std::string& a, const std::string& b, bool aWinsFirst, bool aWinsSecond) {
        const std::int64_t aId = idOf(a.substr(0, a.find('.')), a.back() - '0');
        const std::int64_t bId = idOf(b.substr(0, b.find('.')), b.back() - '0');
        const PairRow pair = store.startPair(aId, bId, game, "2026-12-10T12:00:00Z");
        const std::string one = recordOf(game, a, b, aWinsFirst ? 900 : 800, aWinsFirst ? 800 : 900);
        const std::string two = recordOf(game + 1, b, a, aWinsSecond ? 800 : 900, aWinsSecond ? 900 : 800);
        game += 2;
        store.finishPair(pair, {{one, two}, {aWinsFirst ? 1.0 : 0.0, aWinsSecond ? 1.0 : 0.0}, {0, 0}},
                         "2026-12-10T12:00:00Z");
    };
    for (int board = 0; board < 10; ++board) {
        play("strong.v2", "weak.v1", board < 7, board < 7);
        play("weak.v1", "old.v1", board % 2 == 0, board % 2 != 0);
    }
    const CommandOutcome standings = run({"standings"});
    ASSERT_EQ(standings.code, 0) << standings.err;
    const auto strong = standings.out.find("strong.v2");
    const auto weak = standings.out.find("weak.v1");
    ASSERT_EQ(standings.out.rfind("Standings (Elo by Bradley-Terry", 0), 0U) << standings.out;
    ASSERT_NE(strong, std::string::npos) << standings.out;
    ASSERT_NE(weak, std::string::npos);
    EXPECT_LT(strong, weak) << standings.out;
    EXPECT_NE(standings.out.find("old.v1"), std::string::npos);
    EXPECT_EQ(standings.out.find("strong.v1"), std::string::npos) << "a failed version never plays";
    ASSERT_EQ(run({"retire", "old"}).code, 0);
    EXPECT_EQ(run({"standings"}).out.find("old.v1"), std::string::npos);

    const CommandOutcome latest = run({"matches", "--limit", "2"});
    EXPECT_EQ(latest.out, "40  2026-12-10T12:00:00Z  old.v1 800 - 900 weak.v1\n"
                          "39  2026-12-10T12:00:00Z  weak.v1 800 - 900 old.v1\n");
    for (const char* bad : {"0", "-3", "x", "99999999999999"})
        EXPECT_EQ(run({"matches", "--limit", bad}).code, 2) << bad;
    const std::string weakPage = run({"bot", "weak"}).out;
    EXPECT_NE(weakPage.find("    40 matches, the latest:\n      40  2026-12-10T12:00:00Z  old.v1 800 - 900 weak.v1\n"
                            "      39  2026-12-10T12:00:00Z  weak.v1 800 - 900 old.v1\n      38  "),
              std::string::npos)
        << weakPage;
    // A failed move is listed on its bot's page with its hint and its logs.
    {
        auto failed = vorlen::testing::matchOf(game, "weak.v1", "old.v1", 10, 900);
        failed.seats[0].command = failed.seats[1].command = "python3 main.py";
        failed.seats[0].retired = "no move in vorla.out";
        failed.seats[0].retiredTurn = 12;
        failed.turns = 20;
        failed.run = "ladder";
        failed.runMatches = game + 1;
        failed.runPlayers = "weak.v1 old.v1";
        failed.seats[0].hint = "write your move to vorla.out";
        const PairRow pair = store.startPair(idOf("weak", 1), idOf("old", 1), game, "2026-12-10T12:00:00Z");
        store.finishPair(pair, {{vorlen::match::toJsonLine(failed)}, {0.0}, {1, 0}}, "2026-12-10T12:00:00Z");
        const std::string page = run({"bot", "weak"}).out;
        EXPECT_NE(page.find("    failed moves, the latest first:\n      match 41, turn 12: no move in vorla.out (write "
                            "your move to vorla.out); its logs in storage/pairs/"
                            + std::to_string(pair.id) + "\n"),
                  std::string::npos)
            << page;
        EXPECT_EQ(run({"bot", "old"}).out.find("failed moves"), std::string::npos);
    }

    // A record naming a player "'); DROP TABLE matches; --" is a value,
    // kept to the byte; one that cannot be read is said so.
    const std::string odd = recordOf(99, "'); DROP TABLE matches; --", "weak.v1", 1, 2);
    store.addMatch(idOf("old", 1), idOf("weak", 1), odd, "then");
    EXPECT_EQ(store.matches(1).at(0).record, odd);
    store.addMatch(idOf("old", 1), idOf("weak", 1), "{\"game\": 1", "then");
    EXPECT_NE(run({"matches", "--limit", "1"}).out.find("43  (a record that cannot be read: "), std::string::npos);
    EXPECT_EQ(store.matches(1000).size(), 43U);
}

} // namespace
