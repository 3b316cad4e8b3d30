#include "scene/qt/japanese_font.h"

#include <QStringList>

namespace scene_qt {

QFont japaneseFont(int pixelSize)
{
    static const QStringList families = [] {
        QStringList list;
        for (const char *family : scene::kFontFamilies)
            list << QString::fromUtf8(family);
        return list;
    }();
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace scene_qt
