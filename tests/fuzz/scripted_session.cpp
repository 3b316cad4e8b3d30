// The program's own start-up (as in app/main.cpp) followed by a short scripted session, for
// valgrind's memcheck: drag A, scribble a memo, place and remove marks, switch the grid, reset,
// resize (also to nothing and back), drag a million pixels away, and quit through the event
// loop. The window fuzzer's driver plays it, checking every invariant after each event
// and painting what is due.
#include "window_driver.h"

#include <QStyleFactory>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brinmoor"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    Form1 window;
    window.show();
    bool carriedOut = false; // false when the script did not reach the window
    QTimer::singleShot(0, &window, [&] {
        using board::Control;
        using fuzz::EventKind;
        fuzz::WindowDriver driver(window);
        const auto play = [&](EventKind kind, double x = 0, double y = 0, Control control = {}) {
            fuzz::Event e;
            e.kind = kind, e.x = e.width = x, e.y = e.height = y, e.control = control;
            driver.play(e);
            if (carriedOut) // not in the first drag: nothing but its own events may reach it
                driver.paint(false);
        };
        const auto drag = [&](double x, double y, double toX, double toY) {
            play(EventKind::Press, x, y), play(EventKind::Move, toX, toY);
            play(EventKind::Release, toX, toY);
        };
        const auto click = [&](Control control) { play(EventKind::Click, 0, 0, control); };
        const double xA = window.core().state().xA;
        drag(700, 400, 640, 250);
        carriedOut = window.core().state().xA == xA - 60;
        click(Control::Command2_0);
        drag(600, 300, 900, 100);
        click(Control::Command2_0);
        carriedOut = carriedOut && window.core().state().markCount == 2; // two marks at once
        for (Control c : {Control::Command2_1, Control::Option1_1})
            click(c);
        drag(720, 80, 820, 140);
        for (Control c : {Control::Check1, Control::Option1_0, Control::Check1, Control::Command1})
            click(c);
        for (const QSize size :
            {QSize(640, 480), QSize(0, 0), QSize(1, 1), QSize(1800, 500), QSize(900, 541)})
            play(EventKind::Resize, size.width(), size.height());
        drag(700, 400, -1000000, 1000000);
        driver.paint(true);
        if (driver.failed())
            qWarning("%s", driver.failureText().c_str());
        carriedOut = carriedOut && !driver.failed();
        window.close();
    });
    const int status = app.exec();
    return status != 0 ? status : carriedOut ? 0 : 2;
}
