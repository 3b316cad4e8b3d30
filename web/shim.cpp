// The C interface the page's script calls: one Board, the events the page reports to it, what
// each changed, and the frames it composes. Plain numbers and static storage only, so the page
// carries no binding library; the numbers both sides agree on come from boundary.h, written
// into the page when it is built (describe_page.cpp).

#include "web/boundary.h"

#include <emscripten/emscripten.h>

#include <array>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<board::Board> theBoard;
page::ChangeRecord changeRecord;
board::Description description; // as the board last told it
board::Description speech; // the words last to be spoken
std::vector<scene::DrawCommand> drawList; // reused between frames for its storage

const float *record(const board::Changes &c)
{
    using namespace page;
    const int flags = (c.fitMemo ? FitMemo : 0) | (c.clearMemo ? ClearMemo : 0)
        | (c.drawMemo ? DrawMemo : 0) | (c.controls ? Controls : 0) | (c.described ? Described : 0)
        | (c.speak ? Speak : 0) | (c.keyTaken ? KeyTaken : 0) | (c.copyPicture ? CopyPicture : 0)
        | (c.repaintNow ? RepaintNow : 0);
    int controls = 0;
    for (std::size_t i = 0; i < c.controlViews.size(); ++i)
        controls |=
            ((c.controlViews[i].enabled ? Enabled : 0) | (c.controlViews[i].checked ? Checked : 0))
            << (i * BitsPerControl);
    if (c.described)
        description = c.description;
    if (c.speak)
        speech = c.speech;
    const scene::Rect r = c.repaint.isEmpty() ? scene::Rect {} : c.repaint;
    changeRecord = {float(flags), float(c.memoWidth), float(c.memoHeight), c.memoRatio,
        float(c.memoFrom.x), float(c.memoFrom.y), float(c.memoTo.x), float(c.memoTo.y),
        float(controls), float(c.speechDelay), float(r.left), float(r.top), float(r.right),
        float(r.bottom)};
    return &changeRecord.flags;
}

} // namespace

// Every entry point stays exported: nothing in the module calls them, the page does.
#define BM_EXPORT EMSCRIPTEN_KEEPALIVE
// An event the page reports, answered with the record of what it changed.
#define BM_EVENT(name, parameters, call)                                                           \
    BM_EXPORT const float *name parameters                                                         \
    {                                                                                              \
        return record(theBoard->call);                                                             \
    }

extern "C" {

BM_EXPORT void bm_create(float width, float height)
{
    theBoard = std::make_unique<board::Board>(width, height);
}

BM_EVENT(bm_set_label_width, (int i, float width), setLabelWidth(i, width))
BM_EVENT(bm_set_client_size, (float width, float height, float ratio),
    setClientSize(width, height, ratio))
BM_EVENT(bm_press, (float x, float y, int button, int held),
    press(x, y, unsigned(button), unsigned(held)))
BM_EVENT(bm_move, (float x, float y), move(x, y))
BM_EVENT(bm_release, (int button, int held), release(unsigned(button), unsigned(held)))
BM_EVENT(bm_pointer_lost, (), pointerLost())
BM_EVENT(bm_key, (int key, int modifiers), key(board::Key(key), unsigned(modifiers)))
BM_EVENT(bm_click_control, (int control), clickControl(board::Control(control)))

BM_EXPORT float bm_width()
{
    return theBoard->width();
}

BM_EXPORT float bm_height()
{
    return theBoard->height();
}

// The frame of a logical area; bm_draw_commands() points at it.
BM_EXPORT int bm_frame(float left, float top, float right, float bottom)
{
    theBoard->frame(drawList, {left, top, right, bottom});
    return int(drawList.size());
}

// The board as a picture to copy, bm_picture_width() x bm_picture_height() device pixels;
// bm_draw_commands() points at it until the next list.
BM_EXPORT int bm_picture()
{
    theBoard->picture(drawList);
    return int(drawList.size());
}

BM_EXPORT int bm_picture_width()
{
    return theBoard->pictureWidth();
}

BM_EXPORT int bm_picture_height()
{
    return theBoard->pictureHeight();
}

BM_EXPORT const float *bm_draw_commands()
{
    return &drawList.data()->kind;
}

// The texts of the last change that told them, UTF-8.
BM_EXPORT const char *bm_description()
{
    return description.c_str();
}

BM_EXPORT const char *bm_speech()
{
    return speech.c_str();
}

// The figure's eleven segments, BC to DE, as x1, y1, x2, y2, colour each: what the page
// tests compare with the desktop window's.
BM_EXPORT const float *bm_segments()
{
    static std::array<float, 11 * 5> out;
    float *next = out.data();
    auto add = [&next](const auto &lines) {
        for (const scene::LineItem &l : lines)
            for (float value : {l.X1, l.Y1, l.X2, l.Y2, scene::packedColour(l.BorderColor)})
                *next++ = value;
    };
    const scene::Scene &s = theBoard->scene();
    add(s.Line1), add(s.Line2), add(s.Line3), add(s.Line4);
    return out.data();
}

} // extern "C"
