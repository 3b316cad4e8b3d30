#ifndef BRINMOOR_TESTS_E2E_DESKTOP_USER_H
#define BRINMOOR_TESTS_E2E_DESKTOP_USER_H

#include "expected_screen.h"
#include "x_session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <X11/keysym.h>

#include <algorithm>


// A person at the private X server: starts the program, moves the pointer and presses its
// buttons at logical places of the client area, resizes the window and looks at it. Every
// pointer event is followed by a short pause, since events sent in one burst may reach the
// program as one move.
class DesktopUser
{
public:
    static constexpr QSize kScreenSize {1920, 1200};
    static constexpr QSize kOpeningSize {900, 541};
    static constexpr int kPauseMs = 30;
    static constexpr int kWindowTimeoutMs = 15000;
    static constexpr int kScreenTimeoutMs = 8000;
    static const QString &caption()
    {
        static const QString text = QString::fromUtf8(board::kWindowCaption);
        return text;
    }

    // The X server lives as long as the driver; its log and the screenshots go to shotDir.
    bool startServer(const QString &directory, QString *error)
    {
        shotDir = directory;
        if (!QDir().mkpath(shotDir)) {
            *error = QStringLiteral("cannot create %1").arg(shotDir);
            return false;
        }
        const QString log =
            QStringLiteral("%1/xvfb-%2.log").arg(shotDir).arg(QCoreApplication::applicationPid());
        return server.start(kScreenSize, log, error) && x.open(server.display(), error);
    }
    void stopServer()
    {
        quit();
        x.close();
        server.stop();
    }

    // Starts the program at the given QT_SCALE_FACTOR and waits for its window.
    bool launch(int factor, QString *error)
    {
        scaleFactor = factor;
        QStringList environment;
        if (factor != 1)
            environment << QStringLiteral("QT_SCALE_FACTOR=%1").arg(factor);
        const QString log = QStringLiteral("%1/%2.log")
                                .arg(shotDir,
                                    QString::fromLatin1(QTest::currentDataTag()
                                            ? QTest::currentDataTag()
                                            : QTest::currentTestFunction())
                                        .replace(' ', '-'));
        if (!brinmoor.start(
                QStringLiteral(BRINMOOR_EXECUTABLE), server.display(), environment, log, error))
            return false;
        QElapsedTimer timer;
        timer.start();
        while (!(windowId = x.findWindow(caption())) && timer.elapsed() < kWindowTimeoutMs
            && brinmoor.isAlive())
            QThread::msleep(50);
        if (!windowId) {
            *error = QStringLiteral("no window captioned %1 appeared (program: %2, see %3)")
                         .arg(caption(), brinmoor.exitDescription(), log);
            return false;
        }
        return true;
    }
    // Ends the program and leaves the pointer and its buttons as they were at the start.
    void quit()
    {
        brinmoor.stop();
        windowId = 0;
        scaleFactor = 1;
        x.movePointer(QPoint(kScreenSize.width() - 1, kScreenSize.height() - 1));
        for (int button = 1; button <= 3; ++button)
            x.setButton(button, false);
    }

    XClient &client() { return x; }
    Program &program() { return brinmoor; }
    unsigned long window() const { return windowId; }
    int scale() const { return scaleFactor; }

    QPoint toScreen(QPointF logical) const
    {
        return x.windowOrigin(windowId) + support::devicePixel(logical, scaleFactor);
    }
    void moveTo(QPointF logical)
    {
        x.movePointer(toScreen(logical));
        QThread::msleep(kPauseMs);
    }
    void press(int button = 1)
    {
        x.setButton(button, true);
        QThread::msleep(kPauseMs);
    }
    void release(int button = 1)
    {
        x.setButton(button, false);
        QThread::msleep(kPauseMs);
    }
    // Clicks the middle of a control, then moves off it so that its hover look is gone.
    void clickControl(const QRectF &control, QPointF restingPlace)
    {
        moveTo(control.center());
        press();
        release();
        moveTo(restingPlace);
    }
    // A key press and release by X keysym, with the modifiers asked for held.
    void typeKey(unsigned long keysym, bool shift, bool ctrl, bool alt, bool meta)
    {
        const std::pair<bool, unsigned long> modifiers[] = {
            {shift, XK_Shift_L}, {ctrl, XK_Control_L}, {alt, XK_Alt_L}, {meta, XK_Super_L}};
        for (auto [held, modifier] : modifiers)
            if (held)
                x.setKey(modifier, true);
        x.setKey(keysym, true);
        x.setKey(keysym, false);
        for (auto [held, modifier] : modifiers)
            if (held)
                x.setKey(modifier, false);
        QThread::msleep(kPauseMs);
    }
    void resizeTo(QSize logicalSize)
    {
        const QSize size = logicalSize * scaleFactor;
        x.resizeWindow(windowId, size);
        QElapsedTimer timer;
        timer.start();
        while (x.windowSize(windowId) != size && timer.elapsed() < 5000)
            QThread::msleep(20);
    }

    // Waits until the screen matches (the program paints when it gets to it) and keeps the
    // last screenshot for review. On a timeout, message lists what still differs.
    bool showsScreen(const support::ExpectedScreen &expected, const QString &shotName, QString *message,
        QImage *shot = nullptr)
    {
        QElapsedTimer timer;
        timer.start();
        QImage last;
        QStringList problems;
        do {
            if (!brinmoor.isAlive()) {
                *message = QStringLiteral("the program ended: %1").arg(brinmoor.exitDescription());
                return false;
            }
            last = x.grab(windowId);
            problems = expected.problems(last, scaleFactor);
            if (problems.isEmpty())
                break;
            QThread::msleep(50);
        } while (timer.elapsed() < kScreenTimeoutMs);
        save(last, shotName);
        if (shot)
            *shot = last;
        *message = QStringLiteral("%1:\n  %2").arg(shotName, problems.join(QStringLiteral("\n  ")));
        return problems.isEmpty();
    }
    // A screenshot once the program has stopped painting: two in a row, 150 ms apart, agree.
    QImage settledShot()
    {
        QThread::msleep(150);
        QImage previous = x.grab(windowId);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000) {
            QThread::msleep(150);
            QImage next = x.grab(windowId);
            if (next == previous)
                return next;
            previous = next;
        }
        return previous;
    }
    void save(const QImage &shot, const QString &name) const
    {
        if (!shot.isNull())
            shot.save(QStringLiteral("%1/%2.png").arg(shotDir, name));
    }

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

// The device pixels under a logical rectangle.

inline int differingPixels(
    const QImage &a, const QImage &b, const QList<QRectF> &skip, int scale, QRect *first)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QPointF logical(double(x) / scale, double(y) / scale);
            if (std::any_of(
                    skip.begin(), skip.end(), [&](const QRectF &r) { return r.contains(logical); }))
                continue;
            if ((a.pixel(x, y) | 0xff000000) != (b.pixel(x, y) | 0xff000000)) {
                if (count == 0 && first)
                    *first = QRect(x, y, 1, 1);
                ++count;
            }
        }
    }
    return count;
}

inline QImage region(const QImage &shot, QRectF logical, int scale)
{
    const QRectF device(logical.topLeft() * scale, logical.size() * scale);
    return shot.copy(device.toAlignedRect());
}

#endif
