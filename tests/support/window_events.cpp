#include "window_events.h"

#include <QWidget>
#include <QtTest>

namespace support {

void showExposed(QWidget &window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window was never exposed: nothing on it can be tested");
}

void Pointer::press(QPointF at, Qt::MouseButton button)
{
    timestamp += 1000; // beyond any double-click interval
    pressAgain(at, button);
}

void Pointer::pressAgain(QPointF at, Qt::MouseButton button)
{
    held |= button;
    send(QEvent::MouseButtonPress, at, button);
}

void Pointer::move(QPointF to)
{
    timestamp += 7;
    send(QEvent::MouseMove, to, Qt::NoButton);
}

void Pointer::release(QPointF at, Qt::MouseButton button)
{
    held &= ~Qt::MouseButtons(button);
    send(QEvent::MouseButtonRelease, at, button);
}

void Pointer::click(QPointF at, Qt::MouseButton button)
{
    press(at, button);
    release(at, button);
}

void Pointer::drag(QPointF from, QPointF to, int steps, Qt::MouseButton button)
{
    press(from, button);
    for (int i = 1; i <= steps; ++i)
        move(from + (to - from) * (double(i) / steps));
    release(to, button);
}

void Pointer::send(QEvent::Type type, QPointF at, Qt::MouseButton button)
{
    QWindow *handle = window.windowHandle();
    qt_handleMouseEvent(
        handle, at, handle->mapToGlobal(at), held, button, type, Qt::NoModifier, timestamp);
}

void sendKey(QWidget &window, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    qt_handleKeyEvent(window.windowHandle(), type, key, modifiers, text);
}

void typeKey(QWidget &window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    sendKey(window, QEvent::KeyPress, key, modifiers);
    sendKey(window, QEvent::KeyRelease, key, modifiers);
}

} // namespace support
