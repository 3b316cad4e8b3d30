#ifndef BRINMOOR_APP_FORM1_H
#define BRINMOOR_APP_FORM1_H

#include "figure/figure_state.h"
#include "memo_layer.h"
#include "scene/scene.h"

#include <QWidget>

#include <array>

class FaceButton;
class QCheckBox;
class QRadioButton;

// The program's one window: the figure drawn over a white surface, freehand memo strokes
// under it, and the controls that reset the figure, choose the mode, place marks and switch
// the grid. Positions are logical pixels of the client area; drags move vertex A by the
// pointer's displacement and rebuild the figure on every move.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDesignWidth = 900;
    static constexpr int kDesignHeight = 541;

    explicit Form1(QWidget *parent = nullptr);

    const figure::FigureState &figureState() const { return state; }
    const scene::Scene &sceneItems() const { return scene; }
    const MemoLayer &memo() const { return memoLayer; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void createControls();
    void load();
    void markClicked(int index);
    void clearMemo();
    void toggleGrid();
    void syncMarkButtons();

    void ResetScreen();
    void RebuildFigure();
    void LayoutGrid();

    figure::FigureState state;
    scene::Scene scene;
    MemoLayer memoLayer;

    FaceButton *Command1 = nullptr;
    std::array<QRadioButton *, 2> Option1 {};
    QCheckBox *Check1 = nullptr;
    std::array<FaceButton *, 2> Command2 {};
};

#endif
