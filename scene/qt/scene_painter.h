#ifndef BRINMOOR_SCENE_QT_SCENE_PAINTER_H
#define BRINMOOR_SCENE_QT_SCENE_PAINTER_H

#include "scene/geometry.h"

#include <QRectF>
#include <QSizeF>

class QPainter;

// Paints a scene with QPainter, bottom to top in the scene's drawing order:
//   - shapes: circles and rounded panels, interior then one-pixel outline;
//   - labels: an optional opaque box sized to the caption, then the caption;
//   - lines: solid segments of their own width with round ends; oblique ones antialiased,
//     horizontal and vertical ones on whole pixels so that thin grid lines keep their exact
//     colour.
// Hidden items, and items wholly outside the area to paint, are skipped. Painting never
// changes the scene.
namespace scene_qt {

void paintScene(QPainter &painter, const scene::Scene &scene, const QRectF &area);

// The size of a label's caption in its font, whole pixels: the box the label takes on screen.
QSizeF measureCaption(const scene::LabelItem &label);

// The same rectangle in Qt's terms.
QRectF toQRectF(const scene::Rect &rect);

} // namespace scene_qt

#endif
