#include "Sprt.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

namespace vorlen::match {
namespace {

double expectedScore(double elo) { return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0)); }

template <std::size_t N>
double llrOf(const std::array<int, N>& counts, const std::array<double, N>& scores, double elo0, double elo1)
{
    // Half a sample in every cell (Jeffreys' prior): a few matches, or a run
    // of wins with no spread at all, never decide by themselves.
    constexpr double kPrior = 0.5;
    double total = 0;
    for (const int count : counts)
        total += count + kPrior;
    double mean = 0;
    for (std::size_t i = 0; i < N; ++i)
        mean += (counts[i] + kPrior) * scores[i];
    mean /= total;
    double variance = 0;
    for (std::size_t i = 0; i < N; ++i)
        variance += (counts[i] + kPrior) * (scores[i] - mean) * (scores[i] - mean);
    variance /= total;
    int samples = 0;
    for (const int count : counts)
        samples += count;
    if (samples == 0 || variance <= 0)
        return 0;
    const double s0 = expectedScore(elo0);
    const double s1 = expectedScore(elo1);
    return samples * (s1 - s0) * (2 * mean - s0 - s1) / (2 * variance);
}

} // namespace

double SprtSettings::lowerBound() const { return std::log(beta / (1 - alpha)); }

double SprtSettings::upperBound() const { return std::log((1 - beta) / alpha); }

double trinomialLlr(const std::array<int, 3>& lossesDrawsWins, double elo0, double elo1)
{
    return llrOf<3>(lossesDrawsWins, {0.0, 0.5, 1.0}, elo0, elo1);
}

double pentanomialLlr(const std::array<int, 5>& pairsByPoints, double elo0, double elo1)
{
    return llrOf<5>(pairsByPoints, {0.0, 0.25, 0.5, 0.75, 1.0}, elo0, elo1);
}

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

SprtVerdict verdictOf(double llr, const SprtSettings& settings)
{
    if (llr >= settings.upperBound())
        return SprtVerdict::H1;
    if (llr <= settings.lowerBound())
        return SprtVerdict::H0;
    return SprtVerdict::Open;
}

} // namespace vorlen::match
