// Scripted sessions as data: what a user does, step by step, and at each checkpoint what the
// user must see. One table, played by the core alone (tst_sessions), the desktop program and the
// Windows program under Wine in Xvfb (tst_e2e) and the page in three browsers (tst_page); each
// row names its players.
#ifndef BRINMOOR_TESTS_SUPPORT_SESSION_H
#define BRINMOOR_TESTS_SUPPORT_SESSION_H

#include "board/board.h"

#include <string>
#include <vector>

namespace session {

enum Player : unsigned {
    Core = 1,
    Desktop = 2, // XTEST: a mouse and a keyboard; the ratio is set at launch only
    Chromium = 4,
    Firefox = 8,
    WebKit = 16,
    Page = Chromium | Firefox | WebKit,
    Windows = 32, // Brinmoor.exe under Wine, with the desktop's XTEST user
    Everyone = Core | Desktop | Windows | Page,
};

enum class Pointer { Mouse, Pen, Touch };
enum class Button { Left, Middle, Right }; // the page's numbering, 0 to 2

enum class Colours {
    Initial, // BCE blue, ABF magenta, ACD green, FE and DE grey
    Drag, // black, the four sides of AFED light red
    Rectangle, // black, the four sides of AFED light blue
};

// What the core must hold at a checkpoint; every field is checked, the defaults being the
// start-up state.
struct Expect
{
    double dx = 0, dy = 0; // A's offset from where the initial screen of the current size puts it
    Colours colours = Colours::Initial;
    int marks = 0;
    bool grid = true; // grid lines shown and the box checked
    int memo = 0; // memo segments drawn since the memo was last cleared
    board::Mode mode = board::Mode::MoveA;
};

struct Step
{
    enum Kind { Down, Move, Up, Click, Key, Resize, Shot, Commands } kind = Shot;
    Pointer pointer = Pointer::Mouse;
    Button button = Button::Left;
    double x = 0, y = 0; // Down, Move, Up: logical place; Resize: the new client size
    double scale = 1; // Resize: the device pixel ratio
    board::Control control = board::Control::Command1; // Click
    board::Key key = board::Key::Left; // Key: an arrow
    bool shift = false, ctrl = false, alt = false, meta = false; // Key
    std::string name; // Shot
    Expect expect; // Shot
};

struct Row
{
    std::string name;
    unsigned players;
    std::vector<Step> steps;
    double width = board::kDesignWidth, height = board::kDesignHeight, scale = 1;
};

const std::vector<Row> &rows();

// Plays steps on a board::Board through the calls a front-end makes. What the platform adds (a
// press and release of the main button inside a control is that control's click) is modelled
// here once. Plain C++, so that the libFuzzer target plays steps too.
class Replay
{
public:
    Replay(double width, double height, double ratio = 1) : board(float(width), float(height))
    {
        board.setClientSize(float(width), float(height), float(ratio));
    }

    struct Outcome
    {
        std::vector<board::Changes> changes; // every change the board reported, in order
        bool refusedMark = false; // a click on the place-mark button placed nothing
    };
    Outcome play(const Step &step);
    bool holds(Pointer pointer) const { return held[std::size_t(pointer)] != 0; }

protected:
    board::Board board;

private:
    void click(board::Control control, Outcome &out);

    unsigned held[3] = {}; // board::Button bits down, per pointer kind
    int pressedOn[3] = {-1, -1, -1}; // the control each mouse button went down on, or -1
};

} // namespace session

#endif
