#include "PairPlay.h"

#include "CommandLine.h"
#include "BoardSequence.h"
#include "MatchPlay.h"
#include "LadderPaths.h"
#include "RecordText.h"
#include "ReplayFile.h"
#include "Retirement.h"

#include <filesystem>

namespace vorlen::ladder {

SeatPlayer versionSeat(const std::string& command, const std::string& folder)
{
    SeatPlayer seat = parseSeatPlayer(command);
    seat.command = anchorInFolder(seat.command, folder);
    seat.ownDir = folder;
    seat.blankOwnDir = false;
    return seat;
}

PairOutcome playPair(const match::NamedPlayer& a, const match::NamedPlayer& b, const PairPlace& place,
                     const PlaySettings& settings, BotGroups& groups, BoxPool& boxes)
{
    match::MatchConfig config;
    config.named = {a, b};
    config.swap = true;
    config.games = 1;
    config.boards = match::BoardMode::Seeded;
    config.seed = place.seed;
    config.sandbox = match::SandboxMode::Required;
    config.boxes = settings.plan;
    config.limits = settings.limits;
    config.botLogDir = place.folder;
    config.replayDir = place.folder;
    PairOutcome outcome;
    std::error_code made;
    std::filesystem::create_directories(place.folder, made);
    if (made) {
        outcome.error = "cannot make '" + place.folder + "': " + made.message();
        return outcome;
    }
    match::BoardSequence boards(config);
    const match::BoardSequence::Board board = boards.at(0);
    for (int game = 0; game < config.matchCount(); ++game) {
        const match::Slot slot = match::slotOf(game, 1, true);
        const match::MatchJob job{game, board.field, board.label, slot.swapped, config.seatsFor(slot), board.start};
        const match::MatchResult result = match::playMatch(job, config, groups, &boxes);
        std::string error = result.error;
        if (error.empty() && result.record)
            writeReplayFile(place.folder + "/" + match::replayFileName(job, config), result.replay, error);
        if (!error.empty() || !result.record) {
            outcome.error = error;
            outcome.interrupted = error.empty();
            outcome.records.clear();
            return outcome;
        }
        outcome.records.push_back(*result.record);
    }
    return outcome;
}

std::optional<match::MatchRecord> recordOf(const MatchRow& row, std::string* error)
{
    std::vector<match::MatchRecord> records;
    std::string why;
    if (!match::parseRecords(row.record, true, records, why) || records.size() != 1) {
        if (error)
            *error = why.empty() ? "not one record" : why;
        return std::nullopt;
    }
    return records[0];
}

std::string landedReplay(std::int64_t pair, const match::MatchRecord& record)
{
    const int inPair = record.game - ladderGame(pair, 0);
    return LadderPaths::pairOf(pair) + "/"
           + match::pairReplayName(inPair, record.seats[0].player, record.seats[1].player);
}

std::string landedBotLog(std::int64_t pair, const match::MatchRecord& record, int seat)
{
    return LadderPaths::pairOf(pair) + "/"
           + match::botLogName(record.game - ladderGame(pair, 0), seat, record.seats[static_cast<std::size_t>(seat)].player);
}

bool failedIn(const match::SeatRecord& seat) { return !seat.retired.empty() && !isGameEnd(seat.retired); }

int failedMatches(const std::vector<match::MatchRecord>& records, const std::string& player)
{
    int failed = 0;
    for (const match::MatchRecord& record : records)
        for (const match::SeatRecord& seat : record.seats)
            failed += seat.player == player && failedIn(seat) ? 1 : 0;
    return failed;
}

std::string checkFailure(const std::vector<match::MatchRecord>& records, const std::string& version)
{
    for (const match::MatchRecord& record : records)
        for (const match::SeatRecord& seat : record.seats)
            if (seat.player == version && failedIn(seat))
                return "match " + std::to_string(record.game + 1) + ", turn " + std::to_string(seat.retiredTurn)
                       + ": " + seat.retired + (seat.hint.empty() ? "" : " (" + seat.hint + ")");
    return {};
}

} // namespace vorlen::ladder
