// Events sent to a top-level widget as the window system delivers them: through its QWindow,
// so that grabs, popups, double clicks and child controls route them as on a desktop.
#ifndef BRINMOOR_TESTS_SUPPORT_WINDOW_EVENTS_H
#define BRINMOOR_TESTS_SUPPORT_WINDOW_EVENTS_H

#include <QWidget>
#include <QtTest>

namespace support {

// Shows the window and waits until it is exposed; unlike Q_ASSERT, also under QT_NO_DEBUG.
inline void showExposed(QWidget &window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window was never exposed");
}

// The mouse over one window. Presses lie far apart in time unless one asks for a double click.
class Pointer
{
public:
    explicit Pointer(QWidget &window) : window(window) { }
    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton, bool doubleClick = false)
    {
        time += doubleClick ? 0 : 1000;
        held |= button;
        send(QEvent::MouseButtonPress, at, button);
    }
    void move(QPointF to) { send(QEvent::MouseMove, to, Qt::NoButton, 7); }
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton)
    {
        held &= ~Qt::MouseButtons(button);
        send(QEvent::MouseButtonRelease, at, button);
    }
    // A press, `steps` evenly spaced moves and a release.
    void drag(QPointF from, QPointF to, int steps = 4, Qt::MouseButton button = Qt::LeftButton)
    {
        press(from, button);
        for (int i = 1; i <= steps; ++i)
            move(from + (to - from) * (double(i) / steps));
        release(to, button);
    }

private:
    void send(QEvent::Type type, QPointF at, Qt::MouseButton button, int later = 0)
    {
        time += later;
        QWindow *handle = window.windowHandle();
        qt_handleMouseEvent(
            handle, at, handle->mapToGlobal(at), held, button, type, Qt::NoModifier, time);
    }

    QWidget &window;
    Qt::MouseButtons held;
    int time = 0;
};

// A key event to the window's focus widget, or to the window when it has none.
inline void sendKey(QWidget &window, QEvent::Type type, Qt::Key key,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    qt_handleKeyEvent(window.windowHandle(), type, key, modifiers, text);
}

} // namespace support

#endif
