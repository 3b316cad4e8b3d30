#ifndef BRINMOOR_TESTS_FUZZ_WINDOW_DRIVER_H
#define BRINMOOR_TESTS_FUZZ_WINDOW_DRIVER_H

#include "event_model.h"
#include "figure_invariants.h"
#include "window_events.h"

#include <QPointF>
#include <QSize>
#include <QWidget>

#include <array>
#include <deque>
#include <functional>
#include <string>

class Form1;
class QAbstractButton;
class QCheckBox;
class QPointingDevice;

namespace fuzz {

// Plays events on a shown Form1 the way the window system delivers them (through its
// QWindow, so grabs, double clicks and child controls behave as on a desktop) and checks every
// invariant after each single window-system event.
class WindowDriver
{
public:
    explicit WindowDriver(Form1 &form);

    // Plays one event of the model, which may be several window-system events.
    void play(const Event &event);

    // Paints everything that is due, as the event loop would between events.
    void paint(bool wholeWindow);

    long long eventCount() const { return events; }
    bool failed() const { return !failure.empty(); }
    const std::string &failureText() const { return failure; }

private:
    void press(QPointF at, Qt::MouseButton button, bool again = false);
    void move(QPointF to);
    void release(QPointF at, Qt::MouseButton button);
    void click(const Event &event);
    void key(Key key);
    void resize(int width, int height);
    void deactivate();
    void hideAndShow();
    void touch(const Event &event);

    QPointF position(const Event &event) const;

    // Runs one window-system event and then checks everything.
    void step(const char *what, const std::function<void()> &deliver);
    std::string brokenInvariant(const figure::FigureState &before) const;

    Form1 &form;
    support::Pointer pointer;
    QWidget other; // takes the activation away
    QPointingDevice *touchScreen;
    std::array<QAbstractButton *, board::kControlCount> controls {};
    QCheckBox *gridBox = nullptr;
    QSize resetSize; // client size of the last initial screen
    QPointF keyStep; // where the arrow key being pressed moves A, if it does
    figure::FigureState base; // the last initial screen
    long long events = 0;
    std::string failure;
};

} // namespace fuzz

#endif
