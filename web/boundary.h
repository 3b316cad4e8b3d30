#ifndef BRINMOOR_WEB_BOUNDARY_H
#define BRINMOOR_WEB_BOUNDARY_H

#include "board/board.h"
#include "scene/draw_list.h"

#include <cstddef>

// Everything the page's script and the module must agree on, defined once. The hot records
// (what a call changed, the draw list) are read as 32-bit floats straight from the module's
// memory, at the field offsets listed here; the page gets every number below written into it
// when it is built (describe_page.cpp) and types none of them itself. Pointer buttons need no
// table: MouseEvent.buttons numbers them as board::Button does.
namespace page {

// What a board call changed (board::Changes), as the page reads it.
struct ChangeRecord
{
    float flags; // ChangeFlag bits
    float memoWidth, memoHeight, memoRatio; // the memo raster's new size, with FitMemo
    float memoX1, memoY1, memoX2, memoY2; // the memo segment to draw, with DrawMemo
    float controls; // with Controls: ControlBits for each control, BitsPerControl apiece
    float speechDelay; // with Speak, in milliseconds
    float left, top, right, bottom; // the area to repaint; empty unless left < right
};

enum ChangeFlag {
    FitMemo = 1,
    ClearMemo = 2,
    DrawMemo = 4,
    Controls = 8,
    Described = 16, // bm_description() holds the new text
    Speak = 32, // bm_speech() holds the words
    KeyTaken = 64,
    CopyPicture = 128,
    RepaintNow = 256,
};

// What a control shows, as bits of ChangeRecord::controls, control i at i * BitsPerControl.
enum ControlBit { Enabled = 1, Checked = 2, BitsPerControl = 2 };

// The fields of each record the page reads, by name; describe_page writes each one's offset,
// in floats, as the compiler lays the record out.
#define BRINMOOR_CHANGE_FIELDS(X)                                                                  \
    X(flags)                                                                                       \
    X(memoWidth)                                                                                   \
    X(memoHeight) X(memoRatio) X(memoX1) X(memoY1) X(memoX2) X(memoY2) X(controls) X(speechDelay)  \
        X(left) X(top) X(right) X(bottom)
#define BRINMOOR_COMMAND_FIELDS(X)                                                                 \
    X(kind)                                                                                        \
    X(x1) X(y1) X(x2) X(y2) X(size) X(colour) X(fill) X(variant) X(font)

// name, value: every other number the page uses, grouped as the page's script sees them.
#define BRINMOOR_CHANGE_FLAGS(X)                                                                   \
    X(FitMemo, FitMemo)                                                                            \
    X(ClearMemo, ClearMemo)                                                                        \
    X(DrawMemo, DrawMemo) X(Controls, Controls) X(Described, Described) X(Speak, Speak)            \
        X(KeyTaken, KeyTaken) X(CopyPicture, CopyPicture) X(RepaintNow, RepaintNow)

#define BRINMOOR_CONTROL_BITS(X)                                                                   \
    X(Enabled, Enabled) X(Checked, Checked) X(BitsPerControl, BitsPerControl)

#define BRINMOOR_DRAW_KINDS(X)                                                                     \
    X(Band, int(scene::DrawKind::Band))                                                            \
    X(Segment, int(scene::DrawKind::Segment))                                                      \
    X(Disc, int(scene::DrawKind::Disc)) X(Shape, int(scene::DrawKind::Shape))                      \
        X(Text, int(scene::DrawKind::Text)) X(Clear, int(scene::DrawKind::Clear))                  \
            X(Memo, int(scene::DrawKind::Memo)) X(NoColour, int(scene::kNoColour))

#define BRINMOOR_CONTROL_KINDS(X)                                                                  \
    X(PushButton, int(board::ControlKind::PushButton))                                             \
    X(OptionButton, int(board::ControlKind::OptionButton))                                         \
    X(CheckBox, int(board::ControlKind::CheckBox))

#define BRINMOOR_FONT_ROLES(X)                                                                     \
    X(Control, int(scene::FontRole::Control))                                                      \
    X(Standard, int(scene::FontRole::Standard)) X(Point, int(scene::FontRole::Point))

// The keys the board knows, by their KeyboardEvent.key names; any other key is Other.
#define BRINMOOR_KEYS(X)                                                                           \
    X(ArrowLeft, int(board::Key::Left))                                                            \
    X(ArrowRight, int(board::Key::Right))                                                          \
    X(ArrowUp, int(board::Key::Up)) X(ArrowDown, int(board::Key::Down)) X(c, int(board::Key::C))   \
        X(C, int(board::Key::C)) X(Insert, int(board::Key::Insert))                                \
            X(Other, int(board::Key::Other))

// The modifiers, by the KeyboardEvent properties that tell them.
#define BRINMOOR_MODIFIERS(X)                                                                      \
    X(shiftKey, board::Shift) X(ctrlKey, board::Ctrl) X(altKey, board::Alt) X(metaKey, board::Meta)

} // namespace page

#endif
