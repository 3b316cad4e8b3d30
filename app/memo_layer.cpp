#include "memo_layer.h"

#include <QPainter>

void MemoLayer::fit(QSize pixels, qreal devicePixelRatio)
{
    QImage fitted(pixels, QImage::Format_ARGB32_Premultiplied);
    fitted.setDevicePixelRatio(devicePixelRatio);
    fitted.fill(Qt::transparent);
    if (!empty) {
        QPainter painter(&fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(), raster.deviceIndependentSize()), raster);
    }
    raster = std::move(fitted);
}

void MemoLayer::clear()
{
    if (!empty)
        raster.fill(Qt::transparent);
    empty = true;
}

void MemoLayer::drawSegment(QPointF from, QPointF to)
{
    if (raster.isNull())
        return;
    QPainter painter(&raster);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, board::kMemoPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
    empty = false;
}
