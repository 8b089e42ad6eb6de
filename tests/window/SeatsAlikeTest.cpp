// A seat's settings, given once, reach the bot alike whether the window or
// vorlen-match seats it: both build seats through the same code.
#include "BotEnvironment.h"
#include "MatchPlay.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "main_window.h"
#include "support/Boards.h"
#include "support/Bots.h"
#include "support/TempDir.h"
#include "support/Window.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// What a seat came to be: its recorded time, and what its bot saw and said.
struct SeatSeen {
    int moveLimitMs = 0;
    std::string log;
    bool operator==(const SeatSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SeatSeen& seen)
{
    return out << seen.moveLimitMs << " ms, log '" << seen.log << "'";
}

SeatSeen firstSeatInTheWindow(const std::string& bot, const QStringList& options)
{
    QStringList arguments{"vorlen", "--first", QString::fromStdString(bot)};
    arguments << options;
    main_window window(arguments, nullptr);
    playTurn(window);
    const Replay& replay = window.replay();
    return {replay.moveLimitsMs[0], replay.turns.empty() ? "(no turn)" : replay.turns.front().log};
}

SeatSeen firstSeatInTheRunner(const std::string& bot, const match::MatchConfig& config)
{
    BotGroups groups;
    match::MatchJob job{0, stripedBoard(), "striped", false, {}, {}};
    job.seats = {match::NamedPlayer{"A", parseSeatPlayer(bot), config.moveTime},
                 match::NamedPlayer{"B", parseSeatPlayer(kBuiltInName), config.moveTime}};
    const match::MatchResult result = match::playMatch(job, config, groups);
    const Replay& replay = result.replay;
    return {replay.moveLimitsMs[0], replay.turns.empty() ? "(no turn)" : replay.turns.front().log};
}

} // namespace

TEST(SeatsAlike, ASettingGivenOnceReachesTheBotAlikeInTheWindowAndTheRunner)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    const std::string bot = writeBot(dir, "probe.sh",
                                     "echo \"probe=${VORLEN_PROBE:-unset}\" >&2\n"
                                     "[ -d /tmp/seat ] && echo boxed >&2\necho 3 > vorla.out");
    const bool boxes = [] {
        std::string why;
        return probeSandbox(findSandbox(), why);
    }();
    const struct {
        const char* setting;
        QStringList window;
        std::function<void(match::MatchConfig&)> runner;
        bool needsBoxes = false;
    } cases[] = {
        {"none", {}, [](match::MatchConfig&) {}},
        {"move time", {"--move-time", "700"}, [](match::MatchConfig& c) { c.moveTime = std::chrono::milliseconds(700); }},
        {"bot environment", {"--bot-env", "VORLEN_PROBE=on"},
         [](match::MatchConfig& c) {
             EnvPass pass;
             parseEnvPass("VORLEN_PROBE=on", pass);
             c.botEnv = {pass};
         }},
        {"sandbox", {"--sandbox"}, [](match::MatchConfig& c) { c.boxes = findSandbox(); }, true},
    };
    for (const auto& c : cases) {
        if (c.needsBoxes && !boxes)
            continue;
        match::MatchConfig config;
        config.first = parseSeatPlayer(bot);
        config.sandbox = match::SandboxMode::Off;
        c.runner(config);
        const SeatSeen window = firstSeatInTheWindow(bot, c.window);
        const SeatSeen runner = firstSeatInTheRunner(bot, config);
        EXPECT_EQ(window, runner) << c.setting;
        EXPECT_NE(window.log.find("probe="), std::string::npos) << c.setting << ": " << window;
    }
}
