#include "desktop_user.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <utility>

namespace {

// A window may vanish between two requests (the program crashed, or it is being resized to
// nothing); such errors are answered by the caller's checks, not by Xlib ending the driver.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

// Run in the child before it starts: it dies with the driver.
void dieWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// Polls until done() or the time is up; true if done.
template <typename Done> bool waitFor(int milliseconds, int interval, Done done)
{
    QElapsedTimer timer;
    for (timer.start(); !done(); QThread::msleep(unsigned(interval)))
        if (timer.elapsed() >= milliseconds)
            return false;
    return true;
}

} // namespace

bool DesktopUser::startServer(const QString &directory, QString *error)
{
    shotDir = directory;
    if (!QDir().mkpath(shotDir)) {
        *error = QStringLiteral("cannot create %1").arg(shotDir);
        return false;
    }
    // Xvfb writes its display number on standard output once it accepts connections.
    const QString log =
        QStringLiteral("%1/xvfb-%2.log").arg(shotDir).arg(QCoreApplication::applicationPid());
    server.setStandardErrorFile(log);
    server.setChildProcessModifier(dieWithParent);
    server.start("Xvfb",
        {"-displayfd", "1", "-screen", "0",
            QStringLiteral("%1x%2x24").arg(kScreenSize.width()).arg(kScreenSize.height()), "-dpi",
            "96", "-nolisten", "tcp", "-noreset"});
    QElapsedTimer timer;
    timer.start();
    while (
        !server.canReadLine() && server.state() != QProcess::NotRunning && timer.elapsed() < 15000)
        server.waitForReadyRead(100);
    bool ok = false;
    displayName = ':' + QString::number(server.readLine().trimmed().toInt(&ok));
    if (!ok)
        *error =
            QStringLiteral("Xvfb did not start (is the xvfb package installed?); see %1").arg(log);
    XSetErrorHandler(ignoreXError);
    if (ok && !(display = XOpenDisplay(displayName.toLocal8Bit().constData())))
        *error = QStringLiteral("cannot connect to X display %1").arg(displayName);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (display && !XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor))
        *error = QStringLiteral("the X server has no XTEST extension");
    if (error->isEmpty())
        return true;
    stopServer();
    return false;
}

void DesktopUser::stopServer()
{
    quit();
    if (display)
        XCloseDisplay(display);
    display = nullptr;
    server.kill(), server.waitForFinished();
}

bool DesktopUser::launch(int factor, QString *error)
{
    scaleFactor = factor;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The driver's own test settings must not leak into the program a user starts.
    for (const char *name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI"})
        environment.remove(name);
    environment.insert("DISPLAY", displayName);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    if (factor != 1)
        environment.insert("QT_SCALE_FACTOR", QString::number(factor));
    const QString log =
        QStringLiteral("%1/%2.log")
            .arg(shotDir,
                QString::fromLatin1(QTest::currentDataTag() ? QTest::currentDataTag()
                                                            : QTest::currentTestFunction())
                    .replace(' ', '-'));
    program.setProcessEnvironment(environment);
    program.setStandardInputFile(QProcess::nullDevice());
    program.setStandardOutputFile(log);
    program.setStandardErrorFile(log, QIODevice::Append);
    program.setChildProcessModifier(dieWithParent);
    program.start(QStringLiteral(BRINMOOR_EXECUTABLE), {});
    if (!program.waitForStarted()) {
        *error = QStringLiteral("the program did not start: %1").arg(program.errorString());
        return false;
    }
    waitFor(15000, 50, [&] { return (windowId = findWindow()) || !isAlive(); });
    if (!windowId)
        *error = QStringLiteral("no window captioned %1 appeared (program: %2, see %3)")
                     .arg(QString::fromUtf8(board::kWindowCaption), exitDescription(), log);
    return windowId != 0;
}

void DesktopUser::quit()
{
    program.kill(), program.waitForFinished();
    windowId = 0;
    scaleFactor = 1;
    if (!display)
        return;
    movePointer(QPoint(kScreenSize.width() - 1, kScreenSize.height() - 1));
    for (int button = 1; button <= 3; ++button)
        setButton(button, false);
}

QString DesktopUser::exitDescription()
{
    if (isAlive())
        return QStringLiteral("running");
    if (program.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("killed by a signal");
    return QStringLiteral("exit %1").arg(program.exitCode());
}

unsigned long DesktopUser::findWindow() const
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char *data = nullptr;
        if (!XGetWindowAttributes(display, children[i], &attributes)
            || attributes.map_state != IsViewable
            || XGetWindowProperty(display, children[i], netWmName, 0, 1024, False, utf8, &type,
                   &format, &items, &after, &data)
                != Success
            || !data)
            continue;
        if (QString::fromUtf8(reinterpret_cast<const char *>(data), int(items))
            == QString::fromUtf8(board::kWindowCaption))
            found = children[i];
        XFree(data);
    }
    if (children)
        XFree(children);
    return found;
}

QSize DesktopUser::windowSize() const
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, windowId, &attributes))
        return {};
    return QSize(attributes.width, attributes.height);
}

QPoint DesktopUser::windowOrigin() const
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, windowId, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return QPoint(x, y);
}

void DesktopUser::resizeWindow(QSize size)
{
    XResizeWindow(display, windowId, unsigned(size.width()), unsigned(size.height()));
    XSync(display, False);
}

void DesktopUser::movePointer(QPoint screenPosition)
{
    XTestFakeMotionEvent(display, -1, screenPosition.x(), screenPosition.y(), CurrentTime);
    XSync(display, False);
}

void DesktopUser::setButton(int button, bool down)
{
    XTestFakeButtonEvent(display, unsigned(button), down ? True : False, CurrentTime);
    XSync(display, False);
}

void DesktopUser::setKey(unsigned long keysym, bool down)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down ? True : False, CurrentTime);
    XSync(display, False);
}

QImage DesktopUser::grab() const
{
    const QSize size = windowSize();
    XImage *image = size.isEmpty() ? nullptr
                                   : XGetImage(display, windowId, 0, 0, unsigned(size.width()),
                                       unsigned(size.height()), AllPlanes, ZPixmap);
    if (!image)
        return {};
    // The private server's screen is 24-bit TrueColor: 32 bits a pixel, as RGB32 lays them out.
    QImage result;
    if (image->bits_per_pixel == 32 && image->red_mask == 0xff0000 && image->blue_mask == 0xff)
        result = QImage(reinterpret_cast<const uchar *>(image->data), size.width(), size.height(),
            image->bytes_per_line, QImage::Format_RGB32)
                     .copy();
    XDestroyImage(image);
    return result;
}

QPoint DesktopUser::toScreen(QPointF logical) const
{
    return windowOrigin() + support::devicePixel(logical, scaleFactor);
}

void DesktopUser::clickControl(const QRectF &control, QPointF restingPlace)
{
    moveTo(control.center());
    press();
    release();
    moveTo(restingPlace);
}

void DesktopUser::typeKey(unsigned long keysym, bool shift, bool ctrl, bool alt, bool meta)
{
    const std::pair<bool, unsigned long> modifiers[] = {
        {shift, XK_Shift_L}, {ctrl, XK_Control_L}, {alt, XK_Alt_L}, {meta, XK_Super_L}};
    for (auto [held, modifier] : modifiers)
        if (held)
            setKey(modifier, true);
    setKey(keysym, true), setKey(keysym, false);
    for (auto [held, modifier] : modifiers)
        if (held)
            setKey(modifier, false);
    pause();
}

void DesktopUser::resizeTo(QSize logicalSize)
{
    resizeWindow(logicalSize * scaleFactor);
    waitFor(5000, 20, [&] { return windowSize() == logicalSize * scaleFactor; });
}

bool DesktopUser::showsScreen(const support::ExpectedScreen &expected, const QString &shotName,
    QString *message, QImage *shot)
{
    QImage last;
    QStringList problems;
    waitFor(8000, 50, [&] {
        last = grab();
        problems = isAlive() ? expected.problems(last, scaleFactor)
                             : QStringList {"the program ended: " + exitDescription()};
        return problems.isEmpty() || !isAlive();
    });
    save(last, shotName);
    if (shot)
        *shot = last;
    *message = QStringLiteral("%1:\n  %2").arg(shotName, problems.join(QStringLiteral("\n  ")));
    return problems.isEmpty();
}

QImage DesktopUser::settledShot()
{
    QThread::msleep(150);
    QImage previous = grab(), next;
    waitFor(5000, 0, [&] {
        QThread::msleep(150);
        next = grab();
        return std::exchange(previous, next) == next;
    });
    return previous;
}

void DesktopUser::save(const QImage &shot, const QString &name) const
{
    if (!shot.isNull())
        shot.save(QStringLiteral("%1/%2.png").arg(shotDir, name));
}

int differingPixels(const QImage &a, const QImage &b, int tolerance, const QList<QRectF> &skip,
    int scale, QPoint *first)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QPointF logical(double(x) / scale, double(y) / scale);
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                    std::abs(qBlue(p) - qBlue(q))})
                    <= tolerance
                || std::any_of(
                    skip.begin(), skip.end(), [&](const QRectF &r) { return r.contains(logical); }))
                continue;
            if (count++ == 0 && first)
                *first = QPoint(x, y);
        }
    return count;
}
