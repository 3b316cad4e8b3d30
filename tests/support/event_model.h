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

// A source of raw numbers; Event generation only asks for values below a bound.
class Entropy
{
public:
    virtual ~Entropy() = default;
    virtual std::uint32_t next() = 0;

    std::uint32_t below(std::uint32_t bound) { return bound == 0 ? 0 : next() % bound; }
    bool chance(std::uint32_t percent) { return below(100) < percent; }
};

// SplitMix64: the same sequence for a seed on every platform and compiler.
class SeededEntropy : public Entropy
{
public:
    explicit SeededEntropy(std::uint64_t seed) : state(seed) { }
    std::uint32_t next() override;

private:
    std::uint64_t state;
};

// Reads the numbers from a byte buffer, four bytes each; zeros once the buffer is used up.
class ByteEntropy : public Entropy
{
public:
    ByteEntropy(const std::uint8_t *data, std::size_t size) : data(data), size(size) { }
    std::uint32_t next() override;
    bool exhausted() const { return offset >= size; }

private:
    const std::uint8_t *data;
    std::size_t size;
    std::size_t offset = 0;
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
inline constexpr int kEventKindCount = 11;

struct Event
{
    EventKind kind = EventKind::Move;
    Button button = Button::Left;
    board::Control control = board::Control::Command1;
    Key key = Key::Space;
    bool nearA = false; // (x, y) is an offset from vertex A, so presses hit A's name too
    double x = 0; // pointer position in client pixels (or offset from A)
    double y = 0;
    double farX = 0; // FarDrag and Touch: the displacement out and back
    double farY = 0;
    int steps = 1;
    int repeat = 1; // Click: up to a dozen, enough to use up all the marks
    int width = 0; // Resize
    int height = 0;
};

// Draws the next event. Positions are mostly on and around a classroom-sized window, with
// fractional parts as high-density screens report them; some lie a million pixels away.
Event nextEvent(Entropy &entropy);

std::string describe(const Event &event);

} // namespace fuzz

#endif
