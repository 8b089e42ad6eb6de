#pragma once

#include <array>
#include <optional>
#include <string>

namespace vorlen::match {

struct SprtSettings {
    double elo0 = 0;
    double elo1 = 5;
    double alpha = 0.05;
    double beta = 0.05;

    double lowerBound() const; // ln(beta / (1 - alpha)): H0 accepted at or below
    double upperBound() const; // ln((1 - beta) / alpha): H1 accepted at or above
};

// "elo0=E0,elo1=E1[,alpha=A][,beta=B]", as --sprt takes it and records keep
// it: nothing when a value is missing, repeated, unknown or out of range
// (E0 < E1; A and B in (0, 0.5)).
std::optional<SprtSettings> parseSprtSettings(const std::string& text);
// The full form, read back to the same values.
std::string sprtSettingsText(const SprtSettings& settings);
// As people write them: "elo0=0 elo1=5 alpha=0.05 beta=0.05".
std::string sprtSettingsShown(const SprtSettings& settings);

// The log-likelihood ratio of H1 (elo = elo1) over H0 (elo = elo0) in the
// logistic Elo model, by the usual normal approximation: with the mean score
// m and its variance v per sample over N samples, and s0, s1 the expected
// scores at elo0 and elo1,
//     LLR = N (s1 - s0) (2 m - s0 - s1) / (2 v).
// Trinomial: a sample is one match (losses, draws, wins). Pentanomial: a
// sample is a board played in both seatings, scored 0, 1/4, 1/2, 3/4 or 1
// (the pair's points over 2). Each count gets half a sample added before
// the mean and variance are taken, so that a handful of samples, or all
// wins with no spread, cannot push the ratio past a bound on their own.
double trinomialLlr(const std::array<int, 3>& lossesDrawsWins, double elo0, double elo1);
double pentanomialLlr(const std::array<int, 5>& pairsByPoints, double elo0, double elo1);

enum class SprtVerdict { Open, H0, H1 };
SprtVerdict verdictOf(double llr, const SprtSettings& settings);

} // namespace vorlen::match
