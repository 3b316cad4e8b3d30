#ifndef BRINMOOR_APP_FORM1_H
#define BRINMOOR_APP_FORM1_H

#include "board/board.h"
#include "memo_layer.h"
#include "scene/qt/scene_painter.h"

#include <QWidget>

#include <array>
#include <vector>

class QAbstractButton;

// The program's one window: the desktop face of the board. It holds the controls, the fonts,
// the painter and the memo raster; it reports every event to the board and carries out what
// the board answers. Positions are logical pixels of the client area.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDesignWidth = static_cast<int>(board::kDesignWidth);
    static constexpr int kDesignHeight = static_cast<int>(board::kDesignHeight);

    explicit Form1(QWidget *parent = nullptr);

    const board::Board &core() const { return board; }
    const MemoLayer &memo() const { return memoLayer; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void createControls();
    void apply(const board::Changes &changes);
    void copyPicture();

    board::Board board;
    scene_qt::ScenePainter scenePainter {board.scene()};
    std::vector<scene::DrawCommand> drawList; // kept between paints for its storage
    MemoLayer memoLayer;
    std::array<QAbstractButton *, board::kControlCount> controls {}; // in kControls order
};

#endif
