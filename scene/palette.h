#ifndef BRINMOOR_SCENE_PALETTE_H
#define BRINMOOR_SCENE_PALETTE_H

#include <array>
#include <cstdint>

namespace scene {

// A 24-bit colour as the items store it.
struct Rgb
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend constexpr bool operator==(Rgb a, Rgb b)
    {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }
    friend constexpr bool operator!=(Rgb a, Rgb b) { return !(a == b); }
};

// The standard 16-colour palette through which every colour written at run time is chosen.
inline constexpr std::array<Rgb, 16> kPalette {{
    {0, 0, 0}, // 0 black
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
    {192, 192, 192},
    {128, 128, 128}, // 8 grey
    {0, 0, 255}, // 9 light blue
    {0, 255, 0}, // 10 light green
    {0, 255, 255},
    {255, 0, 0}, // 12 light red
    {255, 0, 255}, // 13 light magenta
    {255, 255, 0},
    {255, 255, 255},
}};

// Palette entry by index; the index is taken modulo 16, as the palette has no other entries.
constexpr Rgb paletteColor(int index)
{
    return kPalette[static_cast<std::size_t>(index & 15)];
}

} // namespace scene

#endif
