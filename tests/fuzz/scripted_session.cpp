// The program's own start-up (as in app/main.cpp) followed by a short scripted session, for
// valgrind's memcheck: drag A, scribble a memo, place and remove marks, switch the grid, reset,
// resize (also to nothing and back), drag a million pixels away, and quit through the event
// loop. The window fuzzer's driver plays it, checking every invariant after each event.
#include "window_driver.h"

#include <QStyleFactory>
#include <QTimer>

namespace {

using fuzz::EventKind;

fuzz::Event at(EventKind kind, double x = 0, double y = 0, board::Control control = {})
{
    fuzz::Event e;
    e.kind = kind, e.x = x, e.y = y, e.control = control;
    return e;
}

std::vector<fuzz::Event> drag(double x, double y, double toX, double toY)
{
    return {at(EventKind::Press, x, y), at(EventKind::Move, toX, toY),
        at(EventKind::Release, toX, toY)};
}

fuzz::Event click(board::Control control)
{
    return at(EventKind::Click, 0, 0, control);
}

} // namespace

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
        fuzz::WindowDriver driver(window);
        const double xA = window.core().state().xA;
        for (const fuzz::Event &e : drag(700, 400, 640, 250))
            driver.play(e);
        carriedOut = window.core().state().xA == xA - 60;
        std::vector<fuzz::Event> script {click(Control::Command2_0)};
        for (const auto &part : {drag(600, 300, 900, 100), {click(Control::Command2_0),
                 click(Control::Command2_1), click(Control::Option1_1)},
                 drag(720, 80, 820, 140), {click(Control::Check1), click(Control::Option1_0),
                 click(Control::Check1), click(Control::Command1)}})
            script.insert(script.end(), part.begin(), part.end());
        for (const QSize size :
            {QSize(640, 480), QSize(0, 0), QSize(1, 1), QSize(1800, 500), QSize(900, 541)}) {
            script.push_back(at(EventKind::Resize));
            script.back().width = size.width(), script.back().height = size.height();
        }
        bool marked = false; // two marks at once
        for (const fuzz::Event &e : script) {
            driver.play(e);
            driver.paint(false);
            marked = marked || window.core().state().markCount == 2;
        }
        carriedOut = carriedOut && marked;
        for (const fuzz::Event &e : drag(700, 400, -1000000, 1000000))
            driver.play(e);
        driver.paint(true);
        if (driver.failed())
            qWarning("%s", driver.failureText().c_str());
        carriedOut = carriedOut && !driver.failed();
        window.close();
    });
    const int status = app.exec();
    return status != 0 ? status : carriedOut ? 0 : 2;
}
