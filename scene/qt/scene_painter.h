#ifndef BRINMOOR_SCENE_QT_SCENE_PAINTER_H
#define BRINMOOR_SCENE_QT_SCENE_PAINTER_H

#include "scene/draw_list.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QStaticText>

#include <array>
#include <vector>

class QImage;
class QPainter;

// Paints the core's draw list with QPainter: one loop over the commands, each painted as it
// stands. The captions are laid out once, since they never change and shaping text on every
// frame of a drag would cost more than the rest of the labels' painting.
namespace scene_qt {

class ScenePainter
{
public:
    explicit ScenePainter(const scene::Scene &scene);

    // memo is the memo raster, at its own device pixel ratio, that Memo commands copy from.
    void paint(
        QPainter &painter, const std::vector<scene::DrawCommand> &list, const QImage &memo) const;

private:
    struct Caption
    {
        QStaticText text;
        qreal ascent; // from the top of the laid-out text to its baseline
    };
    std::array<Caption, scene::kLabelCount> captions;
};

// The window's font in a role, from the shared family list at the role's pixel size.
const QFont &fontFor(scene::FontRole role);

// The width of a label's caption in its font, whole pixels: the box the label takes on screen.
float captionWidth(const scene::LabelItem &label);

QColor toQColor(scene::Rgb c);
QRectF toQRectF(const scene::Rect &rect);
scene::Rect toRect(const QRectF &rect);

} // namespace scene_qt

#endif
