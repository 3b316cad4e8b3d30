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
        static const QFont standard = japaneseFont(scene::kStandardFontPixels);
        static const QFont pointName = japaneseFont(scene::kPointNameFontPixels);
        return role == scene::LabelFont::Point ? pointName : standard;
    }

    // A caption laid out once: captions never change, and shaping text on every frame of a
    // drag would cost more than the rest of the labels' painting.
    struct Caption
    {
        const char *text;
        scene::LabelFont font;
        QStaticText staticText;
    };

    const Caption &captionOf(const scene::LabelItem &label)
    {
        static std::deque<Caption> captions; // one per caption string; references stay valid
        for (const Caption &caption : captions)
            if (caption.text == label.Caption && caption.font == label.Font)
                return caption;
        const QFont &font = fontFor(label.Font);
        QStaticText staticText(QString::fromUtf8(label.Caption));
        staticText.setTextFormat(Qt::PlainText);
        staticText.setPerformanceHint(QStaticText::AggressiveCaching);
        staticText.prepare(QTransform(), font);
        captions.push_back({label.Caption, label.Font, staticText});
        return captions.back();
    }

    // Changing a render hint makes the paint engine recompute its state, so only on change.
    void setAntialiasing(QPainter &p, bool on)
    {
        if (p.testRenderHint(QPainter::Antialiasing) != on)
            p.setRenderHint(QPainter::Antialiasing, on);
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
        if (scene::isAxisAligned(line)) {
            setAntialiasing(p, false);
            p.fillRect(
                toQRectF(scene::pixelBand(line)).intersected(area), toQColor(line.BorderColor));
            return;
        }
        scene::Point from {line.X1, line.Y1};
        scene::Point to {line.X2, line.Y2};
        const qreal margin = line.BorderWidth + 2;
        const QRectF clip = area.adjusted(-margin, -margin, margin, margin);
        if (!scene::clipSegment(from, to, {clip.left(), clip.top(), clip.right(), clip.bottom()}))
            return;
        setAntialiasing(p, true);
        QPen pen(toQColor(line.BorderColor), line.BorderWidth);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
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
        const QRectF box = toQRectF(scene::boundsOf(label));
        setAntialiasing(p, false);
        if (label.BackOpaque)
            p.fillRect(box, toQColor(label.BackColor));
        p.setFont(fontFor(label.Font));
        p.setPen(toQColor(label.ForeColor));
        p.drawStaticText(box.topLeft(), caption.staticText);
    }

} // namespace

QSizeF measureCaption(const scene::LabelItem &label)
{
    const QFontMetricsF metrics(fontFor(label.Font));
    return QSizeF(std::ceil(metrics.horizontalAdvance(QString::fromUtf8(label.Caption))),
        std::ceil(metrics.height()));
}

QRectF toQRectF(const scene::Rect &rect)
{
    return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
}

void paintScene(QPainter &painter, const scene::Scene &scene, const QRectF &area)
{
    painter.save();
    scene::visitInDrawingOrder(scene, [&](const auto &item) {
        if (!item.Visible || !toQRectF(scene::boundsOf(item)).intersects(area))
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
