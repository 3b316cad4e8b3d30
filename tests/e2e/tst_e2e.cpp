// The session table played by the built Brinmoor as a person meets it: its own X server with
// no window manager, the xcb platform plugin, the installed fonts, and pointer and key events
// that travel through the server (XTEST). Every row starts a fresh program; every shot must
// show what the core predicts, and goes to BRINMOOR_E2E_SHOTS for review.
#include "expected_screen.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <utility>

// Xlib's macros (None, Bool, KeyPress...) would clash with Qt's names: it comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

Q_DECLARE_METATYPE(const session::Row *)

namespace {

// Run in a child before it starts: it dies with the driver.
const auto dieWithParent = [] { prctl(PR_SET_PDEATHSIG, SIGKILL); };

// Device pixels that differ between two screenshots of equal size by more than tolerance in
// some channel, leaving out the given rectangles of device pixels.
QList<QPoint> differingPixels(
    const QImage &a, const QImage &b, int tolerance, const QList<QRectF> &skip = {})
{
    QList<QPoint> found;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int most = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                std::abs(qBlue(p) - qBlue(q))});
            const auto holds = [&](const QRectF &r) { return r.contains(QPointF(x, y)); };
            if (most > tolerance && std::none_of(skip.begin(), skip.end(), holds))
                found << QPoint(x, y);
        }
    return found;
}

// Why the desktop cannot play a row, or nothing when it can.
const char *cannotPlay(const session::Row &row)
{
    for (const session::Step &step : row.steps) {
        if (step.pointer != session::Pointer::Mouse)
            return "XTEST has no touch or pen";
        if (step.kind == session::Step::Resize && step.scale != row.scale)
            return "the desktop's pixel ratio is set only at launch (QT_SCALE_FACTOR)";
        if (step.kind == session::Step::Resize && (step.x <= 0 || step.y <= 0))
            return "Xvfb has no window manager to minimise the window with";
        if (step.kind == session::Step::Commands)
            return "painted commands are the page's to report";
    }
    return row.scale != int(row.scale) ? "the e2e checks read whole device pixels" : nullptr;
}

} // namespace

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

    // Starts the program at the given QT_SCALE_FACTOR and waits for its window.
    bool launch(int factor, QString *error)
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
        const char *test =
            QTest::currentDataTag() ? QTest::currentDataTag() : QTest::currentTestFunction();
        const QString log =
            QStringLiteral("%1/%2.log").arg(shotDir, QString(test).replace(' ', '-'));
        program.setProcessEnvironment(environment);
        program.setStandardInputFile(QProcess::nullDevice());
        program.setStandardOutputFile(log);
        program.setStandardErrorFile(log, QIODevice::Append);
        program.setChildProcessModifier(dieWithParent);
        program.start(QStringLiteral(BRINMOOR_EXECUTABLE), {});
        const auto shownOrEnded = [&] { return (windowId = findWindow()) || !isAlive(); };
        if (program.waitForStarted() && QTest::qWaitFor(shownOrEnded, 15000) && windowId)
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

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(user.startServer(QStringLiteral(BRINMOOR_E2E_SHOTS), &error), qPrintable(error));
    }
    void cleanupTestCase() { user.stopServer(); }
    void cleanup() { user.quit(); }

    void rowShowsWhatTheCoreSays_data()
    {
        // BRINMOOR_E2E_PART=k/n plays every n-th row from the k-th, so that CTest can run
        // parts side by side, each with its own X server.
        const QStringList part = qEnvironmentVariable("BRINMOOR_E2E_PART", "0/1").split('/');
        QTest::addColumn<const session::Row *>("row");
        for (std::size_t i = 0; i < session::rows().size(); ++i)
            if (int(i) % part.value(1).toInt() == part.value(0).toInt())
                QTest::newRow(session::rows()[i].name.c_str()) << &session::rows()[i];
    }
    void rowShowsWhatTheCoreSays();
    void openingScreenLooksLikeTheReadmePicture();
    void eventStormLeavesTheInitialScreenAfterReset();

private:
    DesktopUser user;
    QString error;
};

void tst_EndToEnd::rowShowsWhatTheCoreSays()
{
    QFETCH(const session::Row *, row);
    if (!(row->players & session::Desktop))
        QSKIP(cannotPlay(*row) ? cannotPlay(*row) : "a row for the other players");
    QVERIFY2(!cannotPlay(*row), "a desktop row the desktop cannot play");
    QVERIFY2(user.launch(int(row->scale), &error), qPrintable(error));
    const QSize size(int(row->width), int(row->height));
    QVERIFY(size == DesktopUser::kOpeningSize || user.resizeTo(size));
    // The check box's square, left of its caption, as the style draws it checked.
    QRectF indicator = support::box(board::Control::Check1);
    indicator.setWidth(16);
    const QRect square =
        QTransform::fromScale(row->scale, row->scale).mapRect(indicator).toAlignedRect();
    const QImage checked = user.settledShot().copy(square);

    support::ExpectedScreen expected(row->width, row->height, row->scale);
    const unsigned long arrows[] = {XK_Left, XK_Right, XK_Up, XK_Down};
    QPointF at;
    for (const session::Step &step : row->steps) {
        expected.play(step);
        const QPointF place(step.x, step.y);
        const int button = int(step.button) + 1; // X's left, middle and right
        switch (step.kind) {
        case session::Step::Down:
        case session::Step::Move:
        case session::Step::Up:
            if (step.kind != session::Step::Up || place != at)
                user.moveTo(at = place);
            if (step.kind == session::Step::Down)
                user.press(button);
            if (step.kind == session::Step::Up)
                user.release(button);
            break;
        case session::Step::Click:
            user.clickControl(step.control);
            break;
        case session::Step::Key:
            user.typeKey(arrows[int(step.key)], step.shift, step.ctrl, step.alt, step.meta);
            break;
        case session::Step::Resize:
            QVERIFY(user.resizeTo(QSize(int(step.x), int(step.y))));
            break;
        case session::Step::Shot: {
            QImage shot;
            const QString name = QString::fromLatin1(QTest::currentDataTag()) + " - "
                + QString::fromStdString(step.name);
            QVERIFY2(user.showsScreen(expected, QString(name).replace(' ', '-'), &error, &shot),
                qPrintable(error));
            QVERIFY2((shot.copy(square) == checked) == expected.core().gridChecked(),
                "the check box does not show the grid's state");
            break;
        }
        case session::Step::Commands:
            break;
        }
    }
}

void tst_EndToEnd::openingScreenLooksLikeTheReadmePicture()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    QImage shot;
    QVERIFY2(user.showsScreen(
                 support::ExpectedScreen(900, 541), QStringLiteral("opening"), &error, &shot),
        qPrintable(error));
    // Fonts and antialiasing may differ a little from where the picture was made, nothing else.
    const QImage doc =
        QImage(BRINMOOR_SOURCE_DIR "/docs/screenshot.png").convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!doc.isNull(), "docs/screenshot.png is missing or unreadable");
    QCOMPARE(doc.size(), shot.size());
    const qsizetype differing = differingPixels(shot, doc, 48).size();
    const double share = double(differing) / (shot.width() * shot.height());
    qInfo("docs/screenshot.png: %lld pixels (%.3f %%) differ by more than 48 levels",
        qlonglong(differing), 100 * share);
    QVERIFY2(share < 0.005, "the start-up screen no longer looks like docs/screenshot.png");
}

void tst_EndToEnd::eventStormLeavesTheInitialScreenAfterReset()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    const QSize opening = DesktopUser::kOpeningSize;
    const support::ExpectedScreen initial(opening.width(), opening.height());
    QImage start;
    QVERIFY2(user.showsScreen(initial, QStringLiteral("storm-start"), &error, &start),
        qPrintable(error));

    const QString randomSeed = QString::number(QRandomGenerator::global()->generate());
    const quint32 seed = qEnvironmentVariable("BRINMOOR_E2E_SEED", randomSeed).toUInt();
    qInfo("storm seed %u (set BRINMOOR_E2E_SEED to repeat it)", seed);
    QRandomGenerator random(seed);

    const QList<QSize> sizes {QSize(1, 1), QSize(1, 541), QSize(900, 1), QSize(30, 30),
        QSize(120, 90), QSize(300, 200), QSize(640, 480), opening, QSize(1280, 720),
        QSize(1900, 1180)};
    QSize current = opening;
    const auto anywhere = [&] {
        return QPoint(random.bounded(DesktopUser::kScreenSize.width()),
            random.bounded(DesktopUser::kScreenSize.height()));
    };
    const auto inWindow = [&] {
        return user.windowOrigin()
            + QPoint(random.bounded(std::max(1, current.width())),
                random.bounded(std::max(1, current.height())));
    };
    QList<QRectF> controls;
    for (int i = 0; i < board::kControlCount; ++i)
        controls << support::box(board::Control(i));

    for (int actions = 1; actions <= 5000; ++actions) {
        const int kind = random.bounded(100);
        if (kind < 30) {
            user.movePointer(random.bounded(2) ? anywhere() : inWindow());
        } else if (kind < 42) {
            user.setButton(1 + random.bounded(3), true);
        } else if (kind < 54) {
            user.setButton(1 + random.bounded(3), false); // often one that is not down
        } else if (kind < 72) {
            user.movePointer(
                user.toScreen(controls[random.bounded(int(controls.size()))].center()));
            user.setButton(1, true);
            user.setButton(1, false);
        } else if (kind < 80) {
            current = random.bounded(3) ? sizes[random.bounded(int(sizes.size()))]
                                        : QSize(1 + random.bounded(1900), 1 + random.bounded(1180));
            user.resizeWindow(current);
        } else {
            // A burst: a press and a run of moves with no pause, reaching in and out.
            user.movePointer(inWindow());
            user.setButton(1 + random.bounded(3), true);
            for (int i = random.bounded(2, 12); i > 0; --i)
                user.movePointer(random.bounded(4) ? inWindow() : anywhere());
        }
        if (random.bounded(3) == 0)
            QThread::msleep(random.bounded(1, 15));
        if (actions % 100 == 0)
            QVERIFY2(user.isAlive(),
                qPrintable(QString::asprintf("the program ended after %d actions: ", actions)
                    + user.exitDescription()));
    }
    user.save(user.settledShot(), QStringLiteral("storm-last"));
    user.releaseButtons();
    QVERIFY2(user.isAlive(), qPrintable(user.exitDescription()));
    QCOMPARE(user.findWindow(), user.window());

    // A different size first, so that the opening size is a real resize that clears strokes.
    QVERIFY(user.resizeTo(QSize(640, 480)) && user.resizeTo(opening));
    user.clickControl(board::Control::Option1_0);
    user.clickControl(board::Control::Command1);
    QVERIFY2(user.showsScreen(initial, QStringLiteral("storm-end"), &error), qPrintable(error));

    // Exactly the opening screen, pixel for pixel, but for the focus and hover frames that
    // the style draws on the controls (at scale 1, their boxes are device pixels).
    const QList<QPoint> changed = differingPixels(start, user.settledShot(), 0, controls);
    QVERIFY2(changed.isEmpty(),
        qPrintable(
            QString::asprintf("%lld pixels differ from the opening screen, first at (%d, %d)",
                qlonglong(changed.size()), changed.value(0).x(), changed.value(0).y())));
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
