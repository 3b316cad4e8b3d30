#ifndef BRINMOOR_APP_MEMO_LAYER_H
#define BRINMOOR_APP_MEMO_LAYER_H

#include "board/board.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>

class QPainter;

// The freehand strokes, kept in an image of their own at the screen's pixel density so that
// no repaint, covering window or moving item ever loses them; only clear() does.
class MemoLayer
{
public:
    // Erases every stroke and fits the layer to a client area of the given logical size.
    void clear(QSize size, qreal devicePixelRatio);
    bool isEmpty() const { return empty; }

    // Draws one stroke segment with the memo pen, at logical places.
    void drawSegment(QPointF from, QPointF to);

    // Paints the strokes that fall within the given logical area.
    void paint(QPainter &painter, const QRect &area) const;

private:
    QImage image;
    QColor color {board::kMemoColor.r, board::kMemoColor.g, board::kMemoColor.b};
    bool empty = true;
};

#endif
