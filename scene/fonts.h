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

// Sizes in pixels, because the layout was made in pixels at 96 dpi.
inline constexpr int kControlFontPixels = 16; // 12 pt: every control's caption
inline constexpr int kPointNameFontPixels = 27; // 20.25 pt: the names of the points
inline constexpr int kStandardFontPixels = 12; // 9 pt: the window's standard font

} // namespace scene

#endif
