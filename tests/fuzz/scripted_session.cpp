// The program's own start-up (as in app/main.cpp) followed by a short scripted session, for
// valgrind's memcheck: start, drag A, scribble a memo, place and remove marks, switch the grid,
// reset, resize (also to nothing and back), and quit through the event loop.
#include "form1.h"
#include "window_events.h"

#include <QAbstractButton>
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

namespace {

class Session
{
public:
    explicit Session(Form1 &window) : window(window) { }

    // False when the script did not reach the window, which would leave memcheck idle.
    bool carriedOut() const { return aFollowed && marked; }

    void run()
    {
        const double xA = window.core().state().xA;
        drag(QPointF(700, 400), QPointF(640, 250));
        aFollowed = window.core().state().xA == xA - 60;
        click("Command2_0");
        drag(QPointF(600, 300), QPointF(900, 100));
        click("Command2_0");
        marked = window.core().state().markCount == 2;
        click("Command2_1");
        click("Option1_1");
        drag(QPointF(720, 80), QPointF(820, 140));
        click("Check1");
        click("Option1_0");
        click("Check1");
        click("Command1");
        for (const QSize size :
            {QSize(640, 480), QSize(0, 0), QSize(1, 1), QSize(1800, 500), QSize(900, 541)}) {
            window.resize(size);
            QCoreApplication::processEvents();
        }
        drag(QPointF(700, 400), QPointF(-1000000, 1000000));
        QCoreApplication::processEvents();
        window.close();
    }

private:
    void drag(QPointF from, QPointF to)
    {
        pointer.drag(from, to, 8);
        QCoreApplication::processEvents();
    }

    void click(const char *name)
    {
        pointer.click(
            window.findChild<QAbstractButton *>(QLatin1String(name))->geometry().center());
        QCoreApplication::processEvents();
    }

    Form1 &window;
    support::Pointer pointer {window};
    bool aFollowed = false;
    bool marked = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brinmoor"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    Form1 window;
    window.show();
    Session session(window);
    QTimer::singleShot(0, &window, [&session] { session.run(); });
    const int status = app.exec();
    return status != 0 ? status : session.carriedOut() ? 0 : 2;
}
