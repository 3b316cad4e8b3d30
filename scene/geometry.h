#ifndef BRINMOOR_SCENE_GEOMETRY_H
#define BRINMOOR_SCENE_GEOMETRY_H

#include "scene/scene.h"

namespace scene {

// A point of the client area, in logical pixels.
struct Point
{
    double x = 0;
    double y = 0;
};

// An axis-aligned rectangle of the client area, in logical pixels. Left and top are inside,
// right and bottom the far edges; a rectangle without area is empty and covers nothing.
struct Rect
{
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    bool isEmpty() const { return !(left < right && top < bottom); }
    bool contains(Point p) const
    {
        return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
    }
    bool intersects(const Rect &o) const
    {
        return !isEmpty() && !o.isEmpty() && left < o.right && o.left < right && top < o.bottom
            && o.top < bottom;
    }
    Rect adjusted(double dl, double dt, double dr, double db) const
    {
        return {left + dl, top + dt, right + dr, bottom + db};
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    Rect united(const Rect &o) const;
    // The common part of both; empty when they do not meet.
    Rect intersected(const Rect &o) const;
    // The smallest rectangle on whole device pixels, ratio to a logical pixel, that holds
    // this one.
    Rect aligned(double ratio = 1) const;
};

// The rectangle spanned by two corners in any order.
Rect spanning(Point a, Point b);

// Cuts the segment from a to b down to its part inside area and returns true, or returns
// false when no part of it lies inside. A segment wholly inside is left exactly as it was.
// Rasterizers spend time in proportion to a stroke's full length, so strokes far outside the
// window are cut to what can be seen before anyone paints them.
bool clipSegment(Point &a, Point &b, const Rect &area);

// True for a horizontal or vertical line: painters fill it as a band of whole pixels.
bool isAxisAligned(const LineItem &line);

// A horizontal or vertical line as the band of whole pixels its width covers, so that a thin
// grid line is one crisp pixel of its exact colour at every scale.
Rect pixelBand(const LineItem &line);

// What each kind of item may touch when painted: a line with its width and antialiased fringe,
// a shape with its outline, a label with the box its caption was measured to.
Rect boundsOf(const LineItem &line);
Rect boundsOf(const ShapeItem &shape);
Rect boundsOf(const LabelItem &label);

// The part of the window the figure covers: its eleven segments and the names of its points.
// What a rebuild may change lies within these bounds before and after it.
Rect figureBounds(const Scene &scene);

} // namespace scene

#endif
