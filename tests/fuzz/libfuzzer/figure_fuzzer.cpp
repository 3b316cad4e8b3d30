// libFuzzer target over the figure and scene code: the fuzzer's bytes become the same events
// the window fuzzer plays, handled here the way Form1's handlers handle them but without a
// window, and after every event the figure's promises are checked; a broken one aborts.
#include "event_model.h"
#include "figure_invariants.h"

#include "figure/construction.h"
#include "figure/marks.h"
#include "scene/grid.h"

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

class HeadlessWindow
{
public:
    HeadlessWindow()
    {
        scene::layoutGrid(items, width, height);
        state.gridShown = 1;
        reset();
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
            state.dragging = 0;
            break;
        case EventKind::DoubleClick:
            press(e.x, e.y);
            state.dragging = 0;
            press(e.x, e.y);
            state.dragging = 0;
            break;
        case EventKind::Click:
            for (int i = 0; i < e.repeat; ++i)
                click(e.control);
            break;
        case EventKind::KeyPress:
            break;
        case EventKind::Resize:
            width = static_cast<float>(e.width);
            height = static_cast<float>(e.height);
            reset();
            break;
        case EventKind::FarDrag:
        case EventKind::Touch:
            press(e.x, e.y);
            for (int i = 1; i <= e.steps; ++i)
                move(e.x + e.farX * i / e.steps, e.y + e.farY * i / e.steps, e);
            if (e.kind == EventKind::FarDrag)
                for (int i = e.steps - 1; i >= 0; --i)
                    move(e.x + e.farX * i / e.steps, e.y + e.farY * i / e.steps, e);
            state.dragging = 0;
            break;
        case EventKind::Deactivate:
        case EventKind::HideShow:
            state.dragging = 0;
            break;
        }
        check(e);
    }

private:
    void press(double x, double y)
    {
        state.dragging = 1;
        state.lastX = static_cast<float>(x);
        state.lastY = static_cast<float>(y);
    }

    void move(double x, double y, const Event &e)
    {
        if (state.dragging != 1)
            return;
        const float fx = static_cast<float>(x);
        const float fy = static_cast<float>(y);
        if (moveMode) {
            state.xA += fx - state.lastX;
            state.yA += fy - state.lastY;
            figure::RebuildFigure(state, items);
            checkRebuild(e);
        }
        state.lastX = fx;
        state.lastY = fy;
        check(e);
    }

    void click(Control control)
    {
        switch (control) {
        case Control::Command1:
            reset();
            break;
        case Control::Option1_0:
        case Control::Option1_1:
            moveMode = control == Control::Option1_0;
            break;
        case Control::Check1:
            scene::setGridVisible(items, state.gridShown == 0);
            state.gridShown = state.gridShown == 0 ? 1 : 0;
            break;
        case Control::Command2_0: // a disabled button takes no click
            if (figure::canPlaceMark(state))
                figure::placeMark(state, items);
            break;
        case Control::Command2_1:
            if (figure::canRemoveMark(state))
                figure::removeMark(state, items);
            break;
        }
    }

    void reset()
    {
        if (figure::resetScreen(state, items, width, height))
            base = fuzz::expectedBase(width, height);
    }

    void check(const Event &e) const
    {
        std::string what = fuzz::checkFigure(state, items);
        if (what.empty())
            what = fuzz::checkBase(state, base);
        if (!what.empty())
            broken(what, e);
    }

    // What a rebuild promises beyond the invariants: apexes turned about B and C, the items
    // at the points, and the rectangle colour exactly when the test holds.
    void checkRebuild(const Event &e) const
    {
        const figure::FigureState &f = state;
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

    figure::FigureState state;
    scene::Scene items;
    float width = 900;
    float height = 541;
    bool moveMode = true;
    fuzz::BaseTriangle base;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::ByteEntropy entropy(data, size);
    HeadlessWindow window;
    for (int events = 0; events < 4000 && !entropy.exhausted(); ++events)
        window.play(fuzz::nextEvent(entropy));
    return 0;
}
