// The program's own start-up (as in app/main.cpp) followed by a short scripted session, for
// valgrind's memcheck: start, drag A, scribble a memo, place and remove marks, switch the grid,
// reset, resize (also to nothing and back), and quit through the event loop.
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>

namespace {

class Session
{
public:
    explicit Session(Form1 &window) : window(window) { }

    // False when the script did not reach the window, which would leave memcheck idle.
    bool carriedOut() const { return aFollowed && marked; }

    void run()
    {
        const double xA = window.figureState().xA;
        drag(QPointF(700, 400), QPointF(640, 250));
        aFollowed = window.figureState().xA == xA - 60;
        click("Command2_0");
        drag(QPointF(600, 300), QPointF(900, 100));
        click("Command2_0");
        marked = window.figureState().markCount == 2;
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
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButtons held, Qt::MouseButton button)
    {
        timestamp += 1000;
        QWindow *handle = window.windowHandle();
        qt_handleMouseEvent(
            handle, at, handle->mapToGlobal(at), held, button, type, Qt::NoModifier, timestamp);
        QCoreApplication::processEvents();
    }

    void drag(QPointF from, QPointF to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 8; ++i)
            mouse(QEvent::MouseMove, from + (to - from) * (i / 8.0), Qt::LeftButton, Qt::NoButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, Qt::LeftButton);
    }

    void click(const char *name)
    {
        const QRect box = window.findChild<QAbstractButton *>(QLatin1String(name))->geometry();
        mouse(QEvent::MouseButtonPress, box.center(), Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, box.center(), Qt::NoButton, Qt::LeftButton);
    }

    Form1 &window;
    int timestamp = 0;
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
