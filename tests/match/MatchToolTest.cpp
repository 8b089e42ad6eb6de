#include "BoardSequence.h"
#include "MatchArguments.h"
#include "MatchOptions.h"
#include "MatchPlay.h"
#include "MatchRecord.h"
#include "RecordText.h"
#include "Sprt.h"
#include "ReplayFile.h"
#include "Summary.h"
#include "support/Bots.h"
#include "support/MatchOptions.h"
#include "support/MatchTool.h"
#include "support/Processes.h"
#include "support/Records.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>

using namespace vorlen;
using namespace vorlen::match;
using namespace vorlen::testing;

namespace {

// The fields of a CSV line, less one.
long commasOf(const std::string& line) { return std::count(line.begin(), line.end(), ','); }

ParsedArguments parse(const QStringList& arguments) { return parseOptions(arguments); }

// JSON Lines records in game order, without their times: matches finish in
// any order, and take their own time.
std::vector<std::string> sortedRecords(const std::string& path)
{
    std::vector<std::string> records;
    for (const std::string& line : lines(readFile(path)))
        records.push_back(withoutTimes(line));
    auto game = [](const std::string& record) {
        return std::stoi(record.substr(record.find(':') + 1));
    };
    std::sort(records.begin(), records.end(),
              [&](const std::string& a, const std::string& b) { return game(a) < game(b); });
    return records;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

MatchRecord playOne(const std::string& first, const std::string& second = kBuiltInName)
{
    MatchConfig config;
    config.first = parseSeatPlayer(first);
    config.second = parseSeatPlayer(second);
    BotGroups groups;
    const MatchJob job{0, seededBoard(1, 0), "seed:1:0", false, config.seatsFor({}), {}};
    return *playMatch(job, config, groups).record;
}

} // namespace

TEST(MatchOptions, DefaultsAndValues)
{
    const ParsedArguments plain = parse({});
    ASSERT_TRUE(plain.config);
    EXPECT_EQ(plain.config->first.text(), "stupid");
    EXPECT_EQ(plain.config->games, 1);
    EXPECT_EQ(plain.config->concurrency, 2);
    EXPECT_EQ(plain.config->boards, BoardMode::Window);

    const ParsedArguments full = parse({"--first", "/bin/true a", "--games", "200", "--swap", "--seed",
                                        "7", "--concurrency", "3", "--results", "r.jsonl"});
    ASSERT_TRUE(full.config);
    EXPECT_EQ(full.config->first.text(), "/bin/true a");
    EXPECT_EQ(full.config->matchCount(), 400);
    EXPECT_EQ(full.config->boards, BoardMode::Seeded);
    EXPECT_EQ(full.config->seed, 7U);
    EXPECT_EQ(full.config->concurrency, 3);

    const ParsedArguments limits = parse({"--bot-memory", "0", "--bot-cpu", "2", "--bot-log-size", "8", "--no-sandbox"});
    ASSERT_TRUE(limits.config);
    EXPECT_EQ(limits.config->limits.memoryMiB, 0U);
    EXPECT_EQ(limits.config->limits.cpuSeconds, 2U);
    EXPECT_EQ(limits.config->limits.logBytes, 8192U);
    EXPECT_EQ(limits.config->sandbox, SandboxMode::Off);
}

TEST(MatchOptions, BadOptionsNameTheProblemAndExitWithTwo)
{
    const QStringList bad[] = {{"--bogus"},           {"--games"},          {"--games", "0"},
                               {"--games", "-3"},     {"--games", "x"},     {"--concurrency", "0"},
                               {"--map", "/no/such"}, {"--seed", "x"},      {"--first", ""},
                               {"stray"},             {"--seed", "1", "--map", "/etc/hostname"},
                               {"--bot-cpu", "0"},    {"--bot-memory", "x"}, {"--bot-files", "-1"},
                               {"--sandbox", "--no-sandbox"}, {"--first", "search:0"}, {"--second", "search:6"},
                               {"--player", "a=search:x", "--player", "b=stupid"}, {"--evaluation", "0"},
                               {"--evaluation", "6"}, {"--evaluation", "1,,3"}, {"--evaluation", "x"}};
    for (const QStringList& arguments : bad) {
        const ParsedArguments parsed = parse(arguments);
        EXPECT_FALSE(parsed.config) << arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.exitCode, 2);
        EXPECT_EQ(parsed.err.rfind("vorlen-match: ", 0), 0U) << parsed.err;
        EXPECT_NE(parsed.err.find("--help"), std::string::npos);
        EXPECT_EQ(std::count(parsed.err.begin(), parsed.err.end(), '\n'), 2);
    }
    // Both help options print the help, and play nothing.
    for (const char* asked : {"--help", "--help-all"}) {
        const ParsedArguments help = parse({asked});
        EXPECT_FALSE(help.config) << asked;
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.rfind("Usage: vorlen-match [options]\n", 0), 0U) << help.out;
        EXPECT_NE(help.out.find("stream:COMMAND"), std::string::npos);
        EXPECT_NE(help.out.find("--concurrency"), std::string::npos);
    }
}

TEST(MatchOptions, AnUnknownOptionGetsTheNearestOneSuggested)
{
    const struct {
        const char* given;
        const char* said;
    } cases[] = {
        {"--rounds", "unknown option '--rounds'; did you mean --games?"},
        {"--threads", "unknown option '--threads'; did you mean --concurrency?"},
        {"--tc", "unknown option '--tc'; did you mean --move-time?"},
        {"--gmaes", "unknown option '--gmaes'; did you mean --games?"},
        {"--frist", "unknown option '--frist'; did you mean --first?"},
        {"--Seed", "unknown option '--Seed'; did you mean --seed?"},
        {"--swpa", "unknown option '--swpa'; did you mean --swap?"},
        {"--xyzzy", "unknown option '--xyzzy'\n"},
        {"--tournamentx", "unknown option '--tournamentx'; did you mean --tournament?"},
        {"-x", "unknown option '-x'\n"},
    };
    for (const auto& c : cases) {
        const ParsedArguments parsed = parse({c.given, "3"});
        EXPECT_EQ(parsed.exitCode, 2) << c.given;
        EXPECT_NE(parsed.err.find(c.said), std::string::npos) << c.given << ": " << parsed.err;
    }
    // A person plays only in the window.
    for (const QStringList& person : {QStringList{"--first", "person"}, QStringList{"--player", "me=person", "--player", "b=stupid"}}) {
        const ParsedArguments parsed = parse(person);
        EXPECT_EQ(parsed.exitCode, 2);
        EXPECT_NE(parsed.err.find(": a person plays only in the window (vorlen --first person)"), std::string::npos)
            << parsed.err;
    }
    // Options with "=" still work as Qt reads them.
    EXPECT_EQ(parse({"--games=10"}).config->games, 10);
}

TEST(MatchOptions, EveryRowOfTheTableIsAnOptionWithItsHelp)
{
    const std::string help = parse({"--help"}).out;
    const std::vector<match::MatchOption> table = match::matchOptions(2);
    std::set<std::string> names;
    for (const match::MatchOption& row : table) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name << " is in the table twice";
        const std::string shown = std::string("--") + row.name + (row.valueName ? std::string(" <") + row.valueName + ">" : "");
        EXPECT_NE(help.find(shown), std::string::npos) << shown;
        // Its help, as far as the first line's wrap.
        EXPECT_NE(help.find(row.help.left(16).toStdString()), std::string::npos) << row.name;
        // An option that takes a value refuses to go without one.
        if (row.valueName) {
            EXPECT_EQ(parse({QString("--") + row.name}).exitCode, 2) << row.name;
        }
    }
}

TEST(MatchBoards, SeededBoardsArePortableAndIndependent)
{
    const Field board = seededBoard(1, 0);
    EXPECT_TRUE(board == seededBoard(1, 0));
    EXPECT_FALSE(board == seededBoard(1, 1));
    EXPECT_FALSE(board == seededBoard(2, 0));
    // A fixed value: the same on every machine.
    std::string firstRow;
    for (const int cell : board[0])
        firstRow += std::to_string(cell);
    EXPECT_EQ(firstRow.size(), 45U);
    EXPECT_EQ(firstRow, "315663622232333142515346612466525132414315143");
}

TEST(MatchSummary, EloFromResults)
{
    const EloEstimate even = estimateElo(10, 0, 10);
    EXPECT_NEAR(even.difference, 0.0, 1e-9);
    EXPECT_GT(even.high - even.low, 200.0);
    const EloEstimate better = estimateElo(75, 0, 25);
    EXPECT_NEAR(better.difference, 190.8, 0.1); // -400 log10(1/0.75 - 1)
    EXPECT_NEAR(estimateElo(25, 0, 75).difference, -190.8, 0.1);
    EXPECT_TRUE(std::isinf(estimateElo(5, 0, 0).difference));
    EXPECT_TRUE(std::isnan(estimateElo(0, 0, 0).difference));
}

TEST(MatchSummary, PerPlayerNotPerSeat)
{
    MatchRecord record;
    record.seats[0] = {"B", "stupid", 1000, "full board", 50, {20, 0.5, 1.0, 0}};
    record.seats[1] = {"A", "./bot", 845, "stall", 51, {21, 2000.0, 2900.0, 3}};
    EXPECT_EQ(record.winner(), "B");
    Tally tally;
    tally.add(record);
    EXPECT_EQ(tally.player("B").wins, 1);
    EXPECT_EQ(tally.player("A").losses, 1);
    EXPECT_EQ(tally.player("A").scoreSum, 845);
    EXPECT_EQ(tally.player("A").retirements.at("stall"), 1);
    EXPECT_EQ(tally.player("A").moves, 21);
    EXPECT_EQ(tally.player("A").nearLimit, 3);
    EXPECT_DOUBLE_EQ(tally.player("A").maxMoveMs, 2900.0);
    record.seats[1].score = 1000;
    EXPECT_EQ(record.winner(), "D");
}

TEST(MatchRecords, CsvAndJsonLinesWrittenAndReadBack)
{
    // Records of earlier versions have no move counts.
    const auto isEarlier = [](const std::string& text) { return text.find("governance") == std::string::npos; };
    MatchRecord record;
    record.game = 3;
    record.board = "map:a,b.txt";
    record.turns = 7;
    record.seats[0] = {"A", "/usr/bin/python3 \"my bot.py\"", 12, "time limit", 0, {1, 3000.25, 3000.25, 1}};
    record.seats[1] = {"B", "stupid", 30, "", -1, {1, 0.0004, 0.0004, 0}};
    record.run = "03f74932f5ddc569";
    record.runMatches = 20;
    record.swap = true;
    record.runPlayers = "A B";
    record.seats[0].moveLimitMs = 500;
    record.seats[0].hint = "answers go to \"vorla.out\", not to standard output";
    record.ended = "2026-12-09T08:15:02Z";
    record.botEnv = "OMP_NUM_THREADS LANG";
    record.anchor = "mean";
    record.shard = "1/4";
    const std::string csv = toCsv(record);
    EXPECT_EQ(csv, "3,\"map:a,b.txt\",A,\"/usr/bin/python3 \"\"my bot.py\"\"\",B,stupid,"
                   "7,12,30,B,time limit,0,,,none,3000.250,3000.250,1,0.000,0.000,0,03f74932f5ddc569,20,true,A B,none,1,1,,"
                   "500,3000,\"answers go to \"\"vorla.out\"\", not to standard output\",,2026-12-09T08:15:02Z,"
                   "OMP_NUM_THREADS LANG,mean,1/4\n");
    const std::string json = toJsonLine(record);
    EXPECT_EQ(json, "{\"game\":3,\"board\":\"map:a,b.txt\",\"first_player\":\"A\",\"first\":"
                    "\"/usr/bin/python3 \\\"my bot.py\\\"\",\"second_player\":\"B\",\"second\":\"stupid\","
                    "\"turns\":7,\"first_score\":12,\"second_score\":30,\"winner\":\"B\","
                    "\"first_retired\":\"time limit\",\"first_retired_turn\":0,"
                    "\"second_retired\":null,\"second_retired_turn\":null,\"containment\":\"none\","
                    "\"first_mean_ms\":3000.25,\"first_max_ms\":3000.25,\"first_near_limit\":1,"
                    "\"second_mean_ms\":0.0,\"second_max_ms\":0.0,\"second_near_limit\":0,"
                    "\"run\":\"03f74932f5ddc569\",\"run_matches\":20,\"swap\":true,\"run_players\":\"A B\",\"governance\":\"none\","
                    "\"first_moves\":1,\"second_moves\":1,\"sprt\":null,"
                    "\"first_move_limit_ms\":500,\"second_move_limit_ms\":3000,"
                    "\"first_hint\":\"answers go to \\\"vorla.out\\\", not to standard output\",\"second_hint\":null,"
                    "\"ended\":\"2026-12-09T08:15:02Z\",\"bot_env\":\"OMP_NUM_THREADS LANG\",\"anchor\":\"mean\",\"shard\":\"1/4\"}\n");

    // Both formats read back to the same record, as far as they keep it;
    // records of earlier versions, without "governance" and what follows, too.
    const std::string earlierHeader = csvHeader().substr(0, csvHeader().find(",governance")) + "\n";
    const std::string earlierCsv = csv.substr(0, csv.find(",none,1,1,,500,3000,")) + "\n";
    const std::string earlierJson = json.substr(0, json.find(",\"governance\"")) + "}\n";
    for (const auto& [text, isJson] : {std::pair{csvHeader() + csv, false}, {json + json, true},
                                       {earlierHeader + earlierCsv, false}, {earlierJson + earlierJson, true}}) {
        std::vector<MatchRecord> read;
        std::string error;
        ASSERT_TRUE(parseRecords(text, isJson, read, error)) << error;
        ASSERT_EQ(read.size(), isJson ? 2U : 1U);
        // They played under the usual time limit.
        EXPECT_EQ(toCsv(read[0]), isEarlier(text) ? csv.substr(0, csv.find(",1,1,,500,")) + ",0,0,,3000,3000,,,,,,\n" : csv);
    }
    // Every control character, line breaks included, in every free text
    // field: written, then read back whole from a file and from text, in
    // both formats, and the records after it are where they were.
    std::string controls;
    for (char byte = 1; byte < 0x20; ++byte)
        controls += byte;
    controls += "\x7f\",\"\r\n";
    MatchRecord hostile = record;
    hostile.board = "map:" + controls;
    hostile.seats[0].command = controls + "bot";
    hostile.seats[1].command = "bot " + controls;
    hostile.seats[0].hint = controls;
    hostile.botEnv = controls;
    TempDir files;
    for (const bool isJson : {false, true}) {
        const std::string text = isJson ? toJsonLine(hostile) + toJsonLine(record)
                                        : csvHeader() + toCsv(hostile) + toCsv(record);
        std::vector<MatchRecord> parsed;
        std::string error;
        ASSERT_TRUE(parseRecords(text, isJson, parsed, error)) << error;
        std::vector<MatchRecord> streamed = recordsIn(files.write(isJson ? "r.jsonl" : "r.csv", text));
        for (const std::vector<MatchRecord>* read : {&parsed, &streamed}) {
            ASSERT_EQ(read->size(), 2U) << (isJson ? "JSON" : "CSV");
            EXPECT_EQ(toCsv(read->at(0)), toCsv(hostile)) << (isJson ? "JSON" : "CSV");
            EXPECT_EQ(toCsv(read->at(1)), toCsv(record)) << (isJson ? "JSON" : "CSV");
        }
    }

    // An SPRT run's settings come back as they were, in Elo or normalised.
    MatchRecord tested = record;
    for (const auto& [isJson, normalised] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        tested.sprt = sprtSettingsText({-1.5, 4.25, 0.05, 0.1, normalised});
        std::vector<MatchRecord> read;
        std::string error;
        ASSERT_TRUE(parseRecords(isJson ? toJsonLine(tested) : csvHeader() + toCsv(tested), isJson, read, error)) << error;
        EXPECT_EQ(toCsv(read.at(0)), toCsv(tested));
    }

    const std::string header = csvHeader();
    const struct {
        std::string text;
        bool json;
        std::string problem;
    } bad[] = {
        {"game,board\n", false, "line 1: not the header"},
        {header + "3,\"unclosed\n", false, "line 2: an unclosed quote"},
        {header + "3,b\n", false, "line 2: 2 fields, not 37"},
        {header + replaced(csv, ",1,1,,", ",1,1,elo0=5,"), false, "line 2: no proper sprt"},
        {header + replaced(csv, ",500,3000,", ",0.5,3000,"), false, "line 2: no proper first_move_limit_ms"},
        {header + replaced(csv, ",500,3000,", ",500,3600001,"), false, "line 2: no proper second_move_limit_ms"},
        {replaced(json, "\"first_move_limit_ms\":500", "\"first_move_limit_ms\":-500"), true,
         "line 1: no proper \"first_move_limit_ms\""},
        {header + replaced(csv, "7,12,30", "seven,12,30"), false, "line 2: no proper turns"},
        {header + replaced(csv, "7,12,30,B", "7,2147483647,30,A"), false, "line 2: no proper first_score"},
        {header + replaced(csv, "3000.250,3000.250", "-0.5,3000.250"), false, "line 2: no proper first_mean_ms"},
        {replaced(json, "\"first_mean_ms\":3000.25", "\"first_mean_ms\":-1"), true, "line 1: no proper \"first_mean_ms\""},
        {replaced(json, "\"second_score\":30", "\"second_score\":1846"), true, "line 1: no proper \"second_score\""},
        {header + replaced(csv, ",B,time", ",A,time"), false, "line 2: the winner 'A' does not follow"},
        {json + "{\"game\": 1}\n", true, "line 2: no proper \"board\""},
        {"not json\n", true, "line 1: not a JSON record"},
        {replaced(json, "\"turns\":7", "\"turns\":\"7\""), true, "line 1: no proper \"turns\""},
        {replaced(json, "\"turns\":7", "\"turns\":[7]"), true, "line 1: not a JSON record"},
        {replaced(json, "\"sprt\":null", "\"sprt\":{\"elo0\":0}"), true, "line 1: not a JSON record"},
        {std::string(100000, '[') + "\n", true, "line 1: not a JSON record"},
        {"{" + std::string(100000, '[') + "\n", true, "line 1: not a JSON record"},
        {replaced(json, "}\n", ",\"later\":[1]}\n"), true, "line 1: not a JSON record"},
        {replaced(json, "\"board\":\"map:a,b.txt\",", ""), true, "line 1: no proper \"board\""},
        {replaced(json, "\"shard\":\"1/4\"", "\"shard\":\"4/4\""), true, "line 1: no proper \"shard\""},
        {header + replaced(csv, ",mean,1/4", ",mean,1/"), false, "line 2: no proper shard"},
    };
    for (const auto& c : bad) {
        std::vector<MatchRecord> read;
        std::string error;
        EXPECT_FALSE(parseRecords(c.text, c.json, read, error)) << c.text;
        EXPECT_EQ(error.rfind(c.problem, 0), 0U) << error;
    }
}

class MatchBots : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(MatchBots, EveryFailureIsCountedUnderItsOwnReasonAtItsTurn)
{
    const struct {
        std::string body;
        std::string reason;
    } cases[] = {
        {"true", "no move in vorla.out"},
        {"echo 9 > vorla.out", "colour outside 1-6"},
        {"head -c 1 vorla.in > vorla.out", "own or opponent's colour"},
        {"sleep 5", "time limit"},
    };
    for (const auto& c : cases) {
        const std::string bot = writeBot(dir, "bot.sh", c.body);
        const MatchRecord asFirst = playOne(bot);
        EXPECT_EQ(asFirst.seats[0].retired, c.reason) << c.body;
        EXPECT_EQ(asFirst.seats[0].retiredTurn, 0);
        if (c.reason == "time limit")
            continue; // one time-out is enough to pay for
        const MatchRecord asSecond = playOne(kBuiltInName, bot);
        EXPECT_EQ(asSecond.seats[1].retired, c.reason) << c.body;
        EXPECT_EQ(asSecond.seats[1].retiredTurn, 1);
    }
    const MatchRecord missing = playOne(dir.file("no-such-bot"));
    EXPECT_EQ(missing.seats[0].retired, "failed to start");
    EXPECT_EQ(missing.seats[0].retiredTurn, 0);
}

TEST_F(MatchBots, TheTraceEndsTheLineOfAnIncorrectMove)
{
    WorkingDirectory cwd(dir.path());
    writeBot(dir, "nine.sh", "echo 9 > vorla.out");
    const ToolRun run = runTool("--first ./nine.sh --games 1 --trace", "2>&1 >/dev/null");
    EXPECT_NE(run.out.find("0 incorrect move\n"), std::string::npos) << run.out;
}

TEST_F(MatchBots, SameMatchAsTheWindowOnTheDefaultBoard)
{
    WorkingDirectory cwd(dir.path());
    const ToolRun run = runTool("--games 1 --results r.csv");
    EXPECT_EQ(run.exitCode, 0);
    const auto records = lines(readFile(dir.file("r.csv")));
    ASSERT_EQ(records.size(), 2U);
    EXPECT_EQ(withoutTimes(records[1]), "0,rand:0,A,stupid,B,stupid,122,908,937,B,full board,120,full board,121,none");
    EXPECT_NE(run.out.find("Matches played: 1 of 1"), std::string::npos);
}

TEST_F(MatchBots, SeedGivesTheSameRecordsWhateverTheConcurrency)
{
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "bot.sh", "head -c 1 vorla.in | tr 123456 234561 > vorla.out");
    const std::string common = "--first " + bot + " --games 3 --swap --seed 5 --results ";
    EXPECT_EQ(runTool(common + "one.jsonl --concurrency 1").exitCode, 0);
    EXPECT_EQ(runTool(common + "again.jsonl --concurrency 1").exitCode, 0);
    EXPECT_EQ(runTool(common + "two.jsonl --concurrency 2").exitCode, 0);
    const auto one = sortedRecords(dir.file("one.jsonl"));
    ASSERT_EQ(one.size(), 6U);
    EXPECT_EQ(sortedRecords(dir.file("again.jsonl")), one);
    EXPECT_EQ(sortedRecords(dir.file("two.jsonl")), one);
    // Both seatings of every board, one after the other.
    EXPECT_NE(one[0].find("\"board\":\"seed:5:0\",\"first_player\":\"A\""), std::string::npos);
    EXPECT_NE(one[1].find("\"board\":\"seed:5:0\",\"first_player\":\"B\""), std::string::npos);
    EXPECT_NE(one[5].find("\"board\":\"seed:5:2\",\"first_player\":\"B\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("vorla.in")));
}

TEST_F(MatchBots, EveryMatchLeavesAReplayThatAgreesWithItsRecord)
{
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "bot.sh", "head -c 1 vorla.in | tr 123456 234561 > vorla.out");
    const ToolRun run = runTool("--first " + bot + " --games 2 --swap --seed 5 --concurrency 2 --replays replays --results r.jsonl");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("Move times:\n  A: mean "), std::string::npos) << run.out;
    const auto records = sortedRecords(dir.file("r.jsonl"));
    ASSERT_EQ(records.size(), 4U);
    const char* names[] = {"game-0-A-B.json", "game-1-B-A.json", "game-2-A-B.json", "game-3-B-A.json"};
    for (int game = 0; game < 4; ++game) {
        Replay replay;
        std::string error;
        ASSERT_TRUE(readReplayFile(dir.file("replays/") + names[game], replay, error)) << names[game] << ": " << error;
        const std::string& record = records[static_cast<std::size_t>(game)];
        const std::string expected[] = {
            "\"board\":\"" + replay.boardSource + "\"",
            "\"first\":\"" + replay.players[0] + "\"",
            "\"second\":\"" + replay.players[1] + "\"",
            "\"turns\":" + std::to_string(replay.turns.size()),
            "\"first_score\":" + std::to_string(replay.finalScore().first),
            "\"second_score\":" + std::to_string(replay.finalScore().second),
        };
        for (const std::string& part : expected)
            EXPECT_NE(record.find(part), std::string::npos) << part << " in " << record;
        EXPECT_TRUE(replay.finished);
        EXPECT_EQ(replay.board, seededBoard(5, game / 2));
        // The run's names for its players, which the window shows.
        EXPECT_EQ(replay.names, (game % 2 == 0 ? std::array<std::string, 2>{"A", "B"} : std::array<std::string, 2>{"B", "A"}));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("replays")), {}), 4);

    // A folder that cannot be made is a bad option.
    dir.write("taken", "");
    EXPECT_EQ(runTool("--replays taken/replays").exitCode, 2);
}

TEST_F(MatchBots, InterruptStopsCleanlyWithTheFinishedMatchesRecorded)
{
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(
        dir, "slow.sh",
        "echo $$ >> " + dir.file("groups") + "; sleep 0.02; head -c 1 vorla.in | tr 123456 234561 > vorla.out");
    const std::string command = std::string(VORLEN_MATCH_BIN) + " --second " + bot
                                + " --games 20 --concurrency 2 --results r.csv";
    std::FILE* pipe = popen(("exec " + command + " 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    // Wait for the first finished match, then press Ctrl-C.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (lines(readFile(dir.file("r.csv"))).size() < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::system(("pkill -INT -f '^" + std::string(VORLEN_MATCH_BIN) + " --second'").c_str());
    const auto [exitCode, out] = finish(pipe);
    EXPECT_EQ(exitCode, 130);

    const auto records = lines(readFile(dir.file("r.csv")));
    ASSERT_GE(records.size(), 2U);
    EXPECT_LT(records.size(), 21U);
    for (std::size_t i = 1; i < records.size(); ++i)
        EXPECT_EQ(commasOf(records[i]), commasOf(csvHeader())) << records[i];
    EXPECT_NE(out.find("Matches played: " + std::to_string(records.size() - 1) + " of 40 (boards in both seatings), interrupted"),
              std::string::npos)
        << out;
    // No bot, nor anything a bot started, outlives the runner.
    for (const std::string& group : lines(readFile(dir.file("groups"))))
        EXPECT_EQ(liveProcessesInGroup(std::stoi(group)), 0) << group;
}
