#include "scene/draw_list.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace scene {

namespace {

    // A logical rectangle on whole device pixels, at least one each way, back in logical
    // units: thin lines and caption boxes keep one exact colour at any ratio.
    Rect onDevicePixels(const Rect &r, double ratio)
    {
        const double left = std::round(r.left * ratio);
        const double top = std::round(r.top * ratio);
        const double right = std::max(left + 1, std::round(r.right * ratio));
        const double bottom = std::max(top + 1, std::round(r.bottom * ratio));
        return {left / ratio, top / ratio, right / ratio, bottom / ratio};
    }

    struct Builder
    {
        std::vector<DrawCommand> &list;
        const Scene &scene;
        Rect area;
        double ratio;

        void add(DrawKind kind, double x1, double y1, double x2, double y2, double size,
            float colour, float fill = kNoColour, float variant = 0, float font = 0)
        {
            list.push_back({static_cast<float>(kind), static_cast<float>(x1),
                static_cast<float>(y1), static_cast<float>(x2), static_cast<float>(y2),
                static_cast<float>(size), colour, fill, variant, font});
        }

        void line(const LineItem &l)
        {
            const float colour = packedColour(l.BorderColor);
            // Round ends as discs: a round cap would send every segment through a painter's
            // general path stroker, several times the cost of a whole frame.
            if (l.BorderWidth > 1)
                for (Point end : {Point {l.X1, l.Y1}, Point {l.X2, l.Y2}})
                    add(DrawKind::Disc, end.x, end.y, 0, 0, l.BorderWidth / 2.0, colour);
            if (isAxisAligned(l)) {
                const Rect band = onDevicePixels(pixelBand(l), ratio);
                add(DrawKind::Band, band.left, band.top, band.right, band.bottom, 0, colour);
                return;
            }
            // Cut to the area with room for the width and the antialiased fringe: rasterizers
            // spend time in proportion to a stroke's full length.
            Point from {l.X1, l.Y1};
            Point to {l.X2, l.Y2};
            const double margin = l.BorderWidth + 2;
            if (clipSegment(from, to, area.adjusted(-margin, -margin, margin, margin)))
                add(DrawKind::Segment, from.x, from.y, to.x, to.y, l.BorderWidth, colour);
        }

        void shape(const ShapeItem &s)
        {
            // The one-pixel outline lies inside the item's box.
            const bool rounded = s.Shape == ShapeKind::RoundedRectangle;
            const float fill = s.Filled ? packedColour(s.FillColor)
                : s.BackOpaque          ? packedColour(s.BackColor)
                                        : kNoColour;
            add(DrawKind::Shape, s.Left + 0.5, s.Top + 0.5, s.Left + s.Width - 0.5,
                s.Top + s.Height - 0.5, rounded ? std::min(s.Width, s.Height) * 0.15 : 0,
                packedColour(s.BorderColor), fill, rounded ? 1 : 0);
        }

        void label(const LabelItem &l)
        {
            const Rect box = onDevicePixels(boundsOf(l), ratio);
            add(DrawKind::Text, box.left, box.top, box.right, box.bottom,
                l.Top + baselineOffset(l.Font), packedColour(l.ForeColor),
                l.BackOpaque ? packedColour(l.BackColor) : kNoColour,
                static_cast<float>(indexOf(scene, l)), static_cast<float>(l.Font));
        }
    };

} // namespace

void buildDrawList(std::vector<DrawCommand> &list, const Scene &scene, const Rect &area,
    double ratio, DrawContent content)
{
    Builder builder {list, scene, area, ratio};
    const auto isControlsPart = [&scene](const void *item) {
        return item == &scene.Shape1 || item == &scene.Shape3 || item == &scene.Label2;
    };
    visitInDrawingOrder(scene, [&](const auto &item) {
        if (!item.Visible || !boundsOf(item).intersects(area))
            return;
        if (content == DrawContent::Board && isControlsPart(&item))
            return;
        using Item = std::decay_t<decltype(item)>;
        if constexpr (std::is_same_v<Item, LineItem>)
            builder.line(item);
        else if constexpr (std::is_same_v<Item, ShapeItem>)
            builder.shape(item);
        else
            builder.label(item);
    });
}

} // namespace scene
