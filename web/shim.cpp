// The C interface the page's script calls: one Board, its events, what each changed, and the
// scene's visible items as flat records to paint. Plain numbers and static buffers only, so
// the page carries no binding library; strings are UTF-8 in the module's memory.

#include "board/board.h"
#include "scene/fonts.h"
#include "scene/geometry.h"

#include <emscripten/emscripten.h>

#include <array>
#include <cmath>
#include <memory>
#include <type_traits>

namespace {

std::unique_ptr<board::Board> theBoard;

// What the last call changed: flags, then the memo segment, then the repaint rectangle.
enum ChangeFlag { ClearMemo = 1, DrawMemo = 2, RepaintNow = 4, Controls = 8 };
std::array<float, 9> changeRecord;

const float *record(const board::Changes &c)
{
    const int flags = (c.clearMemo ? ClearMemo : 0) | (c.drawMemo ? DrawMemo : 0)
        | (c.repaintNow ? RepaintNow : 0) | (c.controls ? Controls : 0);
    const scene::Rect r = c.repaint.isEmpty() ? scene::Rect {} : c.repaint;
    changeRecord = {float(flags), float(c.memoFrom.x), float(c.memoFrom.y), float(c.memoTo.x),
        float(c.memoTo.y), float(r.left), float(r.top), float(r.right), float(r.bottom)};
    return changeRecord.data();
}

float colour(scene::Rgb c)
{
    return float((c.r << 16) | (c.g << 8) | c.b);
}

// Item records, ten numbers each, in drawing order:
//   0 band:  left, top, right, bottom, colour          (an axis-aligned line)
//   1 line:  x1, y1, x2, y2, colour, width             (cut to the painted area)
//   2 shape: kind, left, top, width, height, back or -1, fill or -1, border
//   3 label: index, left, top, width, height, font, fore, back or -1
//   4 disc:  x, y, radius, colour                      (a thick line's round end)
constexpr int kRecordSize = 10;
std::array<float, 128 * kRecordSize> itemRecords;

struct Writer
{
    scene::Rect area;
    int count = 0;

    void put(std::initializer_list<float> values)
    {
        float *out = &itemRecords[std::size_t(count++ * kRecordSize)];
        for (float v : values)
            *out++ = v;
    }

    void line(const scene::LineItem &l)
    {
        if (l.BorderWidth > 1)
            for (scene::Point end : {scene::Point {l.X1, l.Y1}, scene::Point {l.X2, l.Y2}})
                put({4, float(end.x), float(end.y), l.BorderWidth / 2.0f, colour(l.BorderColor)});
        const float w = float(l.BorderWidth);
        if (scene::isAxisAligned(l)) {
            const scene::Rect band = scene::pixelBand(l);
            put({0, float(band.left), float(band.top), float(band.right), float(band.bottom),
                colour(l.BorderColor)});
        } else {
            scene::Point a {l.X1, l.Y1}, b {l.X2, l.Y2};
            if (scene::clipSegment(a, b, area.adjusted(-w - 2, -w - 2, w + 2, w + 2)))
                put({1, float(a.x), float(a.y), float(b.x), float(b.y), colour(l.BorderColor), w});
        }
    }

    void shape(const scene::ShapeItem &s)
    {
        put({2, float(s.Shape == scene::ShapeKind::Circle ? 0 : 1), s.Left, s.Top, s.Width,
            s.Height, s.BackOpaque ? colour(s.BackColor) : -1, s.Filled ? colour(s.FillColor) : -1,
            colour(s.BorderColor)});
    }

    void label(const scene::LabelItem &l, const scene::Scene &s)
    {
        const float index = &l == &s.Label2 ? 6 : float(&l - s.Label1.data());
        put({3, index, l.Left, l.Top, l.Width, l.Height, float(l.Font == scene::LabelFont::Point),
            colour(l.ForeColor), l.BackOpaque ? colour(l.BackColor) : -1});
    }
};

} // namespace

// Every entry point stays exported: nothing in the module calls them, the page does.
#define BM_EXPORT EMSCRIPTEN_KEEPALIVE

extern "C" {

BM_EXPORT void bm_create(float width, float height)
{
    theBoard = std::make_unique<board::Board>(width, height);
}

BM_EXPORT const char *bm_window_caption()
{
    return board::kWindowCaption;
}

BM_EXPORT const char *bm_font_family(int index)
{
    return index < int(scene::kFontFamilies.size()) ? scene::kFontFamilies[std::size_t(index)]
                                                    : nullptr;
}

BM_EXPORT int bm_font_pixels(int role)
{
    return role == 0 ? scene::kControlFontPixels
        : role == 1  ? scene::kStandardFontPixels
                     : scene::kPointNameFontPixels;
}

BM_EXPORT float bm_memo_colour()
{
    return colour(board::kMemoColor);
}

BM_EXPORT int bm_memo_pen_width()
{
    return board::kMemoPenWidth;
}

// The control in tab order: name and caption through the two string calls, the rest as
// kind, left, top, width, height, background, white text.
BM_EXPORT const char *bm_control_name(int i)
{
    return board::kControls[std::size_t(i)].name;
}

BM_EXPORT const char *bm_control_caption(int i)
{
    return board::kControls[std::size_t(i)].caption;
}

BM_EXPORT const float *bm_control(int i)
{
    static std::array<float, 7> out;
    const board::ControlDesign &d = board::kControls[std::size_t(i)];
    out = {
        float(d.kind), d.left, d.top, d.width, d.height, colour(d.background), float(d.whiteText)};
    return out.data();
}

BM_EXPORT int bm_control_count()
{
    return board::kControlCount;
}

BM_EXPORT int bm_label_count()
{
    return board::Board::kLabelCount;
}

BM_EXPORT const char *bm_label_caption(int i)
{
    return theBoard->label(i).Caption;
}

BM_EXPORT int bm_label_font(int i)
{
    return theBoard->label(i).Font == scene::LabelFont::Point;
}

BM_EXPORT void bm_set_label_size(int i, float width, float height)
{
    theBoard->setLabelSize(i, width, height);
}

BM_EXPORT const float *bm_press(float x, float y)
{
    return record(theBoard->press(x, y));
}

BM_EXPORT const float *bm_move(float x, float y)
{
    return record(theBoard->move(x, y));
}

BM_EXPORT const float *bm_release()
{
    return record(theBoard->release());
}

BM_EXPORT const float *bm_end_drag()
{
    return record(theBoard->endDrag());
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

// Bit 0: a mark can be placed, 1: one can be removed, 2: the grid box is checked, 3: memo mode.
BM_EXPORT int bm_control_states()
{
    return int(theBoard->canPlaceMark()) | int(theBoard->canRemoveMark()) << 1
        | int(theBoard->gridChecked()) << 2 | int(theBoard->mode() == board::Mode::Memo) << 3;
}

BM_EXPORT float bm_width()
{
    return theBoard->width();
}

BM_EXPORT float bm_height()
{
    return theBoard->height();
}

// The visible items that touch the area, as records in itemRecords; returns their number.
BM_EXPORT int bm_items(float left, float top, float right, float bottom)
{
    Writer writer;
    writer.area = {left, top, right, bottom};
    const scene::Scene &s = theBoard->scene();
    scene::visitInDrawingOrder(s, [&](const auto &item) {
        if (!item.Visible || !scene::boundsOf(item).intersects(writer.area))
            return;
        using Item = std::decay_t<decltype(item)>;
        if constexpr (std::is_same_v<Item, scene::LineItem>)
            writer.line(item);
        else if constexpr (std::is_same_v<Item, scene::ShapeItem>)
            writer.shape(item);
        else
            writer.label(item, s);
    });
    return writer.count;
}

BM_EXPORT const float *bm_item_records()
{
    return itemRecords.data();
}

// The figure's eleven segments, BC to DE, as x1, y1, x2, y2, colour each: what the page
// tests compare with the desktop window's.
BM_EXPORT const float *bm_segments()
{
    static std::array<float, 55> out;
    const scene::Scene &s = theBoard->scene();
    float *next = out.data();
    auto add = [&](const auto &lines) {
        for (const scene::LineItem &l : lines)
            for (float value : {l.X1, l.Y1, l.X2, l.Y2, colour(l.BorderColor)})
                *next++ = value;
    };
    add(s.Line1), add(s.Line2), add(s.Line3), add(s.Line4);
    return out.data();
}

} // extern "C"
