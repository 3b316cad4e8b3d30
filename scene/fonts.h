#ifndef BRINMOOR_SCENE_FONTS_H
#define BRINMOOR_SCENE_FONTS_H

#include <array>

namespace scene {

// The font families every front-end asks for, first present wins: the Japanese proportional
// Gothic the window was designed with, then the nearest ones on Linux, macOS and Windows
// (IPAPGothic was made with the design font's metrics). A front-end ends the list with its
// platform's generic sans-serif.
inline constexpr std::array<const char *, 6> kFontFamilies {"ＭＳ Ｐゴシック", "MS PGothic",
    "IPAPGothic", "Noto Sans CJK JP", "Hiragino Sans", "Yu Gothic UI"};

// The window's three fonts, all from the family list at one pixel size each.
enum class FontRole {
    Control, // 12 pt: every control's caption
    Standard, // 9 pt: the window's standard font ("１０個まで")
    Point, // 20.25 pt: the names of the points
};
inline constexpr int kFontRoleCount = 3;

// Sizes in pixels, because the layout was made in pixels at 96 dpi.
constexpr int fontPixels(FontRole role)
{
    return role == FontRole::Control ? 16 : role == FontRole::Standard ? 12 : 27;
}

// A caption's box is its font's pixel size high, and its baseline lies at 0.88 of that below
// the top. That is where the design font and IPAPGothic put it in every engine; taking it from
// the design rather than from each platform's metrics gives every front-end the same box, and
// a fallback font with a taller ascent or descent the same box too.
constexpr int baselineOffset(FontRole role)
{
    return (fontPixels(role) * 88 + 50) / 100;
}

} // namespace scene

#endif
