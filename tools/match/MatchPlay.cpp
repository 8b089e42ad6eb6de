#include "MatchPlay.h"

#include "Exchange.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace vorlen::match {
namespace {

// A directory for one match's exchange files, removed with the match.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vorlen-match-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

constexpr int kTurnLimit = 100'000; // far beyond any match the rules allow

} // namespace

std::string retirementText(const Retirement& retirement, const VorlenLogicTeam01* external)
{
    if (retirement.reason == RetireReason::ColourOutOfRange && external) {
        using Outcome = VorlenLogicTeam01::Outcome;
        const Outcome outcome = external->lastOutcome();
        if (outcome == Outcome::FailedToStart || outcome == Outcome::TimedOut
            || outcome == Outcome::NoMove)
            return outcomeName(outcome);
    }
    return retirement.reason == RetireReason::None ? std::string() : reasonName(retirement.reason);
}

std::optional<MatchRecord> playMatch(const MatchJob& job, const MatchConfig& config,
                                     BotGroups& groups)
{
    const Trace trace = config.trace ? Trace() : Trace::silent();
    const char seatPlayers[2] = {job.swapped ? 'B' : 'A', job.swapped ? 'A' : 'B'};
    const bool anyProgram = config.first != kBuiltInName || config.second != kBuiltInName;
    const std::unique_ptr<ScratchDir> dir = anyProgram ? std::make_unique<ScratchDir>() : nullptr;

    std::unique_ptr<IVorlenLogic> players[2];
    VorlenLogicTeam01* external[2] = {nullptr, nullptr};
    for (int seat = 0; seat < 2; ++seat) {
        const std::string& command = seatPlayers[seat] == 'A' ? config.first : config.second;
        if (command == kBuiltInName) {
            players[seat] = std::make_unique<VorlenLogicTeam02>();
            continue;
        }
        std::string log;
        if (!config.botLogDir.empty())
            log = config.botLogDir + "/game-" + std::to_string(job.game) + "-seat-"
                  + std::to_string(seat) + "-" + seatPlayers[seat] + ".log";
        // The bot runs in the match's directory; its paths were given from here.
        auto player = std::make_unique<VorlenLogicTeam01>(
            anchorCommandLine(command, std::filesystem::current_path().string()),
            VorlenLogicTeam01::Settings{dir->path(), log, trace, &groups});
        external[seat] = player.get();
        players[seat] = std::move(player);
    }

    VorlenManager manager(kBoardColumns, kBoardRows, 2, trace);
    manager.setPlayer(0, players[0].get());
    manager.setPlayer(1, players[1].get());
    manager.setBoard(job.board);
    int turns = 0;
    while (!manager.gameOver() && turns < kTurnLimit) {
        manager.makeTurn(turns++);
        if (groups.stopping())
            return std::nullopt;
    }

    MatchRecord record;
    record.game = job.game;
    record.board = job.boardLabel;
    record.turns = turns;
    const ScorePair score = manager.score();
    for (int seat = 0; seat < 2; ++seat) {
        SeatRecord& out = record.seats[seat];
        out.player = seatPlayers[seat];
        out.command = out.player == 'A' ? config.first : config.second;
        out.score = seat == 0 ? score.first : score.second;
        const Retirement& retirement = manager.retirement(seat);
        out.retired = retirementText(retirement, external[seat]);
        out.retiredTurn = retirement.turn;
    }
    return record;
}

} // namespace vorlen::match
