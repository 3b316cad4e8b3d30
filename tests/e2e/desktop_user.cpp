#include "desktop_user.h"

#include "expected_screen.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <X11/keysym.h>

#include <algorithm>

namespace {

constexpr int kPauseMs = 30;
constexpr int kWindowTimeoutMs = 15000;
constexpr int kScreenTimeoutMs = 8000;

} // namespace

const QString &DesktopUser::caption()
{
    static const QString text = QString::fromUtf8(board::kWindowCaption);
    return text;
}

bool DesktopUser::startServer(const QString &directory, QString *error)
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

void DesktopUser::stopServer()
{
    quit();
    x.close();
    server.stop();
}

bool DesktopUser::launch(int factor, QString *error)
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

void DesktopUser::quit()
{
    brinmoor.stop();
    windowId = 0;
    scaleFactor = 1;
    x.movePointer(QPoint(kScreenSize.width() - 1, kScreenSize.height() - 1));
    for (int button = 1; button <= 3; ++button)
        x.setButton(button, false);
}

QPoint DesktopUser::toScreen(QPointF logical) const
{
    return x.windowOrigin(windowId) + support::devicePixel(logical, scaleFactor);
}

void DesktopUser::moveTo(QPointF logical)
{
    x.movePointer(toScreen(logical));
    QThread::msleep(kPauseMs);
}

void DesktopUser::press(int button)
{
    x.setButton(button, true);
    QThread::msleep(kPauseMs);
}

void DesktopUser::release(int button)
{
    x.setButton(button, false);
    QThread::msleep(kPauseMs);
}

void DesktopUser::clickControl(const QRectF &control, QPointF restingPlace)
{
    moveTo(control.center());
    press();
    release();
    moveTo(restingPlace);
}

void DesktopUser::drag(QPointF from, QPointF to, int steps, int button)
{
    moveTo(from);
    press(button);
    for (int i = 1; i <= steps; ++i)
        moveTo(from + (to - from) * i / steps);
    release(button);
}

void DesktopUser::typeKey(unsigned long keysym, bool shift, bool ctrl, bool alt, bool meta)
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

void DesktopUser::resizeTo(QSize logicalSize)
{
    const QSize size = logicalSize * scaleFactor;
    x.resizeWindow(windowId, size);
    QElapsedTimer timer;
    timer.start();
    while (x.windowSize(windowId) != size && timer.elapsed() < 5000)
        QThread::msleep(20);
}

bool DesktopUser::showsScreen(
    const support::ExpectedScreen &expected, const QString &shotName, QString *message, QImage *shot)
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
        last = grab();
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

QImage DesktopUser::settledShot()
{
    QThread::msleep(150);
    QImage previous = grab();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QThread::msleep(150);
        QImage next = grab();
        if (next == previous)
            return next;
        previous = next;
    }
    return previous;
}

void DesktopUser::save(const QImage &shot, const QString &name) const
{
    if (!shot.isNull())
        shot.save(QStringLiteral("%1/%2.png").arg(shotDir, name));
}

int differingPixels(
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

QImage region(const QImage &shot, QRectF logical, int scale)
{
    const QRectF device(logical.topLeft() * scale, logical.size() * scale);
    return shot.copy(device.toAlignedRect());
}
