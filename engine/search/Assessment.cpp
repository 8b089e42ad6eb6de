#include "Assessment.h"

#include "Evaluation.h"
#include "SearchLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vorlen {

Assessment assess(const BitBoard& board, int seat, int level)
{
    const SearchAnswer answer = searchMove(board, seat, searchDepthOf(level));
    Assessment seen;
    seen.colour = answer.colour;
    seen.nodes = answer.nodes;
    if (answer.worth > kDecided / 2 || answer.worth < -kDecided / 2) {
        seen.decided = answer.worth > 0 ? 1 : -1;
        const int beyond = answer.worth > 0 ? answer.worth - kDecided : answer.worth + kDecided;
        seen.lead = beyond; // the lead in cells where it is decided
        return seen;
    }
    seen.lead = static_cast<double>(answer.worth) / kCellWorth;
    return seen;
}

double firstSeatShare(const Assessment& assessment, int seat)
{
    constexpr double kFullBarLead = kBoardCells / 4.0;
    const double moverShare = assessment.decided != 0
                                  ? (assessment.decided > 0 ? 1.0 : 0.0)
                                  : std::clamp(0.5 + assessment.lead / (2 * kFullBarLead), 0.0, 1.0);
    return seat == 0 ? moverShare : 1.0 - moverShare;
}

std::string assessmentText(const Assessment& assessment)
{
    if (assessment.colour == 0)
        return "no move";
    const std::string move = "plays " + std::to_string(assessment.colour) + "; ";
    if (assessment.decided != 0)
        return move + (assessment.decided > 0 ? "wins" : "loses");
    char lead[64];
    const double cells = std::round(std::abs(assessment.lead) * 10) / 10;
    if (cells == 0)
        return move + "level";
    std::snprintf(lead, sizeof lead, "%s by %.1f cells", assessment.lead > 0 ? "ahead" : "behind", cells);
    return move + lead;
}

} // namespace vorlen
