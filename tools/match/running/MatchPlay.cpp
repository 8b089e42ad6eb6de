#include "MatchPlay.h"

#include "UtcTime.h"

#include "PlayerFactory.h"
#include "SeatBuilder.h"
#include "SeatPlayer.h"
#include "ReplayPosition.h"
#include "Retirement.h"
#include "ScratchDir.h"
#include "VorlenManager.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace vorlen::match {
namespace {

constexpr int kTurnLimit = 100'000; // far beyond any match the rules allow

// Beside a seat: the other seat's player and the run's outputs.
SeatSurroundings surroundings(const MatchJob& job, int seat, const MatchConfig& config)
{
    return {job.seats[1 - seat].command(), runOutputs(config)};
}

} // namespace

std::vector<std::string> runOutputs(const MatchConfig& config)
{
    std::vector<std::string> outputs;
    for (const std::string& path : {config.resultsPath, config.botLogDir, config.replayDir, config.reportDir}) {
        std::error_code error;
        if (!path.empty())
            outputs.push_back(std::filesystem::absolute(path, error).lexically_normal().string());
    }
    return outputs;
}

BotSettings seatSettings(const MatchJob& job, int seat, const MatchConfig& config, BotGroups& groups,
                         const std::string& scratch)
{
    BotSettings settings;
    settings.env = config.botEnv;
    settings.looseStreamAnswers = config.looseStreamAnswers;
    settings.keepSeatFiles = config.keepSeatFiles;
    // Played on from a replay, a file bot finds its seat folder as it was there.
    if (job.start.replay)
        settings.startFiles = seatFilesBefore(*job.start.replay, seat, job.start.turns);
    if (config.boxed()) {
        settings.sandbox = config.boxes;
        settings.boxOwner = job.seats[seat].name;
    }
    if (!scratch.empty())
        settings.exchangeDir = scratch + "/seat-" + std::to_string(seat);
    if (!config.botLogDir.empty())
        settings.stderrPath = config.botLogDir + "/" + botLogName(job.game, seat, job.seats[seat].name);
    settings.groups = &groups;
    settings.limits = config.limits;
    settings.moveLimit = job.seats[seat].moveTime;
    return programSeatSettings(job.seats[seat].seat, settings, surroundings(job, seat, config));
}

std::string replayFileName(const MatchJob& job, const MatchConfig& config)
{
    const bool plain = !config.swap && !config.alternate && config.pairings().size() == 1;
    return plain ? "game-" + std::to_string(job.game) + ".json"
                 : pairReplayName(job.game, job.seats[0].name, job.seats[1].name);
}

std::string botLogName(int game, int seat, const std::string& player)
{
    return "game-" + std::to_string(game) + "-seat-" + std::to_string(seat) + "-" + player + ".log";
}

std::string pairReplayName(int game, const std::string& first, const std::string& second)
{
    return "game-" + std::to_string(game) + "-" + first + "-" + second + ".json";
}

MatchResult playMatch(const MatchJob& job, const MatchConfig& config, BotGroups& groups, BoxPool* boxes)
{
    const Trace trace = config.trace ? Trace().endingLines() : Trace::silent();
    std::string error;
    // Boxed bots have seat folders in their boxes.
    const std::unique_ptr<ScratchDir> dir =
        config.anyProgram() && !config.boxed() ? std::make_unique<ScratchDir>(error) : nullptr;
    if (!error.empty())
        return {std::nullopt, {}, error};

    std::unique_ptr<IVorlenLogic> players[2];
    ExternalPlayer* external[2] = {nullptr, nullptr};
    std::array<int, 2> recordedLimits{};
    for (int seat = 0; seat < 2; ++seat) {
        const SeatPlayer& who = job.seats[seat].seat;
        BotSettings settings;
        if (who.isProgram()) {
            settings = seatSettings(job, seat, config, groups, dir ? dir->path() : std::string());
            settings.boxPool = boxes;
            settings.trace = trace;
        }
        settings.moveLimit = job.seats[seat].moveTime;
        BuiltSeat built = buildSeat(who, std::move(settings), surroundings(job, seat, config));
        external[seat] = built.program;
        players[seat] = std::move(built.player);
        recordedLimits[static_cast<std::size_t>(seat)] = built.recordedMoveLimitMs;
    }

    VorlenManager manager(kBoardColumns, kBoardRows, 2, trace);
    manager.setPlayer(0, players[0].get());
    manager.setPlayer(1, players[1].get());
    manager.setBoard(job.board);
    int turns = 0;
    if (job.start.replay) {
        std::string problem;
        if (!playUpTo(manager, *job.start.replay, job.start.turns, {players[0].get(), players[1].get()}, problem))
            return {std::nullopt, {}, problem};
        turns = job.start.turns;
    }
    MatchResult result;
    Replay& replay = result.replay;
    replay.board = job.board;
    replay.boardSource = job.boardLabel;
    std::error_code unknown;
    const std::string runFolder = std::filesystem::current_path(unknown).string();
    replay.runFolder = runFolder;
    for (int seat = 0; seat < 2; ++seat) {
        replay.players[seat] = job.seats[seat].command();
        replay.names[seat] = job.seats[seat].name;
        if (job.seats[seat].seat.isProgram())
            replay.playersAsRun[seat] = playerAsRun(job.seats[seat].seat, runFolder);
        replay.moveLimitsMs[seat] = recordedLimits[static_cast<std::size_t>(seat)];
    }
    const auto reasonOf = [&](int seat) { return retirementText(manager.retirement(seat), manager.lastResult(seat)); };
    // A match played on from a replay's position keeps the turns before it.
    if (job.start.replay)
        replay.turns.assign(job.start.replay->turns.begin(), job.start.replay->turns.begin() + turns);
    while (!manager.gameOver() && turns < kTurnLimit) {
        manager.makeTurn(turns++);
        replay.turns.push_back(recordTurn(manager, reasonOf));
        const MoveResult& moved = manager.lastResult(manager.lastTurn().seat);
        if (manager.lastTurn().moved && moved.refereeError()) {
            result.error = moved.detail;
            return result;
        }
        if (groups.stopping())
            return result;
    }
    replay.finished = manager.gameOver();
    std::string governance = "none";
    for (ExternalPlayer* player : external) {
        if (!player)
            continue;
        if (std::string(player->governance()) != "none")
            governance = player->governance();
        player->endMatch();
    }

    MatchRecord record;
    record.game = job.game;
    record.board = job.boardLabel;
    record.turns = turns;
    record.containment = config.containment();
    record.ended = utcNow();
    record.governance = governance;
    record.botEnv = envPassNames(config.botEnv);
    record.anchor = config.anchor;
    if (config.shards > 1)
        record.shard = std::to_string(config.shard) + "/" + std::to_string(config.shards);
    record.run = config.runId();
    record.runMatches = config.matchCount();
    record.swap = config.swap;
    record.sprt = config.sprt ? sprtSettingsText(*config.sprt) : std::string();
    for (const NamedPlayer& player : config.players())
        record.runPlayers += (record.runPlayers.empty() ? "" : " ") + player.name;
    const ScorePair score = manager.score();
    for (int seat = 0; seat < 2; ++seat) {
        SeatRecord& out = record.seats[seat];
        out.player = job.seats[seat].name;
        out.command = job.seats[seat].command();
        out.score = seat == 0 ? score.first : score.second;
        const Retirement& retirement = manager.retirement(seat);
        out.retired = retirementText(retirement, manager.lastResult(seat));
        out.retiredTurn = retirement.turn;
        out.moveLimitMs = replay.moveLimitsMs[seat];
        // The move that retired it was its last: its hint is the one.
        if (!out.retired.empty() && !isGameEnd(out.retired))
            out.hint = manager.lastResult(seat).hint;
        out.times = asRecorded(moveTimes(replay, seat, out.moveLimitMs));
    }
    result.record = record;
    return result;
}

} // namespace vorlen::match
