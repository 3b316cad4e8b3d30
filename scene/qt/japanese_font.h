#ifndef BRINMOOR_SCENE_QT_JAPANESE_FONT_H
#define BRINMOOR_SCENE_QT_JAPANESE_FONT_H

#include "scene/fonts.h"

#include <QFont>

namespace scene_qt {

// The window's Japanese Gothic at a size in pixels, from the shared family list.
QFont japaneseFont(int pixelSize);

} // namespace scene_qt

#endif
