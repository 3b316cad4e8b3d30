#ifndef BRINMOOR_TESTS_E2E_DESKTOP_USER_H
#define BRINMOOR_TESTS_E2E_DESKTOP_USER_H

#include "x_session.h"

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

namespace support {
class ExpectedScreen;
}

// A person at the private X server: starts the program, moves the pointer and presses its
// buttons at logical places of the client area, resizes the window and looks at it. Every
// pointer event is followed by a short pause, since events sent in one burst may reach the
// program as one move.
class DesktopUser
{
public:
    static constexpr QSize kScreenSize {1920, 1200};
    static constexpr QSize kOpeningSize {900, 541};
    static const QString &caption();

    // The X server lives as long as the driver; its log and the screenshots go to shotDir.
    bool startServer(const QString &shotDir, QString *error);
    void stopServer();

    // Starts the program at the given QT_SCALE_FACTOR and waits for its window.
    bool launch(int scaleFactor, QString *error);
    // Ends the program and leaves the pointer and its buttons as they were at the start.
    void quit();

    XClient &client() { return x; }
    Program &program() { return brinmoor; }
    unsigned long window() const { return windowId; }
    int scale() const { return scaleFactor; }

    QPoint toScreen(QPointF logical) const;
    void moveTo(QPointF logical);
    void press(int button = 1);
    void release(int button = 1);
    // Clicks the middle of a control, then moves off it so that its hover look is gone.
    void clickControl(const QRectF &control, QPointF restingPlace);
    // A press, `steps` evenly spaced moves and a release.
    void drag(QPointF from, QPointF to, int steps, int button = 1);
    // A key press and release by X keysym, with the modifiers asked for held.
    void typeKey(unsigned long keysym, bool shift, bool ctrl, bool alt, bool meta);
    void resizeTo(QSize logicalSize);

    QImage grab() const { return x.grab(windowId); }
    // Waits until the screen matches (the program paints when it gets to it) and keeps the
    // last screenshot for review. On a timeout, message lists what still differs.
    bool showsScreen(const support::ExpectedScreen &expected, const QString &shotName, QString *message,
        QImage *shot = nullptr);
    // A screenshot once the program has stopped painting: two in a row, 150 ms apart, agree.
    QImage settledShot();
    void save(const QImage &shot, const QString &name) const;

private:
    XServer server;
    XClient x;
    Program brinmoor;
    unsigned long windowId = 0;
    int scaleFactor = 1;
    QString shotDir;
};

// Pixels that differ between two screenshots of equal size, leaving out the given logical
// rectangles; the first one found goes to *first.
int differingPixels(
    const QImage &a, const QImage &b, const QList<QRectF> &skip, int scale, QRect *first);

// The device pixels under a logical rectangle.
QImage region(const QImage &shot, QRectF logical, int scale);

#endif
