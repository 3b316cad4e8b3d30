#ifndef BRINMOOR_BOARD_CHANGES_H
#define BRINMOOR_BOARD_CHANGES_H

#include "board/controls.h"
#include "scene/geometry.h"

#include <array>

namespace board {

// A text for someone who cannot see the board: UTF-8, ends with a zero byte.
struct Description
{
    std::array<char, 512> text {};
    const char *c_str() const { return text.data(); }
};

// What a control shows: enabled or greyed out, and checked (the selected option button, the
// check box's mark). A push button is never checked.
struct ControlView
{
    bool enabled = true;
    bool checked = false;
};

// What a board call resolved, for the front-end to carry out field by field in this order.
// Every value is final: a front-end copies it into its widgets, its raster or its painter and
// decides nothing of its own.
struct Changes
{
    // The memo raster, fitted to memoWidth x memoHeight device pixels at memoRatio device pixels
    // per logical pixel. Its strokes stay, scaled to the new ratio, unless clearMemo follows.
    bool fitMemo = false;
    int memoWidth = 0;
    int memoHeight = 0;
    float memoRatio = 1;
    bool clearMemo = false; // erase every memo stroke
    bool drawMemo = false; // draw one memo segment, memoFrom to memoTo, with the memo pen
    scene::Point memoFrom;
    scene::Point memoTo;

    // What each control shows, in kControls order, whenever it may differ from before.
    bool controls = false;
    std::array<ControlView, kControlCount> controlViews {};

    // The board's description (board/description.h) reads differently: the drawing surface's
    // description for a screen reader, to be set where one finds it.
    bool described = false;
    Description description;
    // Words a screen reader should speak, after speechDelay milliseconds in which no other
    // words came (a held arrow key is told only where A came to rest). A platform that cannot
    // ask a screen reader to speak keeps the description current instead.
    bool speak = false;
    Description speech;
    int speechDelay = 0;

    // A key was the board's: the platform does nothing else with it (no focus move, no
    // browser shortcut). With copyPicture, the board's picture (Board::picture) goes onto the
    // clipboard.
    bool keyTaken = false;
    bool copyPicture = false;

    // The area to repaint, logical pixels on whole device pixels within the client area; may be
    // empty. With repaintNow, before the next event is handled.
    scene::Rect repaint;
    bool repaintNow = false;
};

} // namespace board

#endif
