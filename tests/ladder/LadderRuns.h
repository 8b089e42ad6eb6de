#pragma once

#include "DatabaseLocation.h"
#include "LadderStore.h"
#include "RecordText.h"
#include "ladder/Backends.h"
#include "ladder/LadderFixture.h"
#include "support/Modes.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vorlen::ladder {

// Plays the first colour that is neither side's: a file bot of the shell.
constexpr const char* kFirstLegal =
    "awk 'NF { last = $0; if (!first) first = $0 } END { o = substr(first, 1, 1); p = substr(last, length(last), 1);"
    " for (c = 1; c <= 6; c++) if (c != o && c != p) { print c; exit } }' vorla.in > vorla.out\n";

// Plays the last such colour.
constexpr const char* kLastLegal =
    "awk 'NF { last = $0; if (!first) first = $0 } END { o = substr(first, 1, 1); p = substr(last, length(last), 1);"
    " for (c = 6; c >= 1; c--) if (c != o && c != p) { print c; exit } }' vorla.in > vorla.out\n";

class LadderRuns : public Ladder, public ::testing::WithParamInterface<Backend> {
protected:
    void SetUp() override
    {
        vorlen::testing::prepareMode(vorlen::testing::Mode::Sandbox);
        if (IsSkipped())
            return;
        location = root + "/ladder.sqlite";
        std::vector<std::string> init{"init", root};
        if (GetParam() == Backend::Postgres) {
            VORLEN_POSTGRES_DATABASE(location);
            init.insert(init.end(), {"--database", location});
        }
        const CommandOutcome made = run(init);
        ASSERT_EQ(made.code, 0) << made.err;
    }
    // What a program this test killed outright may have left (a box it was
    // starting), ended by its pid: every box shows the ladder's folder.
    void TearDown() override { vorlen::testing::killProcessesWith(root + "/"); }

    // A bot whose Makefile makes its program from a script.
    void addMadeBot(const std::string& name)
    {
        const std::string folder = botFolder(name, {{"play.sh", std::string("#!/bin/sh\n") + kFirstLegal},
                                                    {"Makefile", "bot: play.sh\n\tcp play.sh bot && chmod +x bot\n"}});
        const CommandOutcome added = run({"add", name, folder});
        ASSERT_EQ(added.code, 0) << added.err;
    }
    void addScriptBot(const std::string& name, const std::string& script)
    {
        const std::string folder = botFolder(name, {{"bot.sh", "#!/bin/sh\n" + script}});
        const CommandOutcome added = run({"add", name, folder, "--command", "sh bot.sh"});
        ASSERT_EQ(added.code, 0) << added.err;
    }
    std::string stateOf(const std::string& bot, int number)
    {
        LadderStore store(location, false);
        const VersionRow version = store.versionsOf(bot).at(static_cast<std::size_t>(number - 1));
        return version.state + (version.reason.empty() ? "" : ": " + version.reason);
    }
    // Every pair that landed has its two matches, and nothing else landed.
    void expectWholePairs(long long pairs)
    {
        const auto db = openDatabase(location, false);
        EXPECT_EQ(asInt(db->query("SELECT COUNT(*) FROM pairs WHERE state = 'done'").at(0).at(0)), pairs);
        EXPECT_EQ(asInt(db->query("SELECT COUNT(*) FROM pairs WHERE state = 'playing'").at(0).at(0)), 0);
        EXPECT_EQ(asInt(db->query("SELECT COUNT(*) FROM matches").at(0).at(0)), 2 * pairs);
        EXPECT_TRUE(db->query("SELECT pair FROM matches GROUP BY pair HAVING COUNT(*) != 2").empty());
        std::set<int> games;
        for (const SqlRow& row : db->query("SELECT record FROM matches")) {
            std::vector<vorlen::match::MatchRecord> records;
            std::string error;
            ASSERT_TRUE(vorlen::match::parseRecords(asText(row[0]), true, records, error)) << error;
            EXPECT_TRUE(games.insert(records.at(0).game).second) << "game " << records[0].game << " twice";
        }
    }

    std::string location; // of the ladder's database
};

} // namespace vorlen::ladder
