#include "board_picture.h"

#include <QPainter>
#include <QtMath>

QImage boardPicture(const board::Board &board, const scene_qt::ScenePainter &scenePainter,
    const MemoLayer &memo, qreal devicePixelRatio)
{
    const QSize size(qCeil(board.width()), qCeil(board.height()));
    QImage picture(size * devicePixelRatio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    memo.paint(painter, QRect(QPoint(), size));
    std::vector<scene::DrawCommand> list;
    scene::buildDrawList(list, board.scene(), {0, 0, board.width(), board.height()},
        devicePixelRatio, scene::DrawContent::Board);
    scenePainter.paint(painter, list);
    return picture;
}
