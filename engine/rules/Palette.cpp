#include "Palette.h"

namespace vorlen {

Palette classicPalette()
{
    return {{Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{255, 255, 0}, Rgb{0, 0, 127}, Rgb{127, 0, 0}},
            {"red", "green", "blue", "yellow", "navy", "maroon"}};
}

Palette colourBlindPalette()
{
    // Okabe and Ito's colours: they differ in lightness as well as in hue.
    return {{Rgb{213, 94, 0}, Rgb{0, 158, 115}, Rgb{0, 114, 178}, Rgb{240, 228, 66}, Rgb{86, 180, 233},
             Rgb{204, 121, 167}},
            {"vermilion", "bluish green", "blue", "yellow", "sky blue", "reddish purple"}};
}

std::optional<Palette> paletteNamed(const std::string& name)
{
    if (name == "classic")
        return classicPalette();
    if (name == "colorblind")
        return colourBlindPalette();
    return std::nullopt;
}

} // namespace vorlen
