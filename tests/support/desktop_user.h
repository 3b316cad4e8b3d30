// The person at the keyboard and mouse whom the end-to-end players share: a private X server
// with no window manager, a program started in it, and pointer and key events that travel
// through the server (XTEST). Only how the program is started differs between players.
#ifndef BRINMOOR_TESTS_SUPPORT_DESKTOP_USER_H
#define BRINMOOR_TESTS_SUPPORT_DESKTOP_USER_H

#include "expected_screen.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <utility>

// Xlib's macros (None, Bool, KeyPress...) would clash with Qt's names: it comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// Run in a child before it starts: it dies with the driver.
inline const auto dieWithParent = [] { prctl(PR_SET_PDEATHSIG, SIGKILL); };

// A person at a private X server (Xvfb on the first free display number, no window manager):
// starts the program as a user would, moves the pointer and presses its buttons at logical
// places of the client area through the XTEST extension, resizes the window and looks at the
// pixels the server shows. The server and the program die with the driver. Every paced
// pointer event is followed by a short pause, since events sent in one burst may reach the
// program as one move; the raw ones (screen coordinates, no pause) reach the server before
// they return.
class DesktopUser
{
public:
    static constexpr QSize kScreenSize {1920, 1200};
    static constexpr QSize kOpeningSize {900, 541};

    // The X server lives as long as the driver; its log and the screenshots go to directory.
    bool startServer(const QString &directory, QString *error)
    {
        QDir().mkpath(shotDir = directory);
        // Xvfb writes its display number on standard output once it accepts connections.
        const QString log =
            QStringLiteral("%1/xvfb-%2.log").arg(shotDir).arg(QCoreApplication::applicationPid());
        server.setStandardErrorFile(log);
        server.setChildProcessModifier(dieWithParent);
        server.start("Xvfb",
            {"-displayfd", "1", "-screen", "0",
                QStringLiteral("%1x%2x24").arg(kScreenSize.width()).arg(kScreenSize.height()),
                "-dpi", "96", "-nolisten", "tcp", "-noreset"});
        server.waitForReadyRead(15000);
        bool ok = false;
        displayName = ':' + QString::number(server.readLine().trimmed().toInt(&ok));
        // A window may vanish between two requests (the program crashed, or it is being resized
        // to nothing): the caller's checks answer that, not Xlib ending the driver.
        XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
        int ignored = 0;
        if (!ok)
            *error = "Xvfb did not start (is the xvfb package installed?); see " + log;
        else if (!(display = XOpenDisplay(displayName.toLocal8Bit().constData())))
            *error = "cannot connect to X display " + displayName;
        else if (!XTestQueryExtension(display, &ignored, &ignored, &ignored, &ignored))
            *error = QStringLiteral("the X server has no XTEST extension");
        if (error->isEmpty())
            XSynchronize(display, True); // every request is handled before its call returns
        else
            stopServer();
        return error->isEmpty();
    }
    void stopServer()
    {
        quit();
        if (display)
            XCloseDisplay(std::exchange(display, nullptr));
        server.kill(), server.waitForFinished();
    }

    // Starts a program at a scale factor that its environment sets, and waits for its window.
    bool launch(const QString &command, const QStringList &arguments,
        QProcessEnvironment environment, int factor, QString *error)
    {
        scaleFactor = factor;
        environment.insert("DISPLAY", displayName);
        const char *test =
            QTest::currentDataTag() ? QTest::currentDataTag() : QTest::currentTestFunction();
        const QString log =
            QStringLiteral("%1/%2.log").arg(shotDir, QString(test).replace(' ', '-'));
        program.setProcessEnvironment(environment);
        program.setStandardInputFile(QProcess::nullDevice());
        program.setStandardOutputFile(log);
        program.setStandardErrorFile(log, QIODevice::Append);
        program.setChildProcessModifier(dieWithParent);
        program.start(command, arguments);
        const auto shownOrEnded = [&] { return (windowId = findWindow()) || !isAlive(); };
        if (program.waitForStarted() && QTest::qWaitFor(shownOrEnded, 30000) && windowId)
            return true;
        *error = QStringLiteral("no window captioned %1 appeared (program: %2, see %3)")
                     .arg(QString::fromUtf8(board::kWindowCaption), exitDescription(), log);
        return false;
    }
    // Ends the program and leaves the pointer and its buttons as they were at the start.
    void quit()
    {
        program.kill(), program.waitForFinished();
        windowId = 0;
        scaleFactor = 1;
        if (!display)
            return;
        movePointer(QPoint(kScreenSize.width() - 1, kScreenSize.height() - 1));
        releaseButtons();
    }
    bool isAlive() { return program.state() == QProcess::Running && !program.waitForFinished(0); }
    // How the program ended, for messages: "running", "exit 0", "killed by a signal".
    QString exitDescription()
    {
        if (isAlive())
            return QStringLiteral("running");
        if (program.error() == QProcess::FailedToStart)
            return "not started: " + program.errorString();
        return program.exitStatus() == QProcess::CrashExit
            ? QStringLiteral("killed by a signal")
            : QStringLiteral("exit %1").arg(program.exitCode());
    }

    unsigned long window() const { return windowId; }
    // The viewable top-level window with the program's caption, or 0.
    unsigned long findWindow() const
    {
        const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        unsigned long found = 0;
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes {};
            XTextProperty name {};
            if (!XGetWindowAttributes(display, children[i], &attributes)
                || attributes.map_state != IsViewable
                || !XGetTextProperty(display, children[i], &name, netWmName))
                continue;
            const char *caption = reinterpret_cast<const char *>(name.value);
            if (QByteArray(caption, int(name.nitems)) == board::kWindowCaption)
                found = children[i];
            XFree(name.value);
        }
        XFree(children);
        return found;
    }
    // The window's inside size (empty if it is gone) and its origin on the screen.
    QSize windowSize() const
    {
        XWindowAttributes attributes {};
        XGetWindowAttributes(display, windowId, &attributes);
        return QSize(attributes.width, attributes.height);
    }
    QPoint windowOrigin() const
    {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, windowId, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        return QPoint(x, y);
    }

    // Raw events, handled by the server before they return: device pixels, screen coordinates.
    void resizeWindow(QSize size)
    {
        XResizeWindow(display, windowId, unsigned(size.width()), unsigned(size.height()));
    }
    void movePointer(QPoint at) { XTestFakeMotionEvent(display, -1, at.x(), at.y(), CurrentTime); }
    void setButton(int button, bool down)
    {
        XTestFakeButtonEvent(display, unsigned(button), down, CurrentTime);
    }
    void releaseButtons()
    {
        for (int button = 1; button <= 3; ++button)
            setButton(button, false);
    }
    void setKey(unsigned long keysym, bool down) // to the focus window
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down, CurrentTime);
    }

    // Paced events at logical places of the client area.
    QPoint toScreen(QPointF logical) const
    {
        return windowOrigin() + support::devicePixel(logical, scaleFactor);
    }
    void moveTo(QPointF logical) { movePointer(toScreen(logical)), pause(); }
    void press(int button = 1) { setButton(button, true), pause(); }
    void release(int button = 1) { setButton(button, false), pause(); }
    // Clicks the middle of a control, then rests the pointer in the client area's far corner
    // so that the control's hover look is gone.
    void clickControl(board::Control control)
    {
        moveTo(support::box(control).center());
        press(), release();
        const QSizeF size = QSizeF(windowSize()) / scaleFactor;
        moveTo(QPointF(size.width() - 5, size.height() - 5));
    }
    // A key press and release, with the modifiers asked for held.
    void typeKey(unsigned long keysym, bool shift, bool ctrl, bool alt, bool meta)
    {
        const std::pair<bool, unsigned long> modifiers[] = {
            {shift, XK_Shift_L}, {ctrl, XK_Control_L}, {alt, XK_Alt_L}, {meta, XK_Super_L}};
        for (bool down : {true, false}) {
            for (auto [held, modifier] : modifiers)
                if (held)
                    setKey(modifier, down);
            if (down)
                setKey(keysym, true), setKey(keysym, false);
        }
        pause();
    }
    bool resizeTo(QSize logicalSize)
    {
        resizeWindow(logicalSize * scaleFactor);
        return QTest::qWaitFor([&] { return windowSize() == logicalSize * scaleFactor; });
    }

    // The window's pixels as RGB32; null if it is gone or not fully on the screen.
    QImage grab() const
    {
        const QSize size = windowSize();
        XImage *image = size.isEmpty() ? nullptr
                                       : XGetImage(display, windowId, 0, 0, unsigned(size.width()),
                                           unsigned(size.height()), AllPlanes, ZPixmap);
        if (!image)
            return {};
        // The private server's screen is 24-bit TrueColor: 32 bits a pixel, as RGB32 has them.
        QImage result;
        if (image->bits_per_pixel == 32 && image->red_mask == 0xff0000 && image->blue_mask == 0xff)
            result = QImage(reinterpret_cast<const uchar *>(image->data), size.width(),
                size.height(), image->bytes_per_line, QImage::Format_RGB32)
                         .copy();
        XDestroyImage(image);
        return result;
    }
    // Waits until the screen matches (the program paints when it gets to it) and keeps the
    // last screenshot for review. On a timeout, message lists what still differs.
    bool showsScreen(const support::ExpectedScreen &expected, const QString &shotName,
        QString *message, QImage *shot = nullptr)
    {
        QImage last;
        QStringList problems;
        const bool shown = QTest::qWaitFor(
            [&] {
                last = grab();
                problems = isAlive() ? expected.problems(last, scaleFactor)
                                     : QStringList {"the program ended: " + exitDescription()};
                return problems.isEmpty() || !isAlive();
            },
            8000);
        save(last, shotName);
        if (shot)
            *shot = last;
        *message = QStringLiteral("%1:\n  %2").arg(shotName, problems.join("\n  "));
        return shown && problems.isEmpty();
    }
    // A screenshot once the program has stopped painting: two in a row, 150 ms apart, agree.
    QImage settledShot()
    {
        QImage previous, next;
        const auto twoAgree = [&] {
            QThread::msleep(150);
            previous = std::exchange(next, grab());
            return previous == next;
        };
        if (!QTest::qWaitFor(twoAgree))
            qWarning("the window was still changing after 5 s");
        return next;
    }
    void save(const QImage &shot, const QString &name) const
    {
        if (!shot.isNull())
            shot.save(QStringLiteral("%1/%2.png").arg(shotDir, name));
    }

private:
    static void pause() { QThread::msleep(30); }

    QProcess server, program;
    Display *display = nullptr;
    unsigned long windowId = 0;
    int scaleFactor = 1;
    QString shotDir;
    QString displayName; // the private server's, ":N"
};

#endif
