#ifndef BRINMOOR_SCENE_QT_FONTS_H
#define BRINMOOR_SCENE_QT_FONTS_H

#include <QFont>

namespace scene_qt {

// The Japanese proportional Gothic the window was designed with, or the nearest one
// installed. Sizes are in pixels because the layout was made in pixels at 96 dpi.
QFont japaneseFont(int pixelSize);

inline constexpr int kControlFontPixels = 16; // 12 pt at 96 dpi
inline constexpr int kPointNameFontPixels = 27; // 20.25 pt at 96 dpi
inline constexpr int kStandardFontPixels = 12; // 9 pt at 96 dpi

} // namespace scene_qt

#endif
