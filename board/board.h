#ifndef BRINMOOR_BOARD_BOARD_H
#define BRINMOOR_BOARD_BOARD_H

#include "board/controls.h"
#include "figure/figure_state.h"
#include "scene/geometry.h"
#include "scene/scene.h"

// The window's behaviour, for every front-end: what a press, a move, a release, a key, a
// click on a control or a new client size does to the figure and the scene. A front-end
// translates its platform's events into these calls, applies the Changes each returns
// (repaint an area, draw or clear memo strokes in its own raster, refresh its controls'
// states) and paints the scene. Positions are logical pixels of the client area.
namespace board {

enum class Mode {
    MoveA, // a drag moves vertex A ("Ａ移動・メモクリア")
    Memo, // a drag draws a freehand stroke ("メモ書き")
};

enum class Arrow { Left, Right, Up, Down };

// The memo pen: the window's drawing colour and the stroke width in logical pixels. Every
// front-end draws memo segments antialiased, with round caps and joins, so that a stroke made
// of many short segments reads as one smooth line.
inline constexpr scene::Rgb kMemoColor {0, 0, 192};
inline constexpr int kMemoPenWidth = 3;

// What a call changed on the screen, for the front-end to carry out in this order.
struct Changes
{
    bool clearMemo = false; // erase every memo stroke
    bool drawMemo = false; // draw one memo segment, memoFrom to memoTo, with the memo pen
    scene::Point memoFrom;
    scene::Point memoTo;
    scene::Rect repaint; // area to repaint from the scene and the memo raster; may be empty
    bool repaintNow = false; // repaint before handling the next event
    bool controls = false; // mark buttons' enabled states or the grid box's mark may differ
    bool rebuilt = false; // the initial screen was rebuilt for the current client size
    // The board's description (board/description.h) reads differently: refresh it where a
    // screen reader finds it. Not on every move of a drag, which would flood one, but at its
    // end, after keys, marks and the initial screen.
    bool described = false;
    // ... and a screen reader should speak it now: a key stepped A, or AFED was lit as a
    // rectangle or went out.
    bool announce = false;
};

class Board
{
public:
    // The window as it is loaded: the grid laid out and shown, and the initial screen for a
    // client area of the given size.
    explicit Board(float width = kDesignWidth, float height = kDesignHeight);

    // The width of a label's caption (scene::labelAt's numbering), as the front-end measures
    // it with its own font; the height comes from the font's pixel size. A front-end may
    // measure a caption the first frame does not need after that frame: the label's box,
    // before and after, is to be repainted.
    Changes setLabelWidth(int index, float width);

    // The pointer on the drawing surface, with any button. A press inside a control's box or a
    // label belongs to that item: it starts no drag and ends any drag whose release was lost.
    // A further button pressed while dragging (furtherButton: another button of the same
    // pointer is still held) belongs to the drag wherever it lands: the drag goes on from
    // the new press point.
    Changes press(float x, float y, bool furtherButton = false);
    Changes move(float x, float y);
    // Any button released; also when the window lost activation or was hidden, since the
    // release may then never come.
    Changes release();

    // Arrow keys while the drawing surface has the focus move A by one pixel, or ten with
    // large, as a drag move of that displacement would. Memo mode ignores them.
    Changes arrowKey(Arrow arrow, bool large);

    // The option buttons: every change of the selection sets the mode the next move reads;
    // every click on either button, selected or not, clears the memo.
    Changes selectMode(Mode mode);
    Changes clickOption();

    Changes clickReset(); // "初期画面"
    Changes clickMark(int index); // "点をうつ" (0) and "点をけす" (1)
    Changes clickGrid(); // "方眼表示"

    // A new client size: the memo is cleared and the initial screen fitted to it. An empty
    // client area (a minimised window) keeps the last screen.
    Changes resize(float width, float height);

    const figure::FigureState &state() const { return figureState; }
    const scene::Scene &scene() const { return items; }
    Mode mode() const { return currentMode; }
    float width() const { return clientWidth; }
    float height() const { return clientHeight; }

    // What the controls show.
    bool canPlaceMark() const;
    bool canRemoveMark() const;
    bool gridChecked() const { return figureState.gridShown == 1; }

    // AFED is painted as a rectangle (light blue) now.
    bool showsRectangle() const;

    bool isOnControl(scene::Point p) const;
    bool isOnLabel(scene::Point p) const;

private:
    Changes resetScreen();
    Changes moveA(float dx, float dy);
    scene::Rect wholeClientArea() const { return {0, 0, clientWidth, clientHeight}; }

    figure::FigureState figureState;
    scene::Scene items;
    Mode currentMode = Mode::MoveA;
    float clientWidth;
    float clientHeight;
};

} // namespace board

#endif
