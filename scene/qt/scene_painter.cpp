#include "scene/qt/scene_painter.h"

#include "scene/qt/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStaticText>

#include <cmath>
#include <deque>

namespace scene_qt {

namespace {

    QColor toQColor(scene::Rgb c)
    {
        return QColor(c.r, c.g, c.b);
    }

    const QFont &fontFor(scene::LabelFont role)
    {
        static const QFont standard = japaneseFont(kStandardFontPixels);
        static const QFont pointName = japaneseFont(kPointNameFontPixels);
        return role == scene::LabelFont::Point ? pointName : standard;
    }

    // A caption laid out once: captions never change, and shaping text on every frame of a
    // drag would cost more than the rest of the labels' painting.
    struct Caption
    {
        const char *text;
        scene::LabelFont font;
        QStaticText staticText;
        QSizeF size;
    };

    const Caption &captionOf(const scene::LabelItem &label)
    {
        static std::deque<Caption> captions; // one per caption string; references stay valid
        for (const Caption &caption : captions)
            if (caption.text == label.Caption && caption.font == label.Font)
                return caption;
        const QFont &font = fontFor(label.Font);
        const QString text = QString::fromUtf8(label.Caption);
        const QFontMetricsF metrics(font);
        QStaticText staticText(text);
        staticText.setTextFormat(Qt::PlainText);
        staticText.setPerformanceHint(QStaticText::AggressiveCaching);
        staticText.prepare(QTransform(), font);
        const QSizeF size(std::ceil(metrics.horizontalAdvance(text)), std::ceil(metrics.height()));
        captions.push_back({label.Caption, label.Font, staticText, size});
        return captions.back();
    }

    // Changing a render hint makes the paint engine recompute its state, so only on change.
    void setAntialiasing(QPainter &p, bool on)
    {
        if (p.testRenderHint(QPainter::Antialiasing) != on)
            p.setRenderHint(QPainter::Antialiasing, on);
    }

    bool isAxisAligned(const scene::LineItem &line)
    {
        return line.X1 == line.X2 || line.Y1 == line.Y2;
    }

    // A horizontal or vertical line as the band of whole pixels its width covers, so that a
    // thin grid line is one crisp pixel of its exact colour at every scale.
    QRectF pixelBand(const scene::LineItem &line)
    {
        const qreal width = line.BorderWidth;
        if (line.Y1 == line.Y2) {
            const qreal top = std::floor(line.Y1 - width / 2 + 0.5);
            return QRectF(QPointF(std::min(line.X1, line.X2), top),
                QPointF(std::max(line.X1, line.X2), top + width));
        }
        const qreal left = std::floor(line.X1 - width / 2 + 0.5);
        return QRectF(QPointF(left, std::min(line.Y1, line.Y2)),
            QPointF(left + width, std::max(line.Y1, line.Y2)));
    }

    // The round ends of a thick line, as discs of its width. A round cap would send every
    // segment through the general path stroker, which costs several times a whole frame.
    void paintRoundEnds(QPainter &p, const scene::LineItem &line)
    {
        setAntialiasing(p, true);
        p.setPen(Qt::NoPen);
        p.setBrush(toQColor(line.BorderColor));
        const qreal radius = line.BorderWidth / 2.0;
        p.drawEllipse(QPointF(line.X1, line.Y1), radius, radius);
        p.drawEllipse(QPointF(line.X2, line.Y2), radius, radius);
        p.setBrush(Qt::NoBrush);
    }

    void paintLine(QPainter &p, const scene::LineItem &line, const QRectF &area)
    {
        if (line.BorderWidth > 1)
            paintRoundEnds(p, line);
        if (isAxisAligned(line)) {
            setAntialiasing(p, false);
            p.fillRect(pixelBand(line).intersected(area), toQColor(line.BorderColor));
            return;
        }
        QPointF from(line.X1, line.Y1);
        QPointF to(line.X2, line.Y2);
        const qreal margin = line.BorderWidth + 2;
        if (!clipSegment(from, to, area.adjusted(-margin, -margin, margin, margin)))
            return;
        setAntialiasing(p, true);
        QPen pen(toQColor(line.BorderColor), line.BorderWidth);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(from, to);
    }

    void paintShape(QPainter &p, const scene::ShapeItem &shape)
    {
        setAntialiasing(p, true);
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
        const Caption &caption = captionOf(label);
        const QRectF box(QPointF(label.Left, label.Top), caption.size);
        setAntialiasing(p, false);
        if (label.BackOpaque)
            p.fillRect(box, toQColor(label.BackColor));
        p.setFont(fontFor(label.Font));
        p.setPen(toQColor(label.ForeColor));
        p.drawStaticText(box.topLeft(), caption.staticText);
    }

    QRectF boundsOf(const scene::LineItem &line)
    {
        const qreal pad = line.BorderWidth / 2.0 + 1;
        return QRectF(QPointF(line.X1, line.Y1), QPointF(line.X2, line.Y2))
            .normalized()
            .adjusted(-pad, -pad, pad, pad);
    }

    QRectF boundsOf(const scene::ShapeItem &shape)
    {
        return QRectF(shape.Left, shape.Top, shape.Width, shape.Height).adjusted(-1, -1, 1, 1);
    }

    QRectF boundsOf(const scene::LabelItem &label)
    {
        return labelRect(label);
    }

} // namespace

QRectF labelRect(const scene::LabelItem &label)
{
    return QRectF(QPointF(label.Left, label.Top), captionOf(label).size);
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

QRect figureBounds(const scene::Scene &scene)
{
    QRectF bounds;
    for (const auto *group : {&scene.Line1, &scene.Line2, &scene.Line3})
        for (const auto &line : *group)
            bounds |= boundsOf(line);
    for (const auto &line : scene.Line4)
        bounds |= boundsOf(line);
    for (const auto &label : scene.Label1)
        bounds |= boundsOf(label);
    return bounds.toAlignedRect();
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

void paintScene(QPainter &painter, const scene::Scene &scene, const QRectF &area)
{
    painter.save();
    scene::visitInDrawingOrder(scene, [&](const auto &item) {
        if (!item.Visible || !boundsOf(item).intersects(area))
            return;
        using Item = std::decay_t<decltype(item)>;
        if constexpr (std::is_same_v<Item, scene::LineItem>)
            paintLine(painter, item, area);
        else if constexpr (std::is_same_v<Item, scene::ShapeItem>)
            paintShape(painter, item);
        else
            paintLabel(painter, item);
    });
    painter.restore();
}

} // namespace scene_qt
