#include "scene/geometry.h"

#include <algorithm>
#include <cmath>

namespace scene {

Rect Rect::united(const Rect &o) const
{
    if (o.isEmpty())
        return *this;
    if (isEmpty())
        return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
        std::max(bottom, o.bottom)};
}

Rect Rect::intersected(const Rect &o) const
{
    const Rect common {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
        std::min(bottom, o.bottom)};
    return common.isEmpty() ? Rect {} : common;
}

Rect Rect::aligned(double ratio) const
{
    if (isEmpty())
        return {};
    return {std::floor(left * ratio) / ratio, std::floor(top * ratio) / ratio,
        std::ceil(right * ratio) / ratio, std::ceil(bottom * ratio) / ratio};
}

Rect spanning(Point a, Point b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

bool clipSegment(Point &a, Point &b, const Rect &area)
{
    // Liang-Barsky: the parameters t0 <= t1 of a + t (b - a) that stay inside every edge.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double towards[4] = {-dx, dx, -dy, dy};
    const double room[4] = {a.x - area.left, area.right - a.x, a.y - area.top, area.bottom - a.y};
    double t0 = 0;
    double t1 = 1;
    for (int edge = 0; edge < 4; ++edge) {
        if (towards[edge] == 0) {
            if (room[edge] < 0)
                return false; // parallel to this edge and outside it
            continue;
        }
        const double t = room[edge] / towards[edge];
        if (towards[edge] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const Point start = a;
    if (t0 > 0)
        a = {start.x + t0 * dx, start.y + t0 * dy};
    if (t1 < 1)
        b = {start.x + t1 * dx, start.y + t1 * dy};
    return true;
}

bool isAxisAligned(const LineItem &line)
{
    return line.X1 == line.X2 || line.Y1 == line.Y2;
}

Rect pixelBand(const LineItem &line)
{
    const double width = line.BorderWidth;
    if (line.Y1 == line.Y2) {
        const double top = std::floor(line.Y1 - width / 2 + 0.5);
        return {std::min(line.X1, line.X2), top, std::max(line.X1, line.X2), top + width};
    }
    const double left = std::floor(line.X1 - width / 2 + 0.5);
    return {left, std::min(line.Y1, line.Y2), left + width, std::max(line.Y1, line.Y2)};
}

Rect boundsOf(const LineItem &line)
{
    const double pad = line.BorderWidth / 2.0 + 1;
    // A zero-length segment still paints its round end.
    return spanning({line.X1, line.Y1}, {line.X2, line.Y2}).adjusted(-pad, -pad, pad, pad);
}

Rect boundsOf(const ShapeItem &shape)
{
    return Rect {shape.Left, shape.Top, shape.Left + shape.Width, shape.Top + shape.Height}
        .adjusted(-1, -1, 1, 1);
}

Rect boundsOf(const LabelItem &label)
{
    return {label.Left, label.Top, label.Left + label.Width,
        label.Top + static_cast<float>(fontPixels(label.Font))};
}

Rect figureBounds(const Scene &scene)
{
    Rect bounds;
    for (const auto *group : {&scene.Line1, &scene.Line2, &scene.Line3})
        for (const auto &line : *group)
            bounds = bounds.united(boundsOf(line));
    for (const auto &line : scene.Line4)
        bounds = bounds.united(boundsOf(line));
    for (const auto &label : scene.Label1)
        bounds = bounds.united(boundsOf(label));
    return bounds.aligned();
}

} // namespace scene
