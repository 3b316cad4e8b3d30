#include "scene/qt/fonts.h"

#include <QStringList>

namespace scene_qt {

QFont japaneseFont(int pixelSize)
{
    QFont font;
    // The first family present wins; IPAPGothic was made with the same metrics as the first.
    static const QStringList families =
        QString::fromUtf8("ＭＳ Ｐゴシック,MS PGothic,IPAPGothic,IPAexGothic,Noto Sans CJK JP,VL "
                          "PGothic,TakaoPGothic")
            .split(QLatin1Char(','));
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace scene_qt
