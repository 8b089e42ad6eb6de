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
        double* slot = key == "elo0" ? &settings.elo0 : key == "elo1" ? &settings.elo1
                     : key == "alpha" ? &settings.alpha : key == "beta" ? &settings.beta : nullptr;
        if (!slot)
            return std::nullopt;
        *slot = value;
    }
    const auto probability = [](double p) { return p > 0 && p < 0.5; };
    if (!seen.count("elo0") || !seen.count("elo1") || settings.elo0 >= settings.elo1 || !probability(settings.alpha)
        || !probability(settings.beta))
        return std::nullopt;
    return settings;
}

std::string sprtSettingsText(const SprtSettings& settings)
{
    char text[160];
    std::snprintf(text, sizeof text, "elo0=%.17g,elo1=%.17g,alpha=%.17g,beta=%.17g", settings.elo0, settings.elo1,
                  settings.alpha, settings.beta);
    return text;
}

std::string sprtSettingsShown(const SprtSettings& settings)
{
    char text[160];
    std::snprintf(text, sizeof text, "elo0=%g elo1=%g alpha=%g beta=%g", settings.elo0, settings.elo1, settings.alpha,
                  settings.beta);
    return text;
}

} // namespace vorlen::match
