// libFuzzer target over the window's behaviour: the fuzzer's bytes become the same events
// the window fuzzer plays, handed to board::Board as a front-end hands them, and after every
// event the figure's promises are checked; a broken one aborts.
#include "event_model.h"
#include "figure_invariants.h"

#include "board/board.h"
#include "figure/construction.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

using board::Control;
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

class Session
{
public:
    Session()
    {
        for (int i = 0; i < scene::kLabelCount; ++i)
            board.setLabelWidth(i, 20); // a 27-pixel letter's width, as a front-end measures it
    }

    void play(const Event &e)
    {
        switch (e.kind) {
        case EventKind::Press:
            press(e.x, e.y);
            break;
        case EventKind::Move:
            move(e.x, e.y, e);
            break;
        case EventKind::Release:
            board.release();
            break;
        case EventKind::DoubleClick:
            press(e.x, e.y);
            board.release();
            press(e.x, e.y);
            board.release();
            break;
        case EventKind::Click:
            for (int i = 0; i < e.repeat; ++i)
                click(e.control);
            break;
        case EventKind::KeyPress:
            key(e);
            break;
        case EventKind::Resize:
            board.resize(static_cast<float>(e.width), static_cast<float>(e.height));
            if (e.width > 0 && e.height > 0)
                base = board::Board(static_cast<float>(e.width), static_cast<float>(e.height))
                           .state();
            break;
        case EventKind::FarDrag:
        case EventKind::Touch:
            press(e.x, e.y);
            for (int i = 1; i <= e.steps; ++i)
                move(e.x + e.farX * i / e.steps, e.y + e.farY * i / e.steps, e);
            if (e.kind == EventKind::FarDrag)
                for (int i = e.steps - 1; i >= 0; --i)
                    move(e.x + e.farX * i / e.steps, e.y + e.farY * i / e.steps, e);
            board.release();
            break;
        case EventKind::Deactivate:
        case EventKind::HideShow:
            board.release();
            break;
        }
        check(e);
    }

private:
    void press(double x, double y) { board.press(static_cast<float>(x), static_cast<float>(y)); }

    // A moves only in a drag in move-A mode, and then by the pointer's displacement.
    void move(double x, double y, const Event &e)
    {
        const figure::FigureState before = board.state();
        board.move(static_cast<float>(x), static_cast<float>(y));
        const bool moves = before.dragging == 1 && board.mode() == board::Mode::MoveA;
        stepped(before, moves ? static_cast<float>(x) - before.lastX : 0,
            moves ? static_cast<float>(y) - before.lastY : 0, e);
        if (moves)
            checkRebuild(e);
        check(e);
    }

    // An arrow key steps A by one pixel in move-A mode and leaves the pointer's place alone.
    void key(const Event &e)
    {
        const int arrow = static_cast<int>(e.key) - static_cast<int>(fuzz::Key::Up);
        if (arrow < 0 || arrow > 3)
            return;
        const figure::FigureState before = board.state();
        board.arrowKey(std::array {board::Arrow::Up, board::Arrow::Down, board::Arrow::Left,
                           board::Arrow::Right}[arrow],
            false);
        const bool moves = board.mode() == board::Mode::MoveA;
        stepped(before, moves ? std::array {0, 0, -1, 1}[arrow] : 0,
            moves ? std::array {-1, 1, 0, 0}[arrow] : 0, e);
        if (board.state().lastX != before.lastX || board.state().lastY != before.lastY)
            broken("an arrow key moved the pointer's place", e);
    }

    void stepped(const figure::FigureState &before, double dx, double dy, const Event &e) const
    {
        if (board.state().xA != before.xA + dx || board.state().yA != before.yA + dy)
            broken("A did not move by the displacement of the pointer or the key", e);
    }

    void click(Control control)
    {
        switch (control) {
        case Control::Command1:
            board.clickReset();
            break;
        case Control::Option1_0:
        case Control::Option1_1:
            board.selectMode(
                control == Control::Option1_0 ? board::Mode::MoveA : board::Mode::Memo);
            board.clickOption();
            break;
        case Control::Check1:
            board.clickGrid();
            break;
        case Control::Command2_0: // a disabled button takes no click
            if (board.canPlaceMark())
                board.clickMark(0);
            break;
        case Control::Command2_1:
            if (board.canRemoveMark())
                board.clickMark(1);
            break;
        }
    }

    void check(const Event &e) const
    {
        std::string what = fuzz::checkFigure(board.state(), board.scene());
        if (what.empty())
            what = fuzz::checkBase(board.state(), base);
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
    figure::FigureState base = board::Board().state(); // the last initial screen
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::ByteEntropy entropy(data, size);
    Session window;
    for (int events = 0; events < 4000 && !entropy.exhausted(); ++events)
        window.play(fuzz::nextEvent(entropy));
    return 0;
}
