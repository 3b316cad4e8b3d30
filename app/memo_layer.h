#ifndef BRINMOOR_APP_MEMO_LAYER_H
#define BRINMOOR_APP_MEMO_LAYER_H

#include "board/board.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>

// The freehand strokes, kept in an image of their own at the screen's pixel density so that
// no repaint, covering window or moving item ever loses them; only clear() does.
class MemoLayer
{
public:
    // Makes the layer pixels device pixels at the given ratio, keeping its strokes in place.
    void fit(QSize pixels, qreal devicePixelRatio);
    void clear();
    bool isEmpty() const { return empty; }

    // Draws one stroke segment with the memo pen, at logical places.
    void drawSegment(QPointF from, QPointF to);

    const QImage &image() const { return raster; }

private:
    QImage raster;
    QColor color {board::kMemoColor.r, board::kMemoColor.g, board::kMemoColor.b};
    bool empty = true;
};

#endif
