#ifndef BRINMOOR_SCENE_QT_SCENE_PAINTER_H
#define BRINMOOR_SCENE_QT_SCENE_PAINTER_H

#include "scene/scene.h"

#include <QPointF>
#include <QRect>
#include <QRectF>

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

// The part of the window the figure covers: its eleven segments and the names of its points.
// What a rebuild may change lies within these bounds before and after it.
QRect figureBounds(const scene::Scene &scene);

// The box a label occupies on the screen: its top-left corner and its caption's size.
QRectF labelRect(const scene::LabelItem &label);

// True when a visible label covers the point; such a press belongs to the label.
bool isOnLabel(const scene::Scene &scene, QPointF point);

// Cuts the segment from a to b down to its part inside area and returns true, or returns
// false when no part of it lies inside. A segment wholly inside is left exactly as it was.
// The rasterizer spends time in proportion to a stroke's full length (a third of a second on
// a wide antialiased line a million pixels long), so strokes are cut to what can be seen.
bool clipSegment(QPointF &a, QPointF &b, const QRectF &area);

} // namespace scene_qt

#endif
