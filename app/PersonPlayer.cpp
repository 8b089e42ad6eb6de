#include "PersonPlayer.h"

#include "Rules.h"

#include <algorithm>
#include <utility>

PersonOffer personOffer(const vorlen::Field& board, int seat)
{
    // Every player sees the board from its own corner.
    vorlen::Field field = board;
    if (seat == 1)
        vorlen::rotateField(field);
    PersonOffer offer;
    offer.legal = vorlen::legalColours(field);
    const int before = vorlen::computeScore(field).first;
    for (const int colour : offer.legal) {
        vorlen::Field after = field;
        vorlen::floodFill(after, colour, -1, 0, 0);
        offer.gains[static_cast<std::size_t>(colour - 1)] = vorlen::computeScore(after).first - before;
    }
    const int rows = vorlen::rowCount(field);
    const int columns = vorlen::columnCount(field);
    vorlen::VisitedGrid visited(rows, columns);
    vorlen::regionSize(field, visited, 0, 0, -1);
    offer.region.assign(static_cast<std::size_t>(rows), std::vector<bool>(static_cast<std::size_t>(columns)));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            offer.region[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = visited.test(row, column);
    if (seat == 1) {
        std::reverse(offer.region.begin(), offer.region.end());
        for (auto& cells : offer.region)
            std::reverse(cells.begin(), cells.end());
    }
    return offer;
}

PersonPlayer::PersonPlayer(std::function<void(vorlen::Field)> askPerson, vorlen::Trace console)
    : ask(std::move(askPerson)), trace(console)
{
}

int PersonPlayer::makeMove(const vorlen::Field& field)
{
    std::unique_lock lock(mutex);
    if (cancelled)
        return -1;
    if (const std::optional<int> chosenAhead = std::exchange(ahead, std::nullopt)) {
        trace.err("Move %d\n", *chosenAhead);
        return *chosenAhead;
    }
    legal = vorlen::legalColours(field);
    answer.reset();
    asking = true;
    ask(field);
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

void PersonPlayer::chooseAhead(int colour)
{
    const std::lock_guard lock(mutex);
    ahead = colour;
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
