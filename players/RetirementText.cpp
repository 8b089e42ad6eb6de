#include "RetirementText.h"

namespace vorlen {

std::string retirementText(const Retirement& retirement, const ExternalPlayer* external)
{
    if (retirement.reason == RetireReason::ColourOutOfRange && external) {
        const Outcome outcome = external->lastOutcome();
        if (outcome != Outcome::None && outcome != Outcome::Answered)
            return outcomeName(outcome);
    }
    return retirement.reason == RetireReason::None ? std::string() : reasonName(retirement.reason);
}

} // namespace vorlen
