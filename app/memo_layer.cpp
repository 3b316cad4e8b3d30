#include "memo_layer.h"

#include "scene/qt/scene_painter.h"

#include <QPainter>

void MemoLayer::resize(QSize size, qreal devicePixelRatio)
{
    image = QImage(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    empty = true;
}

void MemoLayer::clear()
{
    if (empty)
        return;
    image.fill(Qt::transparent);
    empty = true;
}

QRect MemoLayer::drawSegment(QPointF from, QPointF to)
{
    if (image.isNull())
        return {};
    // A pointer far outside the window must not make the stroke cost seconds.
    const int pad = kPenWidth + 1;
    const QRectF area =
        QRectF(QPointF(0, 0), image.deviceIndependentSize()).adjusted(-pad, -pad, pad, pad);
    if (!scene_qt::clipSegment(from, to, area))
        return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, kPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
    empty = false;
    return QRectF(from, to).normalized().toAlignedRect().adjusted(-pad, -pad, pad, pad);
}

void MemoLayer::paint(QPainter &painter, const QRect &area) const
{
    if (empty)
        return;
    const qreal ratio = image.devicePixelRatio();
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawImage(QRectF(area), image, source);
}
