#include "Sprt.h"


#include <cmath>

namespace vorlen::match {

double trinomialLlr(const std::array<Count, 3>& lossesDrawsWins, double elo0, double elo1, bool normalised)
{
    return ExactLlr<3>(kMatchScores, elo0, elo1, normalised, 1)(lossesDrawsWins);
}

double pentanomialLlr(const std::array<Count, 5>& pairsByPoints, double elo0, double elo1, bool normalised)
{
    return ExactLlr<5>(kPairScores, elo0, elo1, normalised, 2)(pairsByPoints);
}

SprtVerdict verdictOf(double llr, const SprtSettings& settings)
{
    if (llr >= settings.upperBound())
        return SprtVerdict::H1;
    if (llr <= settings.lowerBound())
        return SprtVerdict::H0;
    return SprtVerdict::Open;
}

} // namespace vorlen::match
