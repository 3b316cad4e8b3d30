#include "session.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>

namespace session {

namespace {

    // The places the scripts name, from the opening screen and the controls' design.
    std::map<std::string, std::pair<double, double>> namedPlaces()
    {
        const board::Board start;
        const figure::FigureState &f = start.state();
        const scene::LabelItem &nameA = start.scene().Label1[0];
        const scene::LineItem &bc = start.scene().Line1[0];
        std::map<std::string, std::pair<double, double>> places {{"far", {820, 480}},
            {"onMark", {f.xA, f.yA + 2}}, {"onGrid", {855, start.scene().Line5[4].Y1}},
            {"aboveA", {std::floor(f.xA), std::floor(f.yA - 1)}},
            {"inNameA", {std::ceil(nameA.Left) + 4, std::ceil(nameA.Top) + 8}},
            {"leftOfNameA", {std::floor(nameA.Left) - 3, std::ceil(nameA.Top) + 8}},
            {"onBC", {bc.X1 + 50.0, bc.Y1}},
            {"leftOfNameB", {205, std::round(start.scene().Label1[1].Top) + 12}}};
        for (const board::ControlDesign &c : board::kControls)
            places[c.name] = {c.left + c.width / 2, c.top + c.height / 2};
        return places;
    }

    // Appends the steps one item of a script stands for.
    void addSteps(const std::string &item, std::vector<Step> &steps)
    {
        static const auto places = namedPlaces();
        std::istringstream in(item);
        std::string kind, word;
        Step s;
        Expect &e = s.expect;
        in >> kind;
        if (kind == "shot")
            in >> s.name;
        std::vector<double> at; // the places given, x and y in turn, then a ratio
        double dx = 0, dy = 0;
        int times = 1, moves = 2;
        const auto number = [&] { return in >> word, std::stod(word); };
        std::map<std::string, std::function<void()>> words {
            {"by", [&] { dx = number(), dy = number(); }}, {"in", [&] { moves = int(number()); }},
            {"right", [&] { s.button = Button::Right; }},
            {"middle", [&] { s.button = Button::Middle; }},
            {"pen", [&] { s.pointer = Pointer::Pen; }},
            {"touch", [&] { s.pointer = Pointer::Touch; }}, {"shift", [&] { s.shift = true; }},
            {"ctrl", [&] { s.ctrl = true; }}, {"alt", [&] { s.alt = true; }},
            {"meta", [&] { s.meta = true; }},
            {"A", [&] { e.dx = number(), e.dy = number(), e.colours = Colours::Drag; }},
            {"rectangle", [&] { e.colours = Colours::Rectangle; }},
            {"marks", [&] { e.marks = int(number()); }}, {"hidden", [&] { e.grid = false; }},
            {"memo", [&] { e.memo = int(number()); }},
            {"memo-mode", [&] { e.mode = board::Mode::Memo; }}};
        for (int i = 0; i < board::kControlCount; ++i)
            words[board::kControls[std::size_t(i)].name] = [&s, i] {
                s.control = board::Control(i);
            };
        const char *arrows[] = {"Left", "Right", "Up", "Down"};
        for (int i = 0; i < 4; ++i)
            words[arrows[i]] = [&s, i] { s.key = board::Key(i); };
        while (in >> word) {
            const auto said = words.find(word);
            if (word[0] == '@') {
                const auto [x, y] = places.at(word.substr(1));
                at.insert(at.end(), {x, y});
            } else if (said != words.end())
                said->second();
            else if (word[0] == 'x')
                times = std::stoi(word.substr(1));
            else
                at.push_back(std::stod(word));
        }
        if (kind == "resize" && at.size() > 2)
            s.scale = at[2];
        at.resize(std::max(at.size(), std::size_t(2)));
        const auto add = [&](Step::Kind k, double x, double y) {
            s.kind = k, s.x = x, s.y = y;
            steps.push_back(s);
        };
        const std::map<std::string, Step::Kind> kinds {{"down", Step::Down}, {"move", Step::Move},
            {"up", Step::Up}, {"click", Step::Click}, {"key", Step::Key}, {"resize", Step::Resize},
            {"shot", Step::Shot}, {"commands", Step::Commands}};
        if (kind == "drag")
            for (int i = 1; i <= moves; ++i)
                at.insert(at.end(), {at[0] + dx * i / moves, at[1] + dy * i / moves});
        if (kind == "drag" || kind == "stroke" || kind == "tap") {
            for (std::size_t i = 0; i < at.size(); i += 2)
                add(i == 0 ? Step::Down : Step::Move, at[i], at[i + 1]);
            add(Step::Up, at[at.size() - 2], at.back());
        } else
            for (int i = 0; i < times; ++i)
                add(kinds.at(kind), at[0], at[1]);
    }

    // A row's steps, read from a script of one step per ';':
    //   down|move|up X Y [right|middle] [pen|touch]
    //   drag X Y by DX DY [in MOVES] [right|middle] [pen|touch]   (press, moves, release)
    //   stroke X Y X Y ...                  (press at the first point, moves, release)
    //   tap X Y;  click CONTROL [xN];  key Left|Right|Up|Down [shift|ctrl|alt|meta] [xN]
    //   resize WIDTH HEIGHT [RATIO];  commands
    //   shot NAME [A DX DY] [rectangle] [marks N] [hidden] [memo N] [memo-mode]
    // A place is two numbers or @NAME: a control's centre (@Command1) or a place the
    // opening screen decides (@far, @onMark just below A, @aboveA, @inNameA, @leftOfNameA,
    // @onGrid on a grid row, @onBC, and @leftOfNameB level with B's opaque name).
    std::vector<Step> parse(const std::string &script)
    {
        std::vector<Step> steps;
        std::istringstream items(script);
        for (std::string item; std::getline(items, item, ';');)
            try {
                addSteps(item, steps);
            } catch (const std::exception &) {
                throw std::invalid_argument("cannot read '" + item + "'");
            }
        return steps;
    }

} // namespace

const std::vector<Row> &rows()
{
    static const std::vector<Row> table {
        {"opening screen", Everyone, parse("shot opening")},
        {"ratio 2", Everyone, parse("shot opening; drag @far by -30 20; shot dragged A -30 20"),
            900, 541, 2},
        // 900 x 540 is whole device pixels at 1.25.
        {"ratio 1.25", Core | Page,
            parse("shot opening; drag @far by -30 20; shot dragged A -30 20"), 900, 540, 1.25},
        {"drag far from A, then moves without a press", Everyone,
            parse("drag @far by 10 -5; shot dragged A 10 -5; move 620 380; move 520 180;"
                  "shot released A 10 -5")},
        {"every mouse button drags", Everyone,
            parse("drag @far by -20 10 right; shot right A -20 10; drag @far by -20 10 middle;"
                  "shot middle A -40 20")},
        {"finger drag", Core | Page, parse("drag @far by 10 -5 touch; shot dragged A 10 -5")},
        {"pen drag", Core | Page, parse("drag @far by 10 -5 pen; shot dragged A 10 -5")},
        {"one move onto a rectangle lights AFED blue", Everyone,
            parse("drag 800 100 by 38 54 in 1; shot lit A 38 54 rectangle")},
        {"press on A's name starts no drag, left of it does", Everyone,
            parse("drag @inNameA by 30 20 in 3; shot unmoved; drag @leftOfNameA by 30 20 in 3;"
                  "shot dragged A 30 20")},
        {"press 1 px above vertex A, then drag", Everyone,
            parse("drag @aboveA by 25 15; shot dragged A 25 15")},
        // Over 初期画面 with the left button held: A ends moved by (52 - 120, 36 - 200) + (20, 10).
        {"a further button during a drag", Everyone,
            parse("down 120 200; move 52 36; down 52 36 right; move 72 46; up 72 46 right;"
                  "up 72 46; shot restarted A -48 -154")},
        {"releasing a second button ends the drag", Everyone,
            parse("down 700 400; move 710 400; down 710 400 right; move 725 400; up 725 400 right;"
                  "move 780 420; up 780 420; shot ended A 25 0")},
        // The blank right part of the grid box is the box; 点をけす is disabled; the left drag
        // from Ａ移動・メモクリア is released off it.
        {"presses on controls stay with them", Everyone,
            parse("drag @far by 12 -8; drag @Command1 by 400 300 in 3 right;"
                  "drag @Command2_0 by 400 300 in 3 middle; drag @Command2_1 by 300 200 in 3;"
                  "drag 180 24 by 220 276; shot unmoved A 12 -8; drag 216 76 by 8 11 in 3;"
                  "shot grid-box-clicked A 12 -8 hidden")},
        {"marks stop at ten and go last first", Everyone,
            parse("click Command2_0; drag @far by 14 0; click Command2_0; drag @far by 14 0;"
                  "click Command2_0; drag @far by 14 0; click Command2_0; drag @far by 14 0;"
                  "click Command2_0; drag @far by 14 0; click Command2_0; drag @far by 14 0;"
                  "click Command2_0; drag @far by 14 0; click Command2_0; drag @far by 14 0;"
                  "click Command2_0; drag @far by 14 0; click Command2_0; drag @far by 14 0;"
                  "shot ten A 140 0 marks 10; click Command2_0; shot no-eleventh A 140 0 marks 10;"
                  "click Command2_1 x2; shot eight A 140 0 marks 8; click Command1; shot reset")},
        {"two marks on one spot need two removes", Everyone,
            parse("click Command2_0; drag @far by 60 -40; click Command2_0 x2; click Command2_1;"
                  "shot marks A 60 -40 marks 2")},
        {"memo strokes last until an option click or a resize", Everyone,
            parse("drag @far by 20 -10; click Option1_1; drag 300 25 by 300 0 in 6;"
                  "drag 700 250 by 150 170 in 5; drag @leftOfNameB by 140 0 in 4;"
                  "click Command2_0; shot drawn A 20 -10 marks 1 memo 15 memo-mode;"
                  "click Command1; shot kept-through-reset memo 15 memo-mode; click Check1 x2;"
                  "shot kept-through-the-grid memo 15 memo-mode; click Option1_1;"
                  "shot cleared-by-the-selected-option memo-mode; drag 300 25 by 300 0 in 6;"
                  "drag 700 250 by 150 170 in 5; shot drawn-again memo 11 memo-mode;"
                  "click Option1_0; shot cleared-by-the-other-option; drag @far by -6 4;"
                  "shot move-mode-draws-nothing A -6 4; click Option1_1;"
                  "drag 300 25 by 300 0 in 6; shot before-resize A -6 4 memo 6 memo-mode;"
                  "resize 640 480; shot cleared-by-resize memo-mode; drag 560 460 by 70 0 in 1;"
                  "shot at-the-new-size memo 1 memo-mode")},
        {"a new ratio alone keeps the strokes", Core | Page,
            parse("click Option1_1; stroke 700 120 760 150 800 240; resize 900 541 2;"
                  "shot kept-at-ratio-2 memo 2 memo-mode; resize 800 500 2;"
                  "shot cleared-by-resize memo-mode")},
        // Xvfb has no window manager to minimise with, and a browser keeps its viewport.
        {"minimise and restore keeps the strokes, A and the marks", Core,
            parse("drag @far by 25 15; click Command2_0; click Option1_1; stroke 700 120 760 150;"
                  "resize 0 0; resize 900 541; shot restored A 25 15 marks 1 memo 1 memo-mode")},
        {"the same size again changes nothing", Everyone,
            parse("drag @far by 25 15; click Command2_0; click Option1_1; stroke 700 120 760 150;"
                  "resize 900 541; shot unchanged A 25 15 marks 1 memo 1 memo-mode")},
        {"resize shows the initial screen of the new size", Everyone,
            parse("drag @far by 25 15; click Command2_0; shot dragged A 25 15 marks 1;"
                  "resize 640 480; shot 640x480; resize 900 541; shot back-to-900x541")},
        {"reset or resize shows the grid and checks the box", Everyone,
            parse("click Check1; shot hidden hidden; click Command1; shot reset; click Check1;"
                  "shot hidden-again hidden; click Check1; shot shown-again; click Check1;"
                  "resize 700 500; shot resized")},
        // The surface takes the focus with a click, which moves nothing.
        {"arrow keys step A one pixel, or ten with Shift", Everyone,
            parse("click Check1; tap @far; key Right x10; shot right-ten-times A 10 0 hidden;"
                  "key Up shift x3; shot shift-up-three-times A 10 -30 hidden")},
        // With Shift too, so that a chord let through would move A by ten pixels.
        {"Ctrl, Alt or Meta with an arrow moves nothing", Everyone,
            parse("tap @far; key Right shift ctrl; key Down shift alt; key Left shift meta;"
                  "shot unmoved")},
        {"A follows the pointer a million pixels away and back", Core,
            parse("drag 450 300 by -2450 2700; shot beyond-the-edges A -2450 2700; down 700 300;"
                  "move 1000700 -999700; shot far A 997550 -997300; move 700 300; up 700 300;"
                  "shot back A -2450 2700")},
        {"moves without a press, and a click, change nothing", Core,
            parse("move 100 300; move 500 400; tap 600 450; shot unmoved")},
        // The mark is centred on A.
        {"presses on a mark, a grid line and a segment drag", Core,
            parse("click Command2_0; drag @onMark by 5 0; drag @onGrid by 0 7; drag @onBC by -3 0;"
                  "shot dragged A 2 7 marks 1")},
        {"no move acts after a reset or a resize until the next press", Core,
            parse("down 700 450; move 710 450; click Command1; move 760 450; shot after-reset;"
                  "down 700 450; resize 800 500; move 760 450; shot after-resize")},
        {"the page paints the core's draw list", Page | Windows,
            parse("drag @far by 10 -5; click Command2_0; click Option1_1; stroke 700 120 760 150;"
                  "click Check1; shot painted A 10 -5 marks 1 memo 1 memo-mode hidden; commands")},
    };
    return table;
}

Replay::Outcome Replay::play(const Step &step)
{
    Outcome out;
    const auto pointer = std::size_t(step.pointer), index = std::size_t(step.button);
    const unsigned button =
        std::array {board::LeftButton, board::MiddleButton, board::RightButton}[index];
    const auto controlAt = [&] {
        for (int i = 0; i < board::kControlCount; ++i)
            if (board::kControls[std::size_t(i)].box().contains({step.x, step.y}))
                return i;
        return -1;
    };
    const auto x = float(step.x), y = float(step.y);
    auto &changes = out.changes;
    if (step.kind == Step::Down) {
        pressedOn[index] = held[pointer] || step.pointer != Pointer::Mouse ? -1 : controlAt();
        changes.push_back(board.press(x, y, button, held[pointer] |= button));
    }
    if (step.kind == Step::Move)
        changes.push_back(board.move(x, y));
    if (step.kind == Step::Up) {
        changes.push_back(board.release(button, held[pointer] &= ~button));
        // A left click is a press and a release inside one control, nothing else held.
        if (step.button == Button::Left && !held[pointer] && pressedOn[index] >= 0
            && pressedOn[index] == controlAt())
            click(board::Control(pressedOn[index]), out);
        pressedOn[index] = -1;
    }
    if (step.kind == Step::Click)
        click(step.control, out);
    if (step.kind == Step::Key)
        changes.push_back(board.key(step.key,
            (step.shift ? board::Shift : 0u) | (step.ctrl ? board::Ctrl : 0u)
                | (step.alt ? board::Alt : 0u) | (step.meta ? board::Meta : 0u)));
    if (step.kind == Step::Resize)
        changes.push_back(board.setClientSize(x, y, float(step.scale)));
    return out;
}

void Replay::click(board::Control control, Outcome &out)
{
    const int marks = board.state().markCount;
    out.changes.push_back(board.clickControl(control));
    out.refusedMark = control == board::Control::Command2_0 && board.state().markCount == marks;
}

} // namespace session
