#include "PersonPlayer.h"

#include "Rules.h"

#include <algorithm>

PersonPlayer::PersonPlayer(std::function<void(std::vector<int>)> ask, vorlen::Trace trace)
    : ask(std::move(ask)), trace(trace)
{
}

int PersonPlayer::makeMove(const vorlen::Field& field)
{
    std::unique_lock lock(mutex);
    if (cancelled)
        return -1;
    legal = vorlen::legalColours(field);
    answer.reset();
    asking = true;
    ask(legal);
    chosen.wait(lock, [this] { return answer.has_value() || cancelled; });
    asking = false;
    if (!answer)
        return -1;
    trace.err("Move %d\n", *answer);
    return *answer;
}

bool PersonPlayer::choose(int colour)
{
    {
        const std::lock_guard lock(mutex);
        if (!asking || answer || std::find(legal.begin(), legal.end(), colour) == legal.end())
            return false;
        answer = colour;
    }
    chosen.notify_all();
    return true;
}

void PersonPlayer::cancel()
{
    {
        const std::lock_guard lock(mutex);
        cancelled = true;
    }
    chosen.notify_all();
}

bool PersonPlayer::waiting() const
{
    const std::lock_guard lock(mutex);
    return asking && !answer;
}
