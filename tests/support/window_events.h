// Events sent to a top-level widget the way the window system delivers them: through its
// QWindow, so that pointer grabs, popups, double clicks and child controls route them as on
// a desktop.
#ifndef BRINMOOR_TESTS_SUPPORT_WINDOW_EVENTS_H
#define BRINMOOR_TESTS_SUPPORT_WINDOW_EVENTS_H

#include <QEvent>
#include <QPointF>

class QWidget;

namespace support {

// Shows the window and waits until the platform has exposed it. A window that never shows
// leaves nothing to test, so the run stops there; unlike Q_ASSERT this also holds when
// QT_NO_DEBUG is defined.
void showExposed(QWidget &window);

// The mouse over one window. Presses lie far apart in time, so two never make a double click
// unless pressAgain asks for one.
class Pointer
{
public:
    explicit Pointer(QWidget &window) : window(window) { }

    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton);
    // A second press at the time of the last event: Qt makes a double click of it.
    void pressAgain(QPointF at, Qt::MouseButton button = Qt::LeftButton);
    void move(QPointF to);
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton);
    void click(QPointF at, Qt::MouseButton button = Qt::LeftButton);
    // A press, `steps` evenly spaced moves and a release.
    void drag(QPointF from, QPointF to, int steps = 4, Qt::MouseButton button = Qt::LeftButton);

private:
    void send(QEvent::Type type, QPointF at, Qt::MouseButton button);

    QWidget &window;
    Qt::MouseButtons held;
    unsigned long timestamp = 0;
};

// One key event, to whatever the window gives keys to: its focus widget, or itself.
void sendKey(QWidget &window, QEvent::Type type, Qt::Key key,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A press and its release.
void typeKey(QWidget &window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

} // namespace support

#endif
