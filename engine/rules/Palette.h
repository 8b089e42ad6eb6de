#pragma once

#include "Field.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <optional>
#include <string>

namespace vorlen {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// The six colours of the board as they appear on screen, with everyday
// names for those who cannot tell them by sight.
struct Palette {
    std::array<Rgb, kColourCount> colours;
    std::array<const char*, kColourCount> names;

    const Rgb& of(int colour) const { assert(isColour(colour)); return colours[colour - 1]; }
    const char* nameOf(int colour) const { assert(isColour(colour)); return names[colour - 1]; }
};

// The board's own colours; 5 and 6 are half-transparent blue and red over
// black.
Palette classicPalette();
// Colours that people with red-green colour blindness can tell apart.
Palette colourBlindPalette();

// "classic" or "colorblind"; none for any other name.
std::optional<Palette> paletteNamed(const std::string& name);
inline constexpr const char* kPaletteNames = "classic, colorblind";

} // namespace vorlen
