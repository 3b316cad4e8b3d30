#include "memo_layer.h"

#include "board/board.h"

#include <QPainter>

void MemoLayer::clear(QSize size, qreal devicePixelRatio)
{
    const QSize pixels = size * devicePixelRatio;
    if (image.size() != pixels || image.devicePixelRatio() != devicePixelRatio) {
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(devicePixelRatio);
        image.fill(Qt::transparent);
    } else if (!empty) {
        image.fill(Qt::transparent);
    }
    empty = true;
}

void MemoLayer::drawSegment(QPointF from, QPointF to)
{
    if (image.isNull())
        return;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, board::kMemoPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
    empty = false;
}

void MemoLayer::paint(QPainter &painter, const QRect &area) const
{
    if (empty)
        return;
    const qreal ratio = image.devicePixelRatio();
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawImage(QRectF(area), image, source);
}
