#include "SprtSettings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

namespace vorlen::match {

double SprtSettings::lowerBound() const { return std::log(beta / (1 - alpha)); }

double SprtSettings::upperBound() const { return std::log((1 - beta) / alpha); }

std::optional<SprtSettings> parseSprtSettings(const std::string& text)
{
    SprtSettings settings;
    std::set<std::string> seen;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, ',');) {
        const std::size_t equals = part.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        const std::string key = part.substr(0, equals);
        const std::string number = part.substr(equals + 1);
        char* end = nullptr;
        const double value = std::strtod(number.c_str(), &end);
        if (number.empty() || end != number.c_str() + number.size() || !std::isfinite(value)
            || !seen.insert(key).second)
            return std::nullopt;
        const bool normalised = key == "nelo0" || key == "nelo1";
        double* slot = key == "elo0" || key == "nelo0" ? &settings.elo0 : key == "elo1" || key == "nelo1" ? &settings.elo1
                     : key == "alpha" ? &settings.alpha : key == "beta" ? &settings.beta : nullptr;
        settings.normalised = settings.normalised || normalised;
        if (!slot)
            return std::nullopt;
        *slot = value;
    }
    const auto probability = [](double p) { return p > 0 && p < 0.5; };
    const char* low = settings.normalised ? "nelo0" : "elo0";
    const char* high = settings.normalised ? "nelo1" : "elo1";
    // Both bounds of one kind: elo0 with nelo1 is a mistake, not a mix.
    if (!seen.count(low) || !seen.count(high) || seen.size() != 2 + seen.count("alpha") + seen.count("beta")
        || settings.elo0 >= settings.elo1 || !probability(settings.alpha)
        || !probability(settings.beta))
        return std::nullopt;
    return settings;
}

std::string sprtSettingsText(const SprtSettings& settings)
{
    char text[160];
    const char* n = settings.normalised ? "n" : "";
    std::snprintf(text, sizeof text, "%selo0=%.17g,%selo1=%.17g,alpha=%.17g,beta=%.17g", n, settings.elo0, n,
                  settings.elo1, settings.alpha, settings.beta);
    return text;
}

std::string sprtSettingsShown(const SprtSettings& settings)
{
    char text[160];
    const char* n = settings.normalised ? "n" : "";
    std::snprintf(text, sizeof text, "%selo0=%g %selo1=%g alpha=%g beta=%g", n, settings.elo0, n, settings.elo1,
                  settings.alpha, settings.beta);
    return text;
}

} // namespace vorlen::match
