// libFuzzer target over the window's behaviour: the fuzzer's bytes become the same events
// the window fuzzer plays, handed to board::Board as the session steps a front-end plays
// (session::Replay), and after every step the figure's promises are checked; a broken one
// aborts.
#include "event_model.h"
#include "figure_invariants.h"
#include "session.h"

#include "board/board.h"
#include "figure/construction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

using fuzz::Event;
using fuzz::EventKind;

[[noreturn]] void broken(const std::string &what, const Event &event)
{
    std::fprintf(
        stderr, "broken promise: %s\nafter: %s\n", what.c_str(), fuzz::describe(event).c_str());
    std::abort();
}

// Up, Down, Left and Right as 0 to 3; other keys do not reach the board.
int arrow(const Event &e)
{
    return int(e.key) - int(fuzz::Key::Up);
}

class Session : private session::Replay
{
public:
    Session() : Replay(board::kDesignWidth, board::kDesignHeight)
    {
        for (int i = 0; i < scene::kLabelCount; ++i)
            board.setLabelWidth(i, 20); // a 27-pixel letter's width, as a front-end measures it
    }

    // The event as the steps a front-end hands the board, each checked.
    void play(const Event &e)
    {
        using session::Step;
        const auto step = [&](Step::Kind kind, double x = 0, double y = 0) {
            Step s {kind};
            s.x = x, s.y = y, s.control = e.control, s.button = session::Button(int(e.button) % 3);
            s.pointer =
                e.kind == EventKind::Touch ? session::Pointer::Touch : session::Pointer::Mouse;
            s.key = std::array {board::Key::Up, board::Key::Down, board::Key::Left,
                board::Key::Right}[std::size_t(std::clamp(arrow(e), 0, 3))];
            play(s, e);
        };
        // A point of the way out to (x + farX, y + farY): from 0 at the start to 1 at the end.
        const auto along = [&](Step::Kind kind, double t) {
            step(kind, e.x + e.farX * t, e.y + e.farY * t);
        };
        switch (e.kind) {
        case EventKind::Press:
        case EventKind::Move:
        case EventKind::Release:
            step(std::array {Step::Down, Step::Move, Step::Up}[std::size_t(e.kind)], e.x, e.y);
            break;
        case EventKind::DoubleClick:
            for (Step::Kind kind : {Step::Down, Step::Up, Step::Down, Step::Up})
                step(kind, e.x, e.y);
            break;
        case EventKind::Click:
            for (int i = 0; i < e.repeat; ++i)
                step(Step::Click);
            break;
        case EventKind::KeyPress:
            if (arrow(e) >= 0 && arrow(e) <= 3)
                step(Step::Key);
            break;
        case EventKind::Resize:
            if (e.width > 0 && e.height > 0)
                base = board::Board(float(e.width), float(e.height)).state();
            step(Step::Resize, e.width, e.height);
            break;
        case EventKind::FarDrag: // out and back
            step(Step::Down, e.x, e.y);
            for (int i = 1 - e.steps; i <= e.steps; ++i)
                along(Step::Move, double(e.steps - std::abs(i)) / e.steps);
            step(Step::Up, e.x, e.y);
            break;
        case EventKind::Touch:
            step(Step::Down, e.x, e.y);
            for (int i = 1; i <= e.steps; ++i)
                along(Step::Move, double(i) / e.steps);
            along(Step::Up, 1);
            break;
        case EventKind::Deactivate:
        case EventKind::HideShow:
            board.pointerLost();
            break;
        }
        check(e);
    }

private:
    // A moves only in a drag in move-A mode, and then by the pointer's displacement; an arrow
    // key steps it by one pixel in move-A mode and leaves the pointer's place alone.
    void play(const session::Step &s, const Event &e)
    {
        const figure::FigureState before = board.state();
        Replay::play(s);
        const bool moveA = board.mode() == board::Mode::MoveA;
        double dx = 0, dy = 0;
        if (s.kind == session::Step::Move && before.dragging == 1 && moveA) {
            dx = float(s.x) - before.lastX, dy = float(s.y) - before.lastY;
            checkRebuild(e);
        }
        if (s.kind == session::Step::Key && moveA)
            dx = std::array {0, 0, -1, 1}[arrow(e)], dy = std::array {-1, 1, 0, 0}[arrow(e)];
        if ((s.kind == session::Step::Move || s.kind == session::Step::Key)
            && (board.state().xA != before.xA + dx || board.state().yA != before.yA + dy))
            broken("A did not move by the displacement of the pointer or the key", e);
        if (s.kind == session::Step::Key
            && (board.state().lastX != before.lastX || board.state().lastY != before.lastY))
            broken("an arrow key moved the pointer's place", e);
        check(e);
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
        const auto near = [](double a, double b) {
            return std::abs(a - b) <= 1e-9 * (1 + std::abs(a) + std::abs(b));
        };
        if (!near(std::hypot(f.xF - f.xB, f.yF - f.yB), f.lenAB)
            || !near(std::hypot(f.xD - f.xC, f.yD - f.yC), f.lenAC))
            broken("an apex is not a turn of A", e);
        if (items.Line2[0].X1 != float(f.xA) || items.Line3[2].X1 != float(f.xD)
            || items.Line4[0].Y1 != float(f.yF) || items.Label1[0].Top != float(f.yA - 30))
            broken("an item is not at its point", e);
        const bool rectangle = figure::isRectangleAt(f.xA, f.yA, f.xF, f.yF, f.xD, f.yD);
        const scene::Rgb expected = scene::paletteColor(rectangle ? 9 : 12);
        if (items.Line2[2].BorderColor != expected || items.Line4[1].BorderColor != expected
            || items.Line1[0].BorderColor != scene::paletteColor(0))
            broken("the drag colours disagree with the rectangle test", e);
    }

    figure::FigureState base = board::Board().state(); // the last initial screen
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Entropy entropy(data, size);
    Session window;
    for (int events = 0; events < 4000 && !entropy.exhausted(); ++events)
        window.play(fuzz::nextEvent(entropy));
    return 0;
}
