#ifndef BRINMOOR_TESTS_FUZZ_WINDOW_DRIVER_H
#define BRINMOOR_TESTS_FUZZ_WINDOW_DRIVER_H

#include "event_model.h"
#include "figure_invariants.h"
#include "window_events.h"

#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointingDevice>
#include <QtGui/qtestsupport_gui.h>
#include <QtTest>

#include <functional>

namespace fuzz {

// Plays events on a shown Form1 the way the window system delivers them (through its
// QWindow, so grabs, double clicks and child controls behave as on a desktop) and checks every
// invariant after each single window-system event.
class WindowDriver
{
public:
    explicit WindowDriver(Form1 &form)
        : form(form), pointer(form),
          base(board::Board(float(form.width()), float(form.height())).state())
    {
        for (int i = 0; i < board::kControlCount; ++i)
            controls[static_cast<std::size_t>(i)] = form.findChild<QAbstractButton *>(
                QLatin1String(board::kControls[std::size_t(i)].name));
        other.resize(200, 100);
        other.show();
        form.activateWindow();
        QCoreApplication::processEvents();
    }

    // Plays one event of the model, which may be several window-system events.
    void play(const Event &event)
    {
        static constexpr Qt::MouseButton kButtons[kButtonCount] {
            Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton};
        const figure::FigureState &f = form.core().state();
        const QPointF at =
            QPointF(event.x, event.y) + (event.nearA ? QPointF(f.xA, f.yA) : QPointF());
        const QPointF far(event.farX, event.farY);
        const Qt::MouseButton button = kButtons[static_cast<std::size_t>(event.button)];
        const auto press = [&](QPointF where, Qt::MouseButton which, bool again = false) {
            step("press", [&] { pointer.press(where, which, again); });
        };
        const auto move = [&](QPointF to) { step("move", [&] { pointer.move(to); }); };
        const auto release = [&](QPointF where, Qt::MouseButton which) {
            step("release", [&] { pointer.release(where, which); });
        };
        switch (event.kind) {
        case EventKind::Press:
            press(at, button);
            break;
        case EventKind::Move:
            move(at);
            break;
        case EventKind::Release:
            release(at, button);
            break;
        case EventKind::DoubleClick:
            // The same place and time stamp: the second press arrives as a double click.
            for (bool again : {false, true})
                press(at, button, again), release(at, button);
            break;
        case EventKind::Click: {
            // Anywhere inside the control, enabled or not: a disabled one lets the press through.
            const QRect box = controls[static_cast<std::size_t>(event.control)]->geometry();
            const QPointF inside = QPointF(box.topLeft())
                + QPointF(std::fmod(std::abs(event.x), box.width()),
                    std::fmod(std::abs(event.y), box.height()));
            for (int i = 0; i < event.repeat; ++i)
                press(inside, Qt::LeftButton), release(inside, Qt::LeftButton);
            break;
        }
        case EventKind::KeyPress:
            key(event.key);
            break;
        case EventKind::Resize:
            step("resize", [&] {
                form.resize(event.width, event.height);
                // Every non-empty client size lays out a new initial screen (the same one for the
                // same size); an empty one keeps the last.
                if (!form.size().isEmpty())
                    base = board::Board(float(form.width()), float(form.height())).state();
            });
            break;
        case EventKind::FarDrag:
            press(at, button);
            for (int i = 1 - event.steps; i <= event.steps; ++i) // out and back
                move(at + far * (double(event.steps - std::abs(i)) / event.steps));
            release(at, button);
            break;
        case EventKind::Deactivate:
            for (QWidget *window : {&other, static_cast<QWidget *>(&form)})
                step(window == &form ? "activate" : "deactivate", [&] {
                    window->activateWindow();
                    QCoreApplication::processEvents();
                });
            break;
        case EventKind::HideShow:
            step("hide", [&] { form.hide(); });
            step("show", [&] { form.show(), QCoreApplication::processEvents(); });
            break;
        case EventKind::Touch:
            // Delivered as the window system reports a finger; Qt makes the mouse events from it.
            finger("touch begin", QEventPoint::Pressed, at);
            for (int i = 1; i <= event.steps; ++i)
                finger("touch update", QEventPoint::Updated, at + far * (double(i) / event.steps));
            finger("touch end", QEventPoint::Released, at + far);
            break;
        }
    }

    // Paints everything that is due, as the event loop would between events.
    void paint(bool wholeWindow)
    {
        if (failed())
            return;
        if (wholeWindow)
            form.grab();
        QCoreApplication::processEvents();
        step("paint", [] {});
    }

    long long eventCount() const { return events; }
    bool failed() const { return !failure.empty(); }
    const std::string &failureText() const { return failure; }

private:
    void finger(const char *what, QEventPoint::State state, QPointF at)
    {
        if (!touchScreen) // Qt keeps a touch screen to the end: made only when needed
            touchScreen = QTest::createTouchDevice();
        QWindow *window = form.windowHandle();
        const QEventPoint point(0, state, at, window->mapToGlobal(at));
        step(what, [&] { qt_handleTouchEventv2(window, touchScreen, {point}); });
    }
    void key(Key which)
    {
        static constexpr Qt::Key kKeys[kKeyCount] {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space,
            Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Return, Qt::Key_Escape};
        const Qt::Key code = kKeys[static_cast<std::size_t>(which)];
        // An arrow key on the drawing surface steps A by one pixel in move-A mode.
        const QPointF arrows[] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        const bool arrow = which >= Key::Up && which <= Key::Right;
        // Keys go to the window's focus widget, active or not, and to the window when it has none;
        // the drawing surface takes the window's focus.
        const bool toSurface = !form.focusWidget() || form.focusWidget() == form.focusProxy();
        if (arrow && toSurface && form.core().mode() == board::Mode::MoveA)
            keyStep = arrows[static_cast<int>(which) - static_cast<int>(Key::Up)];
        step("key press", [&] { support::sendKey(form, QEvent::KeyPress, code); });
        keyStep = QPointF();
        step("key release", [&] { support::sendKey(form, QEvent::KeyRelease, code); });
    }

    // Runs one window-system event and then checks everything.
    void step(const char *what, const std::function<void()> &deliver)
    {
        if (failed())
            return;
        const figure::FigureState before = form.core().state();
        deliver();
        ++events;
        if (const std::string broken = brokenInvariant(before); !broken.empty())
            failure = std::string("after ") + what + ": " + broken;
    }
    std::string brokenInvariant(const figure::FigureState &before) const
    {
        const figure::FigureState &f = form.core().state();
        if (std::string broken = checkFigure(f, form.core().scene()); !broken.empty())
            return broken;
        if (std::string broken = checkBase(f, base); !broken.empty())
            return broken;

        const bool canPlace = controls[4]->isEnabled();
        const bool canRemove = controls[5]->isEnabled();
        if (canPlace != (f.markCount < scene::kMarks) || canRemove != (f.markCount > 0))
            return text("mark buttons (place %g, remove %g) disagree with markCount %g", canPlace,
                canRemove, f.markCount);
        if (const bool checked = controls[std::size_t(board::Control::Check1)]->isChecked();
            checked != (f.gridShown == 1))
            return text(
                "the grid check box (%g) disagrees with gridShown %g", checked, f.gridShown);

        // A moves only during a press, and then by exactly the pointer's displacement.
        if (f.xA == before.xA && f.yA == before.yA)
            return {};
        if (f.lastX == before.lastX && f.lastY == before.lastY && f.xA == base.xA && f.yA == base.yA
            && f.markCount == 0 && f.dragging == 0)
            return {}; // an initial screen put A back
        if (!keyStep.isNull() && f.xA == before.xA + keyStep.x() && f.yA == before.yA + keyStep.y())
            return {}; // the arrow key being pressed stepped it
        if (before.dragging != 1)
            return text("A moved from (%g, %g) without a press", before.xA, before.yA);
        if (f.xA != before.xA + double(f.lastX - before.lastX)
            || f.yA != before.yA + double(f.lastY - before.lastY))
            return text("A moved to (%.6f, %.6f), not by the pointer's displacement from x %.6f",
                f.xA, f.yA, before.xA);
        return {};
    }

    Form1 &form;
    support::Pointer pointer;
    QWidget other; // takes the activation away
    QPointingDevice *touchScreen = nullptr;
    std::array<QAbstractButton *, board::kControlCount> controls {};
    QPointF keyStep; // where the arrow key being pressed moves A, if it does
    figure::FigureState base; // the last initial screen
    long long events = 0;
    std::string failure;
};

} // namespace fuzz

#endif
