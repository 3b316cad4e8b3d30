// libFuzzer target over the window's behaviour: the fuzzer's bytes become the same events
// the window fuzzer plays, handed to board::Board as a front-end hands them, and after every
// event the figure's promises are checked; a broken one aborts.
#include "event_model.h"
#include "figure_invariants.h"

#include "board/board.h"
#include "figure/construction.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

using fuzz::Control;
using fuzz::Event;
using fuzz::EventKind;

[[noreturn]] void broken(const std::string &what, const Event &event)
{
    std::fprintf(
        stderr, "broken promise: %s\nafter: %s\n", what.c_str(), fuzz::describe(event).c_str());
    std::abort();
}

bool near(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * (1 + std::abs(a) + std::abs(b));
}

bool covers(const scene::Rect &outer, const scene::Rect &inner)
{
    return inner.isEmpty()
        || (outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right
            && inner.bottom <= outer.bottom);
}

class Session
{
public:
    Session()
    {
        // Boxes about the size a front-end measures for a 27-pixel letter.
        for (int i = 0; i < board::Board::kLabelCount; ++i)
            board.setLabelSize(i, 20, 30);
    }

    void play(const Event &e)
    {
        const figure::FigureState &f = board.state();
        const double x = e.nearA ? f.xA + e.x : e.x;
        const double y = e.nearA ? f.yA + e.y : e.y;
        switch (e.kind) {
        case EventKind::Press:
            board.press(float(x), float(y));
            check(e);
            break;
        case EventKind::Move:
            move(x, y, e);
            break;
        case EventKind::Release:
            board.release();
            check(e);
            break;
        case EventKind::DoubleClick:
            for (int i = 0; i < 2; ++i) {
                board.press(float(x), float(y));
                check(e);
                board.release();
                check(e);
            }
            break;
        case EventKind::Click:
            for (int i = 0; i < e.repeat; ++i)
                click(e.control, e);
            break;
        case EventKind::KeyPress:
            key(e);
            break;
        case EventKind::Resize:
            board.resize(float(e.width), float(e.height));
            if (e.width > 0 && e.height > 0)
                base = fuzz::expectedBase(float(e.width), float(e.height));
            check(e);
            break;
        case EventKind::FarDrag:
        case EventKind::Touch:
            board.press(float(x), float(y));
            check(e);
            for (int i = 1; i <= e.steps; ++i)
                move(x + e.farX * i / e.steps, y + e.farY * i / e.steps, e);
            if (e.kind == EventKind::FarDrag)
                for (int i = e.steps - 1; i >= 0; --i)
                    move(x + e.farX * i / e.steps, y + e.farY * i / e.steps, e);
            board.release();
            check(e);
            break;
        case EventKind::Deactivate:
        case EventKind::HideShow:
            board.endDrag();
            check(e);
            break;
        }
    }

private:
    // A moves only during a drag in move-A mode, and then by the pointer's displacement.
    void move(double x, double y, const Event &e)
    {
        const figure::FigureState before = board.state();
        const board::Changes changes = board.move(float(x), float(y));
        const figure::FigureState &f = board.state();
        const bool moves = before.dragging == 1 && board.mode() == board::Mode::MoveA;
        const double dx = moves ? double(float(x) - before.lastX) : 0;
        const double dy = moves ? double(float(y) - before.lastY) : 0;
        if (f.xA != before.xA + dx || f.yA != before.yA + dy)
            broken("A did not move by the pointer's displacement", e);
        if (moves)
            checkRebuild(e);
        if (changes.drawMemo
            && !covers(scene::Rect {-5, -5, board.width() + 5.0, board.height() + 5.0},
                scene::spanning(changes.memoFrom, changes.memoTo)))
            broken("a memo segment reaches beyond the client area", e);
        check(e);
    }

    void click(Control control, const Event &e)
    {
        switch (control) {
        case Control::Command1:
            board.clickReset();
            check(e);
            break;
        case Control::Option1_0:
        case Control::Option1_1:
            board.selectMode(
                control == Control::Option1_0 ? board::Mode::MoveA : board::Mode::Memo);
            board.clickOption();
            check(e);
            break;
        case Control::Check1:
            board.clickGrid();
            check(e);
            break;
        case Control::Command2_0: // a disabled button takes no click
            if (board.canPlaceMark())
                board.clickMark(0);
            check(e);
            break;
        case Control::Command2_1:
            if (board.canRemoveMark())
                board.clickMark(1);
            check(e);
            break;
        }
    }

    void key(const Event &e)
    {
        const int arrow = static_cast<int>(e.key) - static_cast<int>(fuzz::Key::Up);
        if (arrow < 0 || arrow > 3)
            return;
        const board::Arrow arrows[] = {
            board::Arrow::Up, board::Arrow::Down, board::Arrow::Left, board::Arrow::Right};
        const double steps[][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        const figure::FigureState before = board.state();
        board.arrowKey(arrows[arrow], false);
        check(e);
        const bool moves = board.mode() == board::Mode::MoveA;
        const figure::FigureState &f = board.state();
        if (f.xA != before.xA + (moves ? steps[arrow][0] : 0)
            || f.yA != before.yA + (moves ? steps[arrow][1] : 0) || f.lastX != before.lastX
            || f.lastY != before.lastY)
            broken("an arrow key did not step A by one pixel alone", e);
    }

    // The promises that hold after every call, whatever it changed.
    void check(const Event &e) const
    {
        std::string what = fuzz::checkFigure(board.state(), board.scene());
        if (what.empty())
            what = fuzz::checkBase(board.state(), base);
        if (what.empty()
            && (board.canPlaceMark() != (board.state().markCount < scene::kMarks)
                || board.canRemoveMark() != (board.state().markCount > 0)))
            what = "the mark buttons' states disagree with markCount";
        if (!what.empty())
            broken(what, e);
    }

    // What a rebuild promises beyond the invariants: apexes turned about B and C, the items
    // at the points, and the rectangle colour exactly when the test holds.
    void checkRebuild(const Event &e) const
    {
        const figure::FigureState &f = board.state();
        const scene::Scene &items = board.scene();
        if (!near(std::hypot(f.xF - f.xB, f.yF - f.yB), f.lenAB)
            || !near(std::hypot(f.xD - f.xC, f.yD - f.yC), f.lenAC))
            broken("an apex is not a turn of A", e);
        if (items.Line2[0].X1 != static_cast<float>(f.xA)
            || items.Line3[2].X1 != static_cast<float>(f.xD)
            || items.Line4[0].Y1 != static_cast<float>(f.yF)
            || items.Label1[0].Top != static_cast<float>(f.yA - 30))
            broken("an item is not at its point", e);
        const bool rectangle = figure::isRectangleAt(f.xA, f.yA, f.xF, f.yF, f.xD, f.yD);
        const scene::Rgb expected = scene::paletteColor(rectangle ? 9 : 12);
        if (items.Line2[2].BorderColor != expected || items.Line4[1].BorderColor != expected
            || items.Line1[0].BorderColor != scene::paletteColor(0))
            broken("the drag colours disagree with the rectangle test", e);
    }

    board::Board board;
    fuzz::BaseTriangle base = fuzz::expectedBase(board::kDesignWidth, board::kDesignHeight);
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::ByteEntropy entropy(data, size);
    Session session;
    for (int events = 0; events < 4000 && !entropy.exhausted(); ++events)
        session.play(fuzz::nextEvent(entropy));
    return 0;
}
