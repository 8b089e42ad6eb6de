#include "LiveMatch.h"

#include "MoveThread.h"
#include "ReplayPosition.h"
#include "Retirement.h"

LiveMatch::LiveMatch(vorlen::VorlenManager& referee, QObject* parent)
    : QObject(parent), referee_(referee), thread_(std::make_unique<MoveThread>())
{
    connect(thread_.get(), &MoveThread::finished, this, &LiveMatch::afterTurn);
}

LiveMatch::~LiveMatch()
{
    abandonTurn();
    thread_.reset();
}

void LiveMatch::seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player)
{
    referee_.setPlayer(seat, player.get());
    seated_.at(static_cast<std::size_t>(seat)) = player.get();
    owned_.push_back(std::move(player));
}

bool LiveMatch::busy() const { return thread_->busy(); }

std::chrono::steady_clock::duration LiveMatch::elapsed() const { return thread_->elapsed(); }

void LiveMatch::abandonTurn()
{
    if (!busy())
        return;
    abandoned_ = true;
    bots_.killAll();
}

bool LiveMatch::playTurn(int turn)
{
    if (busy())
        return false;
    const bool recorded = !referee_.gameOver();
    if (turn == 0)
        record_.board = referee_.board();
    playedTurn_.reset();
    lastTurn_ = {};
    return thread_->run([this, turn, recorded] {
        referee_.makeTurn(turn);
        lastTurn_.over = referee_.gameOver();
        if (!recorded)
            return;
        vorlen::ReplayTurn played = vorlen::recordTurn(referee_, [this](int seat) {
            return vorlen::retirementText(referee_.retirement(seat), referee_.lastResult(seat));
        });
        for (const vorlen::ReplayRetirement& retired : played.retired)
            if (const std::string& hint = referee_.lastResult(retired.seat).hint; !hint.empty())
                lastTurn_.hints.push_back(hint);
        playedTurn_ = std::move(played);
        // A program that stays up for the match ends with it, on the thread that started it.
        if (lastTurn_.over)
            for (const auto& player : owned_)
                player->endMatch();
    });
}

void LiveMatch::afterTurn()
{
    if (abandoned_)
        return;
    LiveTurn told = lastTurn_;
    if (playedTurn_) {
        record_.turns.push_back(std::move(*playedTurn_));
        playedTurn_.reset();
        record_.finished = told.over;
        told.recorded = true;
    }
    emit turnPlayed(told);
}

bool LiveMatch::playFrom(const vorlen::Replay& replay, int turns, std::string& problem)
{
    if (busy()) {
        problem = "the live match has begun";
        return false;
    }
    const std::optional<vorlen::MatchPosition> position = vorlen::positionAfter(replay, turns, problem);
    return position && playFrom(replay, turns, *position, problem);
}

bool LiveMatch::playFrom(const vorlen::Replay& replay, int turns, const vorlen::MatchPosition& position,
                         std::string& problem)
{
    if (busy()) {
        problem = "the live match has begun";
        return false;
    }
    referee_.setPlayer(0, seated_[0]);
    referee_.setPlayer(1, seated_[1]);
    referee_.resetTo(position);
    record_.board = replay.board;
    record_.boardSource = replay.boardSource;
    record_.turns.assign(replay.turns.begin(), replay.turns.begin() + turns);
    return true;
}
