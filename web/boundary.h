#ifndef BRINMOOR_WEB_BOUNDARY_H
#define BRINMOOR_WEB_BOUNDARY_H

#include "board/board.h"
#include "scene/draw_list.h"

#include <cstddef>

// Everything the page's script and the module must agree on, defined once. The hot records
// (what a call changed, the draw list) are read as 32-bit floats straight from the module's
// memory, at the field offsets listed here; the page gets every number below written into it
// when it is built (describe_page.cpp) and types none of them itself.
namespace page {

// What a board call changed, as the page reads it.
struct ChangeRecord
{
    float flags; // ChangeFlag bits
    float memoX1, memoY1, memoX2, memoY2; // the memo segment to draw, with DrawMemo
    float left, top, right, bottom; // the area to repaint; empty unless left < right
};

enum ChangeFlag {
    ClearMemo = 1,
    DrawMemo = 2,
    RepaintNow = 4,
    Controls = 8,
    Rebuilt = 16,
    Described = 32,
    Announce = 64,
};

// What the controls show, as bits of bm_control_states().
enum ControlState { CanPlaceMark = 1, CanRemoveMark = 2, GridChecked = 4, MemoMode = 8 };

#define BRINMOOR_FIELD(record, field) (offsetof(record, field) / sizeof(float))

// name, value: every number the page uses, grouped as the page's script sees them.
#define BRINMOOR_CHANGE_FIELDS(X)                                                                  \
    X(flags, BRINMOOR_FIELD(ChangeRecord, flags))                                                  \
    X(memoX1, BRINMOOR_FIELD(ChangeRecord, memoX1))                                                \
    X(memoY1, BRINMOOR_FIELD(ChangeRecord, memoY1))                                                \
    X(memoX2, BRINMOOR_FIELD(ChangeRecord, memoX2))                                                \
    X(memoY2, BRINMOOR_FIELD(ChangeRecord, memoY2))                                                \
    X(left, BRINMOOR_FIELD(ChangeRecord, left))                                                    \
    X(top, BRINMOOR_FIELD(ChangeRecord, top))                                                      \
    X(right, BRINMOOR_FIELD(ChangeRecord, right))                                                  \
    X(bottom, BRINMOOR_FIELD(ChangeRecord, bottom))                                                \
    X(size, sizeof(ChangeRecord) / sizeof(float))

#define BRINMOOR_CHANGE_FLAGS(X)                                                                   \
    X(ClearMemo, ClearMemo)                                                                        \
    X(DrawMemo, DrawMemo) X(RepaintNow, RepaintNow) X(Controls, Controls) X(Rebuilt, Rebuilt)      \
        X(Described, Described) X(Announce, Announce)

#define BRINMOOR_COMMAND_FIELDS(X)                                                                 \
    X(kind, BRINMOOR_FIELD(scene::DrawCommand, kind))                                              \
    X(x1, BRINMOOR_FIELD(scene::DrawCommand, x1))                                                  \
    X(y1, BRINMOOR_FIELD(scene::DrawCommand, y1))                                                  \
    X(x2, BRINMOOR_FIELD(scene::DrawCommand, x2))                                                  \
    X(y2, BRINMOOR_FIELD(scene::DrawCommand, y2))                                                  \
    X(size, BRINMOOR_FIELD(scene::DrawCommand, size))                                              \
    X(colour, BRINMOOR_FIELD(scene::DrawCommand, colour))                                          \
    X(fill, BRINMOOR_FIELD(scene::DrawCommand, fill))                                              \
    X(variant, BRINMOOR_FIELD(scene::DrawCommand, variant))                                        \
    X(font, BRINMOOR_FIELD(scene::DrawCommand, font))                                              \
    X(stride, sizeof(scene::DrawCommand) / sizeof(float))

#define BRINMOOR_DRAW_KINDS(X)                                                                     \
    X(Band, int(scene::DrawKind::Band))                                                            \
    X(Segment, int(scene::DrawKind::Segment)) X(Disc, int(scene::DrawKind::Disc))                  \
        X(Shape, int(scene::DrawKind::Shape)) X(Text, int(scene::DrawKind::Text))                  \
            X(NoColour, int(scene::kNoColour))

#define BRINMOOR_CONTROL_STATES(X)                                                                 \
    X(CanPlaceMark, CanPlaceMark)                                                                  \
    X(CanRemoveMark, CanRemoveMark) X(GridChecked, GridChecked) X(MemoMode, MemoMode)

#define BRINMOOR_CONTROL_KINDS(X)                                                                  \
    X(PushButton, int(board::ControlKind::PushButton))                                             \
    X(OptionButton, int(board::ControlKind::OptionButton))                                         \
    X(CheckBox, int(board::ControlKind::CheckBox))

#define BRINMOOR_FONT_ROLES(X)                                                                     \
    X(Control, int(scene::FontRole::Control))                                                      \
    X(Standard, int(scene::FontRole::Standard)) X(Point, int(scene::FontRole::Point))

// The keys the page maps to board::Arrow, by their KeyboardEvent.key names.
#define BRINMOOR_ARROWS(X)                                                                         \
    X(ArrowLeft, int(board::Arrow::Left))                                                          \
    X(ArrowRight, int(board::Arrow::Right)) X(ArrowUp, int(board::Arrow::Up))                      \
        X(ArrowDown, int(board::Arrow::Down))

} // namespace page

#endif
