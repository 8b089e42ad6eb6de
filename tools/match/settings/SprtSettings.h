#pragma once

#include <optional>
#include <string>

namespace vorlen::match {

// When an SPRT run stops: the Elo of H0 and H1 and the two error rates.
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

} // namespace vorlen::match
