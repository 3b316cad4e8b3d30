// The C interface the page's script calls: one Board, its events, what each changed, and the
// draw list of an area. Plain numbers and static storage only, so the page carries no binding
// library; the numbers both sides agree on come from boundary.h through bm_describe().

#include "web/boundary.h"

#include "board/description.h"
#include "scene/fonts.h"

#include <emscripten/emscripten.h>

#include <array>
#include <cstdlib>
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

// A small JSON writer into a fixed buffer that stops the module rather than overrun: the
// description holds only names, design captions and whole numbers, about 2 KB.
class Json
{
public:
    Json &open(const char *name, char bracket)
    {
        key(name);
        put(bracket);
        first = true;
        return *this;
    }
    Json &close(char bracket)
    {
        put(bracket);
        first = false;
        return *this;
    }
    Json &number(const char *name, long value)
    {
        key(name);
        if (value < 0)
            put('-');
        char digits[24];
        int count = 0;
        unsigned long rest = value < 0 ? 0ul - static_cast<unsigned long>(value) : value;
        do
            digits[count++] = static_cast<char>('0' + rest % 10);
        while (rest /= 10);
        while (count > 0)
            put(digits[--count]);
        return *this;
    }
    Json &string(const char *name, const char *value)
    {
        key(name);
        quoted(value);
        return *this;
    }
    const char *finish()
    {
        put('\0');
        return text.data();
    }

private:
    void put(char c)
    {
        if (length == text.size())
            std::abort();
        text[length++] = c;
    }
    void key(const char *name)
    {
        if (!first)
            put(',');
        first = false;
        if (name) {
            quoted(name);
            put(':');
        }
    }
    void quoted(const char *value)
    {
        put('"');
        for (const char *c = value; *c; ++c) {
            if (*c == '"' || *c == '\\')
                put('\\');
            put(*c);
        }
        put('"');
    }

    std::array<char, 4096> text;
    std::size_t length = 0;
    bool first = true;
};

const char *describe()
{
    using namespace page; // the lists name the boundary's own records and flags
    static Json j; // the page keeps reading the text after the call
    j = Json();
    j.open(nullptr, '{');
#define BRINMOOR_NUMBER(name, value) j.number(#name, long(value));
#define BRINMOOR_GROUP(name, list) j.open(name, '{'), list(BRINMOOR_NUMBER) j.close('}');
    BRINMOOR_GROUP("change", BRINMOOR_CHANGE_FIELDS)
    BRINMOOR_GROUP("changeFlags", BRINMOOR_CHANGE_FLAGS)
    BRINMOOR_GROUP("command", BRINMOOR_COMMAND_FIELDS)
    BRINMOOR_GROUP("draw", BRINMOOR_DRAW_KINDS)
    BRINMOOR_GROUP("controlStates", BRINMOOR_CONTROL_STATES)
    BRINMOOR_GROUP("controlKinds", BRINMOOR_CONTROL_KINDS)
    BRINMOOR_GROUP("fontRoles", BRINMOOR_FONT_ROLES)
    BRINMOOR_GROUP("arrows", BRINMOOR_ARROWS)
#undef BRINMOOR_GROUP
#undef BRINMOOR_NUMBER
    j.string("caption", board::kWindowCaption);
    j.open("fontFamilies", '[');
    for (const char *family : scene::kFontFamilies)
        j.string(nullptr, family);
    j.close(']').open("fontPixels", '[');
    for (int role = 0; role < scene::kFontRoleCount; ++role)
        j.number(nullptr, scene::fontPixels(scene::FontRole(role)));
    j.close(']').open("memo", '{');
    j.number("colour", long(scene::packedColour(board::kMemoColor)));
    j.number("width", board::kMemoPenWidth).close('}');
    j.open("controls", '[');
    for (const board::ControlDesign &d : board::kControls) {
        j.open(nullptr, '{').string("name", d.name).number("kind", int(d.kind));
        j.string("caption", d.caption).number("left", d.left).number("top", d.top);
        j.number("width", d.width).number("height", d.height);
        j.number("background", scene::packedColour(d.background));
        j.number("whiteText", d.whiteText).close('}');
    }
    j.close(']').open("labels", '[');
    for (int i = 0; i < scene::kLabelCount; ++i) {
        const scene::LabelItem &label = scene::labelAt(theBoard->scene(), i);
        j.open(nullptr, '{').string("caption", label.Caption);
        j.number("font", int(label.Font)).close('}');
    }
    return j.close(']').close('}').finish();
}

} // namespace

// Every entry point stays exported: nothing in the module calls them, the page does.
#define BM_EXPORT EMSCRIPTEN_KEEPALIVE

extern "C" {

BM_EXPORT void bm_create(float width, float height)
{
    theBoard = std::make_unique<board::Board>(width, height);
}

// Everything the page needs to know once, as JSON: the record layouts, the numbers of every
// kind, flag and role, the caption, the fonts, the memo pen, the controls and the labels.
BM_EXPORT const char *bm_describe()
{
    return describe();
}

BM_EXPORT void bm_set_label_width(int i, float width)
{
    theBoard->setLabelWidth(i, width);
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
