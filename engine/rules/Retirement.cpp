#include "Retirement.h"

namespace vorlen {

const char* reasonName(RetireReason reason)
{
    switch (reason) {
    case RetireReason::None: return "none";
    case RetireReason::ColourOutOfRange: return "colour outside 1-6";
    case RetireReason::IllegalColour: return "own or opponent's colour";
    case RetireReason::FullBoard: return "full board";
    case RetireReason::Stall: return "stall";
    }
    return "unknown";
}

bool isGameEnd(std::string_view reason)
{
    return reason == reasonName(RetireReason::FullBoard) || reason == reasonName(RetireReason::Stall);
}

bool reasonFits(RetireReason reason, std::string_view text)
{
    if (text == reasonName(reason))
        return reason != RetireReason::None;
    if (reason != RetireReason::ColourOutOfRange)
        return false;
    for (int o = static_cast<int>(Outcome::FailedToStart); o <= static_cast<int>(Outcome::RefereeError); ++o)
        if (text == outcomeName(static_cast<Outcome>(o)))
            return true;
    return false;
}

std::string retirementText(const Retirement& retirement, const MoveResult& lastMove)
{
    if (retirement.reason == RetireReason::ColourOutOfRange && lastMove.outcome != Outcome::None
        && lastMove.outcome != Outcome::Answered)
        return outcomeName(lastMove.outcome);
    return retirement.reason == RetireReason::None ? std::string() : reasonName(retirement.reason);
}

} // namespace vorlen
