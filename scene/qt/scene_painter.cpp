#include "scene/qt/scene_painter.h"

#include "scene/qt/japanese_font.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace scene_qt {

namespace {

    QColor unpacked(float colour)
    {
        return QColor::fromRgb(static_cast<QRgb>(colour));
    }

    // Changing a render hint makes the paint engine recompute its state, so only on change.
    void setAntialiasing(QPainter &p, bool on)
    {
        if (p.testRenderHint(QPainter::Antialiasing) != on)
            p.setRenderHint(QPainter::Antialiasing, on);
    }

    QRectF boxOf(const scene::DrawCommand &c)
    {
        return QRectF(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2));
    }

} // namespace

const QFont &fontFor(scene::FontRole role)
{
    static const std::array<QFont, scene::kFontRoleCount> fonts {
        japaneseFont(scene::fontPixels(scene::FontRole::Control)),
        japaneseFont(scene::fontPixels(scene::FontRole::Standard)),
        japaneseFont(scene::fontPixels(scene::FontRole::Point))};
    return fonts[static_cast<std::size_t>(role)];
}

float captionWidth(const scene::LabelItem &label)
{
    const QFontMetricsF metrics(fontFor(label.Font));
    return static_cast<float>(
        std::ceil(metrics.horizontalAdvance(QString::fromUtf8(label.Caption))));
}

QColor toQColor(scene::Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

QRectF toQRectF(const scene::Rect &rect)
{
    return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
}

scene::Rect toRect(const QRectF &rect)
{
    return {rect.left(), rect.top(), rect.right(), rect.bottom()};
}

ScenePainter::ScenePainter(const scene::Scene &scene)
{
    for (int i = 0; i < scene::kLabelCount; ++i) {
        const scene::LabelItem &label = scene::labelAt(scene, i);
        const QFont &font = fontFor(label.Font);
        Caption &caption = captions[static_cast<std::size_t>(i)];
        caption.text.setText(QString::fromUtf8(label.Caption));
        caption.text.setTextFormat(Qt::PlainText);
        caption.text.setPerformanceHint(QStaticText::AggressiveCaching);
        caption.text.prepare(QTransform(), font);
        caption.ascent = QFontMetricsF(font).ascent();
    }
}

void ScenePainter::paint(
    QPainter &p, const std::vector<scene::DrawCommand> &list, const QImage &memo) const
{
    p.save();
    for (const scene::DrawCommand &c : list) {
        switch (static_cast<scene::DrawKind>(c.kind)) {
        case scene::DrawKind::Clear:
            p.setClipRect(boxOf(c), Qt::IntersectClip);
            p.fillRect(boxOf(c), unpacked(c.colour));
            break;
        case scene::DrawKind::Memo: {
            const QRectF box = boxOf(c);
            const qreal ratio = memo.devicePixelRatio();
            p.drawImage(box, memo, QRectF(box.topLeft() * ratio, box.size() * ratio));
            break;
        }
        case scene::DrawKind::FocusFrame:
            setAntialiasing(p, false);
            p.setPen(QPen(unpacked(c.colour), c.size, Qt::DotLine));
            p.drawRect(boxOf(c).adjusted(0, 0, -c.size, -c.size));
            break;
        case scene::DrawKind::Band:
            setAntialiasing(p, false);
            p.fillRect(boxOf(c), unpacked(c.colour));
            break;
        case scene::DrawKind::Segment: {
            setAntialiasing(p, true);
            QPen pen(unpacked(c.colour), c.size);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.drawLine(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2));
            break;
        }
        case scene::DrawKind::Disc:
            setAntialiasing(p, true);
            p.setPen(Qt::NoPen);
            p.setBrush(unpacked(c.colour));
            p.drawEllipse(QPointF(c.x1, c.y1), c.size, c.size);
            p.setBrush(Qt::NoBrush);
            break;
        case scene::DrawKind::Shape: {
            setAntialiasing(p, true);
            QPainterPath outline;
            if (c.variant == 0)
                outline.addEllipse(boxOf(c));
            else
                outline.addRoundedRect(boxOf(c), c.size, c.size);
            if (c.fill != scene::kNoColour)
                p.fillPath(outline, unpacked(c.fill));
            p.strokePath(outline, QPen(unpacked(c.colour), 1));
            break;
        }
        case scene::DrawKind::Text: {
            setAntialiasing(p, false);
            const QRectF box = boxOf(c);
            if (c.fill != scene::kNoColour)
                p.fillRect(box, unpacked(c.fill));
            const Caption &caption = captions[static_cast<std::size_t>(c.variant)];
            p.save();
            p.setClipRect(box, Qt::IntersectClip);
            p.setFont(fontFor(static_cast<scene::FontRole>(c.font)));
            p.setPen(unpacked(c.colour));
            p.drawStaticText(QPointF(c.x1, c.size - caption.ascent), caption.text);
            p.restore();
            break;
        }
        }
    }
    p.restore();
}

} // namespace scene_qt
