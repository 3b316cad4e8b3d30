#include "x_session.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <sys/prctl.h>

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

} // namespace

bool XServer::start(QSize screen, const QString &logFile, QString *error)
{
    // Xvfb writes its display number on standard output once it accepts connections.
    process.setStandardErrorFile(logFile);
    process.setChildProcessModifier(dieWithParent);
    process.start("Xvfb",
        {"-displayfd", "1", "-screen", "0",
            QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()), "-dpi", "96",
            "-nolisten", "tcp", "-noreset"});
    QElapsedTimer timer;
    timer.start();
    while (!process.canReadLine() && process.state() != QProcess::NotRunning
        && timer.elapsed() < 15000)
        process.waitForReadyRead(100);
    bool ok = false;
    number = ':' + QString::number(process.readLine().trimmed().toInt(&ok));
    if (!ok) {
        stop();
        *error = QStringLiteral("Xvfb did not start (is the xvfb package installed?); see %1")
                     .arg(logFile);
    }
    return ok;
}

bool Program::start(const QString &executable, const QString &display,
    const QStringList &extraEnvironment, const QString &logFile, QString *error)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The driver's own test settings must not leak into the program a user starts.
    for (const char *name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI"})
        environment.remove(name);
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    for (const QString &entry : extraEnvironment)
        environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(logFile);
    process.setStandardErrorFile(logFile, QIODevice::Append);
    process.setChildProcessModifier(dieWithParent);
    process.start(executable, {});
    if (!process.waitForStarted()) {
        *error = QStringLiteral("%1 did not start: %2").arg(executable, process.errorString());
        return false;
    }
    return true;
}

QString Program::exitDescription()
{
    if (isAlive())
        return QStringLiteral("running");
    if (process.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("killed by a signal");
    return QStringLiteral("exit %1").arg(process.exitCode());
}

XClient::~XClient()
{
    close();
}

bool XClient::open(const QString &displayName, QString *error)
{
    XSetErrorHandler(ignoreXError);
    display = XOpenDisplay(displayName.toLocal8Bit().constData());
    if (!display) {
        *error = QStringLiteral("cannot connect to X display %1").arg(displayName);
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        *error = QStringLiteral("the X server has no XTEST extension");
        close();
        return false;
    }
    return true;
}

void XClient::close()
{
    if (display)
        XCloseDisplay(display);
    display = nullptr;
}

unsigned long XClient::findWindow(const QString &caption) const
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes)
            || attributes.map_state != IsViewable)
            continue;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display, children[i], netWmName, 0, 1024, False, utf8, &type,
                &format, &items, &after, &data)
                == Success
            && data) {
            if (QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(items))
                == caption)
                found = children[i];
            XFree(data);
        }
    }
    if (children)
        XFree(children);
    return found;
}

QSize XClient::windowSize(unsigned long window) const
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return {};
    return QSize(attributes.width, attributes.height);
}

QPoint XClient::windowOrigin(unsigned long window) const
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return QPoint(x, y);
}

void XClient::resizeWindow(unsigned long window, QSize size)
{
    XResizeWindow(
        display, window, static_cast<unsigned>(size.width()), static_cast<unsigned>(size.height()));
    XSync(display, False);
}

void XClient::movePointer(QPoint screenPosition)
{
    XTestFakeMotionEvent(display, -1, screenPosition.x(), screenPosition.y(), CurrentTime);
    XSync(display, False);
}

void XClient::setButton(int button, bool down)
{
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    XSync(display, False);
}

void XClient::setKey(unsigned long keysym, bool down)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down ? True : False, CurrentTime);
    XSync(display, False);
}

QImage XClient::grab(unsigned long window) const
{
    const QSize size = windowSize(window);
    if (size.isEmpty())
        return {};
    XImage *image = XGetImage(display, window, 0, 0, static_cast<unsigned>(size.width()),
        static_cast<unsigned>(size.height()), AllPlanes, ZPixmap);
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
