#ifndef BRINMOOR_TESTS_FUZZ_EVENT_MODEL_H
#define BRINMOOR_TESTS_FUZZ_EVENT_MODEL_H

// What a user, a touch screen or a window system can send the window, as plain records, and
// a generator that draws them from any source of numbers: a seeded generator in the window
// fuzzer, the fuzzer engine's bytes in the figure fuzz target. Plain C++, no Qt.

#include "board/controls.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A source of raw numbers: SplitMix64 from a seed (the same sequence for a seed on every
// platform and compiler), or a byte buffer read four bytes at a time, zeros once it is used
// up. Event generation only asks for values below a bound.
class Entropy
{
public:
    explicit Entropy(std::uint64_t seed) : state(seed) { }
    Entropy(const std::uint8_t *data, std::size_t size) : data(data), size(size) { }
    std::uint32_t next();
    bool exhausted() const { return data && offset >= size; }
    std::uint32_t below(std::uint32_t bound) { return bound == 0 ? 0 : next() % bound; }
    bool chance(std::uint32_t percent) { return below(100) < percent; }

private:
    std::uint64_t state = 0;
    const std::uint8_t *data = nullptr;
    std::size_t size = 0, offset = 0;
};

enum class Button { Left, Right, Middle, Back, Forward };
inline constexpr int kButtonCount = 5;

enum class Key { Tab, Backtab, Space, Up, Down, Left, Right, Return, Escape };
inline constexpr int kKeyCount = 9;

enum class EventKind {
    Press, // a button goes down at (x, y)
    Move, // the pointer moves to (x, y), buttons as they are
    Release, // a button goes up at (x, y), held or not
    DoubleClick, // press, release, press, release at (x, y) in quick succession
    Click, // press and release inside a control, enabled or not, repeat times in a row
    KeyPress, // a key pressed and released; it goes to the control with the focus
    Resize, // the client area becomes width x height
    FarDrag, // press, then steps moves to (x + farX, y + farY), steps moves back, release
    Deactivate, // another window takes the activation and the pointer grab
    HideShow, // the window is hidden and shown again
    Touch, // one finger down at (x, y), steps moves by (farX, farY) / steps, up
};

struct Event
{
    EventKind kind = EventKind::Move;
    Button button = Button::Left;
    board::Control control = board::Control::Command1;
    Key key = Key::Space;
    bool nearA = false; // (x, y) is an offset from vertex A, so presses hit A's name too
    double x = 0, y = 0; // pointer position in client pixels (or offset from A)
    double farX = 0, farY = 0; // FarDrag and Touch: the displacement out and back
    int steps = 1;
    int repeat = 1; // Click: up to a dozen, enough to use up all the marks
    int width = 0, height = 0; // Resize
};

// Draws the next event. Positions are mostly on and around a classroom-sized window, with
// fractional parts as high-density screens report them; some lie a million pixels away.
Event nextEvent(Entropy &entropy);

std::string describe(const Event &event);

} // namespace fuzz

#endif
