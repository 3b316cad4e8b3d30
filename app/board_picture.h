#ifndef BRINMOOR_APP_BOARD_PICTURE_H
#define BRINMOOR_APP_BOARD_PICTURE_H

#include "board/board.h"
#include "memo_layer.h"
#include "scene/qt/scene_painter.h"

#include <QImage>

// The board as a picture for a worksheet: white, the memo strokes and the scene without the
// controls and their panels, the client area's size at the given device pixel ratio. The page
// paints the same draw list, so both front-ends copy the same picture.
QImage boardPicture(const board::Board &board, const scene_qt::ScenePainter &scenePainter,
    const MemoLayer &memo, qreal devicePixelRatio);

#endif
