#ifndef BRINMOOR_BOARD_BOARD_H
#define BRINMOOR_BOARD_BOARD_H

#include "board/changes.h"
#include "board/controls.h"
#include "figure/figure_state.h"
#include "scene/draw_list.h"
#include "scene/geometry.h"
#include "scene/scene.h"

#include <vector>

// The window's behaviour, for every front-end. A front-end reports what its platform saw, in
// the plain terms below (a press with the buttons held, a click on a control, a key with its
// modifiers, a client size with its pixel ratio, a lost pointer), carries out the Changes each
// call returns, and paints the frames the board composes. It decides nothing of its own.
// Positions are logical pixels of the client area.
namespace board {

enum class Mode {
    MoveA, // a drag moves vertex A ("Ａ移動・メモクリア")
    Memo, // a drag draws a freehand stroke ("メモ書き")
};

// Pointer buttons as bits, numbered as Qt's mouse buttons and the DOM's MouseEvent.buttons
// number them. A finger or a pen tip is the left button.
enum Button : unsigned {
    LeftButton = 1,
    RightButton = 2,
    MiddleButton = 4,
    BackButton = 8,
    ForwardButton = 16,
};

// The keys the board knows; a front-end maps its platform's key to one of these, or Other.
enum class Key { Left, Right, Up, Down, C, Insert, Other };
// Modifier keys held with a key, as bits. Meta is the Windows key, or ⌘ on a Mac.
enum Modifier : unsigned { Shift = 1, Ctrl = 2, Alt = 4, Meta = 8 };

// The memo pen: the window's drawing colour and the stroke width in logical pixels. Every
// front-end draws memo segments antialiased, with round caps and joins, so that a stroke made
// of many short segments reads as one smooth line.
inline constexpr scene::Rgb kMemoColor {0, 0, 192};
inline constexpr int kMemoPenWidth = 3;

// The drawing surface's focus frame, shown when the keyboard brought the focus there: a dotted
// line one logical pixel wide along the client area's edge.
inline constexpr scene::Rgb kFocusFrameColor {0, 0, 0};

class Board
{
public:
    // The window as it is loaded: the grid laid out and shown, and the initial screen for a
    // client area of the given size. Nothing is shown until the first setClientSize.
    explicit Board(float width = kDesignWidth, float height = kDesignHeight);

    // The width of a label's caption (scene::labelAt's numbering), as the front-end measures
    // it with its own font; the height comes from the font's pixel size. A caption measured
    // after the first frame repaints the label's box as it was and as it is.
    Changes setLabelWidth(int index, float width);

    // The client area's size in logical pixels and the device pixels per logical pixel, each
    // time the platform reports them. The first call tells everything: the memo raster, the
    // controls, the description, a whole repaint. After it, a new size clears the memo and
    // rebuilds the initial screen for it; a new ratio alone refits the memo raster, keeping the
    // strokes; the same size and ratio again, or an empty area (a minimised window), change
    // nothing, so that minimising and restoring keeps a pupil's work.
    Changes setClientSize(float width, float height, float ratio);

    // The pointer on the drawing surface. button is the button that went down or up; held, the
    // buttons down after the event. A press inside a control's box or a label belongs to that
    // item: it starts no drag and ends any drag whose release was lost. A press while another
    // button is held belongs to the drag wherever it lands: the drag goes on from there. Any
    // release ends the drag.
    Changes press(float x, float y, unsigned button, unsigned held);
    Changes move(float x, float y);
    Changes release(unsigned button, unsigned held);
    // The release may never come: the window lost the activation or the pointer's capture,
    // was hidden or minimised, or the platform cancelled the pointer.
    Changes pointerLost();

    // A key that reached the drawing surface, with the modifiers held: an arrow steps A by one
    // pixel, or ten with Shift, as a drag would (not with Ctrl, Alt or Meta, and not in memo
    // mode); Ctrl+C, ⌘C and Ctrl+Insert copy the board as a picture. Other keys are the
    // platform's (Tab moves the focus on).
    Changes key(Key key, unsigned modifiers);

    // A click on one of the six controls: on either option it selects that option's mode and
    // clears the memo, on the check box it shows or hides the grid, on "初期画面" it brings
    // back the initial screen, on the mark buttons it places or removes a mark. A click on a
    // disabled button does nothing.
    Changes clickControl(Control control);

    // The drawing surface gained or lost the keyboard focus; byKeyboard when Tab brought it.
    Changes setSurfaceFocus(bool focused, bool byKeyboard);

    // The commands that paint the part of the client area within area (logical pixels), in
    // order: the area widened to whole device pixels and cleared to white, the memo raster,
    // the visible items, the focus frame. The list's storage is kept for the next frame.
    void frame(std::vector<scene::DrawCommand> &list, const scene::Rect &area) const;
    // The board as a picture for a worksheet, without the controls and their panels: the
    // whole client area as frame paints it, at pictureWidth x pictureHeight device pixels.
    void picture(std::vector<scene::DrawCommand> &list) const;
    int pictureWidth() const;
    int pictureHeight() const;

    const figure::FigureState &state() const { return figureState; }
    const scene::Scene &scene() const { return items; }
    float width() const { return clientWidth; }
    float height() const { return clientHeight; }
    float ratio() const { return pixelRatio; }

    // For the board's description and the tests.
    Mode mode() const { return currentMode; }
    bool canPlaceMark() const;
    bool canRemoveMark() const;
    bool gridChecked() const { return figureState.gridShown == 1; }
    bool showsRectangle() const; // AFED is painted as a rectangle (light blue) now
    bool isOnControl(scene::Point p) const;
    bool isOnLabel(scene::Point p) const;

private:
    Changes resetScreen();
    Changes moveA(float dx, float dy);
    Changes selectMode(Mode mode);
    Changes clickMark(bool place);
    Changes clickGrid();
    // Tells the front-end the description if it reads differently now, and has the given
    // sentences spoken if it does, or always with speakAlways.
    void tell(Changes &changes, unsigned sentences, bool speakAlways);
    void showControls(Changes &changes) const;
    Changes finished(Changes changes) const;
    void compose(std::vector<scene::DrawCommand> &list, const scene::Rect &area,
        scene::DrawContent content) const;
    float paintRatio() const { return pixelRatio > 0 ? pixelRatio : 1; }
    scene::Rect wholeClientArea() const { return {0, 0, clientWidth, clientHeight}; }

    figure::FigureState figureState;
    scene::Scene items;
    Mode currentMode = Mode::MoveA;
    float clientWidth;
    float clientHeight;
    float pixelRatio = 0; // 0 until the first setClientSize
    bool memoInk = false; // a memo segment was drawn since the memo was last cleared
    bool focusFrame = false;
    Description described; // the description as the front-end was last told it
};

} // namespace board

#endif
