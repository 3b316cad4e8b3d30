#include "scene/qt/scene_painter.h"

#include "scene/qt/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace scene_qt {

namespace {

    QColor toQColor(scene::Rgb c)
    {
        return QColor(c.r, c.g, c.b);
    }

    // The round ends of a thick line, as discs of its width. A round cap would send every
    // segment through the general path stroker, which costs several times a whole frame.
    void paintRoundEnds(QPainter &p, const scene::LineItem &line)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(toQColor(line.BorderColor));
        const qreal radius = line.BorderWidth / 2.0;
        p.drawEllipse(QPointF(line.X1, line.Y1), radius, radius);
        p.drawEllipse(QPointF(line.X2, line.Y2), radius, radius);
        p.setBrush(Qt::NoBrush);
    }

    const QFont &fontFor(scene::LabelFont role)
    {
        static const QFont standard = japaneseFont(kStandardFontPixels);
        static const QFont pointName = japaneseFont(kPointNameFontPixels);
        return role == scene::LabelFont::Point ? pointName : standard;
    }

    const QFontMetricsF &metricsFor(scene::LabelFont role)
    {
        static const QFontMetricsF standard(fontFor(scene::LabelFont::Standard));
        static const QFontMetricsF pointName(fontFor(scene::LabelFont::Point));
        return role == scene::LabelFont::Point ? pointName : standard;
    }

    // The part of the item plane that the painter's device can show, widened by margin so that
    // line caps just outside it still reach in.
    QRectF paintableArea(const QPainter &p, qreal margin)
    {
        const QPaintDevice *device = p.device();
        bool invertible = false;
        const QTransform toItems = p.worldTransform().inverted(&invertible);
        if (!invertible)
            return QRectF(QPointF(-1e9, -1e9), QPointF(1e9, 1e9));
        return toItems.mapRect(QRectF(0, 0, device->width(), device->height()))
            .adjusted(-margin, -margin, margin, margin);
    }

    void paintLine(QPainter &p, const scene::LineItem &line)
    {
        const bool axisAligned = line.X1 == line.X2 || line.Y1 == line.Y2;
        p.setRenderHint(QPainter::Antialiasing, !axisAligned);
        QPen pen(toQColor(line.BorderColor), line.BorderWidth);
        pen.setCapStyle(Qt::FlatCap);
        if (line.BorderWidth > 1)
            paintRoundEnds(p, line);
        p.setPen(pen);
        QPointF from(line.X1, line.Y1);
        QPointF to(line.X2, line.Y2);
        if (clipSegment(from, to, paintableArea(p, line.BorderWidth + 2)))
            p.drawLine(from, to);
    }

    void paintShape(QPainter &p, const scene::ShapeItem &shape)
    {
        p.setRenderHint(QPainter::Antialiasing, true);
        // The outline is one pixel wide and lies inside the item's box.
        const QRectF box(shape.Left + 0.5, shape.Top + 0.5, shape.Width - 1, shape.Height - 1);
        QPainterPath outline;
        if (shape.Shape == scene::ShapeKind::Circle) {
            outline.addEllipse(box);
        } else {
            const qreal radius = std::min(shape.Width, shape.Height) * 0.15;
            outline.addRoundedRect(box, radius, radius);
        }
        if (shape.BackOpaque)
            p.fillPath(outline, toQColor(shape.BackColor));
        if (shape.Filled)
            p.fillPath(outline, toQColor(shape.FillColor));
        p.strokePath(outline, QPen(toQColor(shape.BorderColor), 1));
    }

    void paintLabel(QPainter &p, const scene::LabelItem &label)
    {
        const QRectF box = labelRect(label);
        if (box.isEmpty())
            return;
        p.setRenderHint(QPainter::Antialiasing, false);
        if (label.BackOpaque)
            p.fillRect(box, toQColor(label.BackColor));
        p.setFont(fontFor(label.Font));
        p.setPen(toQColor(label.ForeColor));
        p.drawText(
            box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromUtf8(label.Caption));
    }

} // namespace

QRectF labelRect(const scene::LabelItem &label)
{
    const QFontMetricsF &metrics = metricsFor(label.Font);
    const QString caption = QString::fromUtf8(label.Caption);
    return QRectF(label.Left, label.Top, std::ceil(metrics.horizontalAdvance(caption)),
        std::ceil(metrics.height()));
}

bool isOnLabel(const scene::Scene &scene, QPointF point)
{
    bool hit = false;
    scene::visitInDrawingOrder(scene, [&](const auto &item) {
        using Item = std::decay_t<decltype(item)>;
        if constexpr (std::is_same_v<Item, scene::LabelItem>)
            hit = hit || (item.Visible && labelRect(item).contains(point));
    });
    return hit;
}

bool clipSegment(QPointF &a, QPointF &b, const QRectF &area)
{
    // Liang-Barsky: the parameters t0 <= t1 of a + t (b - a) that stay inside every edge.
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double towards[4] = {-dx, dx, -dy, dy};
    const double room[4] = {
        a.x() - area.left(), area.right() - a.x(), a.y() - area.top(), area.bottom() - a.y()};
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
    const QPointF start = a;
    if (t0 > 0)
        a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    if (t1 < 1)
        b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    return true;
}

void paintScene(QPainter &painter, const scene::Scene &scene)
{
    painter.save();
    scene::visitInDrawingOrder(scene, [&](const auto &item) {
        if (!item.Visible)
            return;
        using Item = std::decay_t<decltype(item)>;
        if constexpr (std::is_same_v<Item, scene::LineItem>)
            paintLine(painter, item);
        else if constexpr (std::is_same_v<Item, scene::ShapeItem>)
            paintShape(painter, item);
        else
            paintLabel(painter, item);
    });
    painter.restore();
}

} // namespace scene_qt
