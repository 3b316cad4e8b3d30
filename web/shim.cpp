// The C interface the page's script calls: one Board, its events, what each changed, and the
// draw list of an area. Plain numbers and static storage only, so the page carries no binding
// library; the numbers both sides agree on come from boundary.h, written into the page when it
// is built (describe_page.cpp).

#include "web/boundary.h"

#include "board/description.h"

#include <emscripten/emscripten.h>

#include <array>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<board::Board> theBoard;
page::ChangeRecord changeRecord;
std::vector<scene::DrawCommand> drawList; // reused between paints for its storage

const float *record(const board::Changes &c)
{
    const int flags = (c.clearMemo ? page::ClearMemo : 0) | (c.drawMemo ? page::DrawMemo : 0)
        | (c.repaintNow ? page::RepaintNow : 0) | (c.controls ? page::Controls : 0)
        | (c.rebuilt ? page::Rebuilt : 0) | (c.described ? page::Described : 0)
        | (c.announce ? page::Announce : 0);
    const scene::Rect r = c.repaint.isEmpty() ? scene::Rect {} : c.repaint;
    changeRecord = {float(flags), float(c.memoFrom.x), float(c.memoFrom.y), float(c.memoTo.x),
        float(c.memoTo.y), float(r.left), float(r.top), float(r.right), float(r.bottom)};
    return &changeRecord.flags;
}

} // namespace

// Every entry point stays exported: nothing in the module calls them, the page does.
#define BM_EXPORT EMSCRIPTEN_KEEPALIVE

extern "C" {

BM_EXPORT void bm_create(float width, float height)
{
    theBoard = std::make_unique<board::Board>(width, height);
}

BM_EXPORT const float *bm_set_label_width(int i, float width)
{
    return record(theBoard->setLabelWidth(i, width));
}

BM_EXPORT const float *bm_press(float x, float y, int furtherButton)
{
    return record(theBoard->press(x, y, furtherButton != 0));
}

BM_EXPORT const float *bm_move(float x, float y)
{
    return record(theBoard->move(x, y));
}

BM_EXPORT const float *bm_release()
{
    return record(theBoard->release());
}

BM_EXPORT const float *bm_arrow_key(int arrow, int large)
{
    return record(theBoard->arrowKey(board::Arrow(arrow), large != 0));
}

BM_EXPORT const float *bm_select_mode(int memo)
{
    return record(theBoard->selectMode(memo ? board::Mode::Memo : board::Mode::MoveA));
}

BM_EXPORT const float *bm_click_option()
{
    return record(theBoard->clickOption());
}

BM_EXPORT const float *bm_click_reset()
{
    return record(theBoard->clickReset());
}

BM_EXPORT const float *bm_click_mark(int index)
{
    return record(theBoard->clickMark(index));
}

BM_EXPORT const float *bm_click_grid()
{
    return record(theBoard->clickGrid());
}

BM_EXPORT const float *bm_resize(float width, float height)
{
    return record(theBoard->resize(width, height));
}

BM_EXPORT int bm_control_states()
{
    return (theBoard->canPlaceMark() ? page::CanPlaceMark : 0)
        | (theBoard->canRemoveMark() ? page::CanRemoveMark : 0)
        | (theBoard->gridChecked() ? page::GridChecked : 0)
        | (theBoard->mode() == board::Mode::Memo ? page::MemoMode : 0);
}

BM_EXPORT float bm_width()
{
    return theBoard->width();
}

BM_EXPORT float bm_height()
{
    return theBoard->height();
}

// The draw list of an area at a device pixel ratio; bm_draw_commands() points at it.
BM_EXPORT int bm_draw_list(float left, float top, float right, float bottom, float ratio)
{
    scene::buildDrawList(drawList, theBoard->scene(), {left, top, right, bottom}, ratio);
    return int(drawList.size());
}

// The board alone, as a picture to copy, over the whole client area; bm_draw_commands()
// points at it until the next list.
BM_EXPORT int bm_picture_list(float ratio)
{
    scene::buildDrawList(drawList, theBoard->scene(), {0, 0, theBoard->width(), theBoard->height()},
        ratio, scene::DrawContent::Board);
    return int(drawList.size());
}

// The board in words (board/description.h), in full or brief, UTF-8, until the next call.
BM_EXPORT const char *bm_description(int brief)
{
    static board::Description text;
    text = board::describe(*theBoard, brief ? board::Detail::Brief : board::Detail::Full);
    return text.c_str();
}

BM_EXPORT const float *bm_draw_commands()
{
    return &drawList.data()->kind;
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
