#ifndef BRINMOOR_TESTS_E2E_DESKTOP_USER_H
#define BRINMOOR_TESTS_E2E_DESKTOP_USER_H

#include "expected_screen.h"

#include <QImage>
#include <QProcess>
#include <QThread>

typedef struct _XDisplay Display;

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
    bool startServer(const QString &directory, QString *error);
    void stopServer();
    // Starts the program at the given QT_SCALE_FACTOR and waits for its window.
    bool launch(int factor, QString *error);
    // Ends the program and leaves the pointer and its buttons as they were at the start.
    void quit();
    bool isAlive() { return program.state() == QProcess::Running && !program.waitForFinished(0); }
    // How the program ended, for messages: "running", "exit 0", "killed by a signal".
    QString exitDescription();

    unsigned long window() const { return windowId; }
    int scale() const { return scaleFactor; }
    // The viewable top-level window with the program's caption, or 0.
    unsigned long findWindow() const;
    // The window's inside size (empty if it is gone) and its origin on the screen.
    QSize windowSize() const;
    QPoint windowOrigin() const;
    void resizeWindow(QSize deviceSize);
    void movePointer(QPoint screenPosition);
    void setButton(int button, bool down);
    void setKey(unsigned long keysym, bool down); // by X keysym, to the focus window
    // The window's pixels as RGB32; null if it is gone or not fully on the screen.
    QImage grab() const;

    QPoint toScreen(QPointF logical) const;
    void moveTo(QPointF logical) { movePointer(toScreen(logical)), pause(); }
    void press(int button = 1) { setButton(button, true), pause(); }
    void release(int button = 1) { setButton(button, false), pause(); }
    // Clicks the middle of a control, then moves off it so that its hover look is gone.
    void clickControl(const QRectF &control, QPointF restingPlace);
    // A key press and release, with the modifiers asked for held.
    void typeKey(unsigned long keysym, bool shift, bool ctrl, bool alt, bool meta);
    void resizeTo(QSize logicalSize);

    // Waits until the screen matches (the program paints when it gets to it) and keeps the
    // last screenshot for review. On a timeout, message lists what still differs.
    bool showsScreen(const support::ExpectedScreen &expected, const QString &shotName,
        QString *message, QImage *shot = nullptr);
    // A screenshot once the program has stopped painting: two in a row, 150 ms apart, agree.
    QImage settledShot();
    void save(const QImage &shot, const QString &name) const;

private:
    static void pause() { QThread::msleep(30); }

    QProcess server, program;
    Display *display = nullptr;
    unsigned long windowId = 0;
    int scaleFactor = 1;
    QString shotDir;
    QString displayName; // the private server's, ":N"
};

// Pixels that differ between two screenshots of equal size by more than tolerance in some
// channel, leaving out the given logical rectangles; the first one found goes to *first.
int differingPixels(const QImage &a, const QImage &b, int tolerance = 0,
    const QList<QRectF> &skip = {}, int scale = 1, QPoint *first = nullptr);

// The device pixels under a logical rectangle.
inline QImage region(const QImage &shot, QRectF logical, int scale)
{
    return shot.copy(QRectF(logical.topLeft() * scale, logical.size() * scale).toAlignedRect());
}

#endif
