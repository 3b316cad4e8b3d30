#include "x_session.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A window may vanish between two requests (the program crashed, or it is being resized to
// nothing); such errors are answered by the caller's checks, not by Xlib ending the driver.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

// Runs in the forked child: dies with the driver, sends its output to logFile.
void prepareChild(const QByteArray &logFile, int deathSignal)
{
    prctl(PR_SET_PDEATHSIG, deathSignal);
    const int log = ::open(logFile.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log >= 0) {
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
    }
    const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (null >= 0)
        dup2(null, STDIN_FILENO);
}

void endChild(pid_t pid, int *status)
{
    kill(pid, SIGTERM);
    QElapsedTimer timer;
    timer.start();
    while (waitpid(pid, status, WNOHANG) == 0) {
        if (timer.elapsed() > 3000) {
            kill(pid, SIGKILL);
            waitpid(pid, status, 0);
            return;
        }
        usleep(10000);
    }
}

} // namespace

XServer::~XServer()
{
    stop();
}

bool XServer::start(QSize screen, const QString &logFile, QString *error)
{
    int fds[2];
    if (pipe(fds) != 0) {
        *error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    const QByteArray log = logFile.toLocal8Bit();
    const QByteArray fd = QByteArray::number(fds[1]);
    const QByteArray geometry =
        QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()).toLatin1();
    pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        prepareChild(log, SIGTERM);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", geometry.constData(),
            "-dpi", "96", "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        *error = QStringLiteral("fork: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }

    // Xvfb writes its display number once it accepts connections; end of file means it died.
    QByteArray answer;
    QElapsedTimer timer;
    timer.start();
    while (!answer.contains('\n') && timer.elapsed() < 15000) {
        pollfd p {fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buffer[32];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        answer.append(buffer, static_cast<int>(n));
    }
    ::close(fds[0]);
    bool ok = false;
    number = answer.trimmed().toInt(&ok);
    if (!ok) {
        stop();
        *error = QStringLiteral("Xvfb did not start (is the xvfb package installed?); see %1")
                     .arg(logFile);
        return false;
    }
    return true;
}

void XServer::stop()
{
    if (pid > 0) {
        int status = 0;
        endChild(pid, &status);
    }
    pid = -1;
}

Program::~Program()
{
    stop();
}

bool Program::start(const QString &executable, const QString &display,
    const QStringList &extraEnvironment, const QString &logFile, QString *error)
{
    const QByteArray exe = executable.toLocal8Bit();
    const QByteArray log = logFile.toLocal8Bit();
    QList<QByteArray> environment {"DISPLAY=" + display.toLocal8Bit(), "QT_QPA_PLATFORM=xcb"};
    for (const QString &entry : extraEnvironment)
        environment.append(entry.toLocal8Bit());
    ended = false;
    status = 0;
    pid = fork();
    if (pid == 0) {
        prepareChild(log, SIGKILL);
        // The driver's own test settings must not leak into the program a user starts.
        unsetenv("QT_SCALE_FACTOR");
        unsetenv("QT_SCREEN_SCALE_FACTORS");
        unsetenv("QT_FONT_DPI");
        for (const QByteArray &entry : environment)
            putenv(strdup(entry.constData()));
        execl(exe.constData(), exe.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    if (pid < 0) {
        *error = QStringLiteral("fork: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    return true;
}

bool Program::isAlive()
{
    if (pid <= 0 || ended)
        return false;
    if (waitpid(pid, &status, WNOHANG) == pid)
        ended = true;
    return !ended;
}

QString Program::exitDescription()
{
    if (isAlive())
        return QStringLiteral("running");
    if (WIFSIGNALED(status))
        return QStringLiteral("killed by signal %1").arg(WTERMSIG(status));
    return QStringLiteral("exit %1").arg(WEXITSTATUS(status));
}

void Program::stop()
{
    if (pid > 0 && !ended)
        endChild(pid, &status);
    ended = true;
    pid = -1;
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
    // The private server's screen is 24-bit TrueColor, eight bits per channel.
    if (image->red_mask != 0xff0000 || image->green_mask != 0xff00 || image->blue_mask != 0xff) {
        XDestroyImage(image);
        return {};
    }
    QImage result(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            line[x] = qRgb(static_cast<int>((pixel & image->red_mask) >> 16),
                static_cast<int>((pixel & image->green_mask) >> 8),
                static_cast<int>(pixel & image->blue_mask));
        }
    }
    XDestroyImage(image);
    return result;
}
