#pragma once

#include <optional>
#include <string>

namespace vorlen::match {

// When an SPRT run stops: the Elo of H0 and H1 and the two error rates.
// Normalised: the bounds are normalised Elo (nelo0, nelo1), the difference
// in units of a sample's spread, which holds its meaning whatever the draw
// ratio and the boards' leaning.
struct SprtSettings {
    double elo0 = 0;
    double elo1 = 5;
    double alpha = 0.05;
    double beta = 0.05;
    bool normalised = false;

    double lowerBound() const; // ln(beta / (1 - alpha)): H0 accepted at or below
    double upperBound() const; // ln((1 - beta) / alpha): H1 accepted at or above
};

// "elo0=E0,elo1=E1[,alpha=A][,beta=B]", or nelo0 and nelo1 for normalised
// bounds, as --sprt takes it and records keep it: nothing when a value is
// missing, repeated, unknown, mixed (elo0 with nelo1) or out of range
// (E0 < E1; A and B in (0, 0.5)).
std::optional<SprtSettings> parseSprtSettings(const std::string& text);
// The full form, read back to the same values.
std::string sprtSettingsText(const SprtSettings& settings);
// As people write them: "elo0=0 elo1=5 alpha=0.05 beta=0.05" ("nelo0=..."
// when normalised).
std::string sprtSettingsShown(const SprtSettings& settings);

} // namespace vorlen::match
