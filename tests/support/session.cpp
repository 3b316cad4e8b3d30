#include "session.h"

#include <cmath>

namespace session {

Expect moved(double dx, double dy, Colours colours)
{
    Expect e;
    e.dx = dx;
    e.dy = dy;
    e.colours = colours;
    return e;
}

namespace {

    using board::Arrow;
    using board::Control;

    struct At
    {
        double x, y;
        At operator+(At o) const { return {x + o.x, y + o.y}; }
    };

    // A quiet place at the opening size: away from the figure, the names and the controls.
    constexpr At kFar {820, 480};

    At centre(Control c)
    {
        const board::ControlDesign &d = board::design(c);
        return {d.left + d.width / 2, d.top + d.height / 2};
    }

    // Builds one row step by step.
    struct Script
    {
        Row row;

        Script(std::string name, unsigned players, double width = board::kDesignWidth,
            double height = board::kDesignHeight, double scale = 1)
            : row {std::move(name), players, width, height, scale, {}}
        {
        }
        Script &add(Step s) { return row.steps.push_back(std::move(s)), *this; }
        Script &pointer(Step::Kind kind, At at, Button b, Pointer p)
        {
            Step s {kind};
            s.x = at.x, s.y = at.y, s.button = b, s.pointer = p;
            return add(s);
        }
        Script &down(At at, Button b = Button::Left) { return pointer(Step::Down, at, b, {}); }
        Script &move(At at) { return pointer(Step::Move, at, {}, {}); }
        Script &up(At at, Button b = Button::Left) { return pointer(Step::Up, at, b, {}); }
        // A press, `moves` evenly spaced moves and a release.
        Script &drag(At from, At by, int moves = 2, Button b = Button::Left,
            Pointer p = Pointer::Mouse)
        {
            pointer(Step::Down, from, b, p);
            for (int i = 1; i <= moves; ++i)
                pointer(Step::Move, from + At {by.x * i / moves, by.y * i / moves}, b, p);
            return pointer(Step::Up, from + by, b, p);
        }
        // A memo stroke through the points: one press, a move to each further point, a release.
        Script &stroke(std::initializer_list<At> points)
        {
            down(*points.begin());
            for (auto p = points.begin() + 1; p != points.end(); ++p)
                move(*p);
            return up(*(points.end() - 1));
        }
        Script &tap(At at) { return down(at).up(at); }
        Script &click(Control c, int times = 1)
        {
            Step s {Step::Click};
            s.control = c;
            for (int i = 0; i < times; ++i)
                add(s);
            return *this;
        }
        Script &key(Arrow a, bool shift = false, bool ctrl = false, bool alt = false,
            bool meta = false, int times = 1)
        {
            Step s {Step::Key};
            s.arrow = a, s.shift = shift, s.ctrl = ctrl, s.alt = alt, s.meta = meta;
            for (int i = 0; i < times; ++i)
                add(s);
            return *this;
        }
        Script &resize(double width, double height, double scale = 1)
        {
            Step s {Step::Resize};
            s.x = width, s.y = height, s.scale = scale;
            return add(s);
        }
        Script &shot(std::string name, Expect expect = {})
        {
            Step s {Step::Shot};
            s.name = std::move(name);
            s.expect = expect;
            return add(s);
        }
    };

    std::vector<Row> makeRows()
    {
        const board::Board start; // the opening screen, where the rows find A and its name
        const figure::FigureState &f = start.state();
        const scene::LabelItem &nameA = start.scene().Label1[0];
        const scene::LineItem &bc = start.scene().Line1[0];
        const At onA {f.xA, f.yA};
        const At aboveA {std::floor(f.xA), std::floor(f.yA - 1)};
        const At inNameA {std::ceil(nameA.Left) + 4, std::ceil(nameA.Top) + 8};
        const At leftOfNameA {std::floor(nameA.Left) - 3, std::ceil(nameA.Top) + 8};
        const double underB = std::round(start.scene().Label1[1].Top) + 12;
        const std::initializer_list<At> top {
            {300, 25}, {350, 25}, {400, 25}, {450, 25}, {500, 25}, {550, 25}, {600, 25}};
        const std::initializer_list<At> slope {
            {700, 250}, {730, 284}, {760, 318}, {790, 352}, {820, 386}, {850, 420}};
        const std::initializer_list<At> throughB {
            {205, underB}, {240, underB}, {275, underB}, {310, underB}, {345, underB}};
        const Expect memoMode = Expect().inMemoMode();

        std::vector<Script> s;
        s.emplace_back("opening screen", Everyone);
        s.back().shot("opening");
        for (double scale : {2.0, 1.25}) { // 900 x 540 is whole device pixels at 1.25
            s.emplace_back(scale == 2 ? "ratio 2" : "ratio 1.25", scale == 2 ? Everyone : Core | Page,
                900, scale == 2 ? 541 : 540, scale);
            s.back().shot("opening").drag(kFar, {-30, 20}).shot("dragged", moved(-30, 20));
        }
        s.emplace_back("drag far from A, then moves without a press", Everyone);
        s.back()
            .drag(kFar, {10, -5})
            .shot("dragged", moved(10, -5))
            .move({620, 380})
            .move({520, 180})
            .shot("released", moved(10, -5));
        s.emplace_back("every mouse button drags", Everyone);
        s.back()
            .drag(kFar, {-20, 10}, 2, Button::Right)
            .shot("right", moved(-20, 10))
            .drag(kFar, {-20, 10}, 2, Button::Middle)
            .shot("middle", moved(-40, 20));
        for (Pointer p : {Pointer::Touch, Pointer::Pen}) {
            s.emplace_back(p == Pointer::Touch ? "finger drag" : "pen drag", Core | Page);
            s.back().drag(kFar, {10, -5}, 2, Button::Left, p).shot("dragged", moved(10, -5));
        }
        s.emplace_back("one move onto a rectangle lights AFED blue", Everyone);
        s.back().drag({800, 100}, {38, 54}, 1).shot("lit", moved(38, 54, Colours::Rectangle));
        s.emplace_back("press on A's name starts no drag, left of it does", Everyone);
        s.back()
            .drag(inNameA, {30, 20}, 3)
            .shot("unmoved")
            .drag(leftOfNameA, {30, 20}, 3)
            .shot("dragged", moved(30, 20));
        s.emplace_back("press 1 px above vertex A, then drag", Everyone);
        s.back().drag(aboveA, {25, 15}).shot("dragged", moved(25, 15));
        s.emplace_back("a further button during a drag", Everyone);
        s.back()
            .down({120, 200})
            .move({52, 36}) // over 初期画面
            .down({52, 36}, Button::Right)
            .move({72, 46})
            .up({72, 46}, Button::Right)
            .up({72, 46})
            .shot("restarted", moved(52 - 120 + 20, 36 - 200 + 10));
        s.emplace_back("releasing a second button ends the drag", Everyone);
        s.back()
            .down({700, 400})
            .move({710, 400})
            .down({710, 400}, Button::Right)
            .move({725, 400})
            .up({725, 400}, Button::Right)
            .move({780, 420}) // the left button is still held
            .up({780, 420})
            .shot("ended", moved(25, 0));
        s.emplace_back("presses on controls stay with them", Everyone);
        s.back()
            .drag(kFar, {12, -8})
            .drag(centre(Control::Command1), {400, 300}, 3, Button::Right)
            .drag(centre(Control::Command2_0), {400, 300}, 3, Button::Middle)
            .drag(centre(Control::Command2_1), {300, 200}, 3) // disabled
            .drag({180, 24}, {220, 276}) // Ａ移動・メモクリア, released off it
            .shot("unmoved", moved(12, -8))
            .drag({216, 76}, {8, 11}, 3) // the blank right part of the grid box is the box
            .shot("grid box clicked", moved(12, -8).gridHidden());
        s.emplace_back("marks stop at ten and go last first", Everyone);
        for (int i = 0; i < 10; ++i)
            s.back().click(Control::Command2_0).drag(kFar, {14, 0});
        s.back()
            .shot("ten", moved(140, 0).withMarks(10))
            .click(Control::Command2_0) // disabled: no eleventh mark
            .shot("no eleventh", moved(140, 0).withMarks(10))
            .click(Control::Command2_1, 2)
            .shot("eight", moved(140, 0).withMarks(8))
            .click(Control::Command1)
            .shot("reset");
        s.emplace_back("two marks on one spot need two removes", Everyone);
        s.back()
            .click(Control::Command2_0)
            .drag(kFar, {60, -40})
            .click(Control::Command2_0, 2)
            .click(Control::Command2_1)
            .shot("marks", moved(60, -40).withMarks(2));
        s.emplace_back("memo strokes last until an option click or a resize", Everyone);
        s.back()
            .drag(kFar, {20, -10})
            .click(Control::Option1_1)
            .stroke(top)
            .stroke(slope)
            .stroke(throughB) // under B's opaque name
            .click(Control::Command2_0)
            .shot("drawn", moved(20, -10).withMarks(1).withMemo(15).inMemoMode())
            .click(Control::Command1)
            .shot("kept through reset", Expect(memoMode).withMemo(15))
            .click(Control::Check1, 2)
            .shot("kept through the grid", Expect(memoMode).withMemo(15))
            .click(Control::Option1_1)
            .shot("cleared by the selected option", memoMode)
            .stroke(top)
            .stroke(slope)
            .shot("drawn again", Expect(memoMode).withMemo(11))
            .click(Control::Option1_0)
            .shot("cleared by the other option")
            .drag(kFar, {-6, 4})
            .shot("move mode draws nothing", moved(-6, 4))
            .click(Control::Option1_1)
            .stroke(top)
            .shot("before resize", moved(-6, 4).withMemo(6).inMemoMode())
            .resize(640, 480)
            .shot("cleared by resize", memoMode)
            .stroke({{560, 460}, {630, 460}}) // the memo reaches the new far corner
            .shot("at the new size", Expect(memoMode).withMemo(1));
        s.emplace_back("a new ratio alone keeps the strokes", Core | Page);
        s.back()
            .click(Control::Option1_1)
            .stroke({{700, 120}, {760, 150}, {800, 240}})
            .resize(900, 541, 2)
            .shot("kept at ratio 2", Expect(memoMode).withMemo(2))
            .resize(800, 500, 2)
            .shot("cleared by resize", memoMode);
        s.emplace_back("resize shows the initial screen of the new size", Everyone);
        s.back()
            .drag(kFar, {25, 15})
            .click(Control::Command2_0)
            .shot("dragged", moved(25, 15).withMarks(1))
            .resize(640, 480)
            .shot("640x480")
            .resize(900, 541)
            .shot("back to 900x541");
        s.emplace_back("reset shows the grid and checks the box", Everyone);
        s.back()
            .click(Control::Check1)
            .shot("hidden", Expect().gridHidden())
            .click(Control::Command1)
            .shot("reset")
            .click(Control::Check1)
            .shot("hidden again", Expect().gridHidden())
            .click(Control::Check1)
            .shot("shown again");
        s.emplace_back("arrow keys step A one pixel, or ten with Shift", Everyone);
        s.back()
            .click(Control::Check1)
            .tap(kFar) // the surface takes the focus; a click moves nothing
            .key(Arrow::Right, false, false, false, false, 10)
            .shot("right ten times", moved(10, 0).gridHidden())
            .key(Arrow::Up, true, false, false, false, 3)
            .shot("shift up three times", moved(10, -30).gridHidden());
        // With Shift too, so that a chord let through would move A by ten pixels.
        s.emplace_back("Ctrl, Alt or Meta with an arrow moves nothing", Desktop | Page);
        s.back()
            .tap(kFar)
            .key(Arrow::Right, true, true)
            .key(Arrow::Down, true, false, true)
            .key(Arrow::Left, true, false, false, true)
            .shot("unmoved");
        s.emplace_back("A follows the pointer a million pixels away and back", Core);
        s.back()
            .drag({450, 300}, {-2450, 2700})
            .shot("beyond the edges", moved(-2450, 2700))
            .down({700, 300})
            .move({1000700, -999700})
            .shot("far", moved(-2450 + 1e6, 2700 - 1e6))
            .move({700, 300})
            .up({700, 300})
            .shot("back", moved(-2450, 2700));
        s.emplace_back("moves without a press, and a click, change nothing", Core);
        s.back().move({100, 300}).move({500, 400}).tap({600, 450}).shot("unmoved");
        s.emplace_back("presses on a mark, a grid line and a segment drag", Core);
        s.back()
            .click(Control::Command2_0)
            .drag(onA + At {0, 2}, {5, 0}) // the mark is centred on A
            .drag({855, 54.1 * 4}, {0, 7})
            .drag({bc.X1 + 50.0, bc.Y1}, {-3, 0})
            .shot("dragged", moved(2, 7).withMarks(1));
        s.emplace_back("no move acts after a reset or a resize until the next press", Core);
        s.back()
            .down({700, 450})
            .move({710, 450})
            .click(Control::Command1)
            .move({760, 450})
            .shot("after reset")
            .down({700, 450})
            .resize(800, 500)
            .move({760, 450})
            .shot("after resize");
        s.emplace_back("the page paints the core's draw list", Page);
        s.back()
            .drag(kFar, {10, -5})
            .click(Control::Command2_0)
            .click(Control::Option1_1)
            .stroke({{700, 120}, {760, 150}})
            .click(Control::Check1)
            .shot("painted", moved(10, -5).withMarks(1).withMemo(1).inMemoMode().gridHidden())
            .add(Step {Step::Commands});

        std::vector<Row> rows;
        for (Script &script : s)
            rows.push_back(std::move(script.row));
        return rows;
    }

} // namespace

const std::vector<Row> &rows()
{
    static const std::vector<Row> table = makeRows();
    return table;
}

} // namespace session
