#pragma once

#include <cstdint>

namespace vorlen::match {

// Uniform draws in [0, 1) from splitmix64: the same sequence on every
// machine and library, so that a simulated figure is the same for the same
// records.
class FixedDraws {
public:
    explicit FixedDraws(std::uint64_t seed) : state_(seed) {}

    double uniform() { return static_cast<double>(bits() >> 11) * 0x1.0p-53; }

    std::uint64_t bits()
    {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

} // namespace vorlen::match
