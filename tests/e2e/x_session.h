#ifndef BRINMOOR_TESTS_E2E_X_SESSION_H
#define BRINMOOR_TESTS_E2E_X_SESSION_H

#include <QImage>
#include <QProcess>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

typedef struct _XDisplay Display;

// A private X server: Xvfb on the first free display number, with no window manager. The
// server is told to die with the process that started it, so a crashed driver leaves no
// server behind.
class XServer
{
public:
    // Starts Xvfb with one 24-bit screen of the given size and waits until it accepts clients.
    bool start(QSize screen, const QString &logFile, QString *error);
    void stop() { process.kill(), process.waitForFinished(); }
    QString display() const { return number; }

private:
    QProcess process;
    QString number;
};

// The program under test, started as a user would start it, on the given display, dying
// with the driver.
class Program
{
public:
    // extraEnvironment holds NAME=VALUE pairs set on top of the driver's own environment.
    bool start(const QString &executable, const QString &display,
        const QStringList &extraEnvironment, const QString &logFile, QString *error);
    bool isAlive() { return process.state() == QProcess::Running && !process.waitForFinished(0); }
    // How the process ended, for messages: "running", "exit 0", "killed by signal"...
    QString exitDescription();
    void stop() { process.kill(), process.waitForFinished(); }

private:
    QProcess process;
};

// A client of the X server that sees and drives the screen as a user does: real pointer
// motion and button events through the XTEST extension, window geometry, and the pixels
// shown on the screen.
class XClient
{
public:
    XClient() = default;
    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;
    ~XClient();

    bool open(const QString &display, QString *error);
    void close();

    // The viewable top-level window whose caption (_NET_WM_NAME) is exactly caption, or 0.
    unsigned long findWindow(const QString &caption) const;
    // The window's inside size and its origin on the screen; an empty size if it is gone.
    QSize windowSize(unsigned long window) const;
    QPoint windowOrigin(unsigned long window) const;
    void resizeWindow(unsigned long window, QSize size);

    // Pointer and buttons, in screen coordinates; each call reaches the server before it
    // returns.
    void movePointer(QPoint screenPosition);
    void setButton(int button, bool down);
    // A key by its X keysym (XK_Right, XK_Shift_L...), to the window with the input focus.
    void setKey(unsigned long keysym, bool down);

    // The pixels of the window as the screen shows them, as RGB32; null if the window is
    // gone or not fully on the screen.
    QImage grab(unsigned long window) const;

private:
    Display *display = nullptr;
};

#endif
