// The session table played by the built Brinmoor as a person meets it: its own X server with
// no window manager, the xcb platform plugin, the installed fonts, and pointer and key events
// that travel through the server (XTEST). Every row starts a fresh program; every shot must
// show what the core predicts, and goes to BRINMOOR_E2E_SHOTS for review. With
// BRINMOOR_E2E_WINDOWS naming Brinmoor.exe, the same user plays the Windows program under Wine.
#include "scene/draw_list.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

#include <algorithm>
#include <list>

// It brings in Xlib, whose macros (None, Bool...) would clash with Qt's names: it comes last.
#include "desktop_user.h"

Q_DECLARE_METATYPE(const session::Row *)

namespace {

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

// The Windows player's program and the Wine prefix whose wineserver tests/windows/wine.sh
// keeps running; the desktop player when there is none.
const QString windowsProgram = qEnvironmentVariable("BRINMOOR_E2E_WINDOWS");
const QString winePrefix = qEnvironmentVariable("BRINMOOR_WINEPREFIX");
const session::Player player = windowsProgram.isEmpty() ? session::Desktop : session::Windows;

// Why the player cannot play a row, or nothing when it can.
const char *cannotPlay(const session::Row &row)
{
    for (const session::Step &step : row.steps) {
        if (step.pointer != session::Pointer::Mouse)
            return "XTEST has no touch or pen";
        if (step.kind == session::Step::Resize && step.scale != row.scale)
            return player == session::Desktop
                ? "the desktop's pixel ratio is set only at launch (QT_SCALE_FACTOR)"
                : "Wine reads the pixel density only at launch (LogPixels) and sends no "
                  "WM_DPICHANGED";
        if (step.kind == session::Step::Resize && (step.x <= 0 || step.y <= 0))
            return "Xvfb has no window manager to minimise the window with";
        if (step.kind == session::Step::Commands && player == session::Desktop)
            return "painted commands are the page's and the Windows program's to report";
    }
    return row.scale != int(row.scale) ? "the e2e checks read whole device pixels" : nullptr;
}

// Where the Windows program writes the commands of every frame it paints, one line each.
QString tracePath()
{
    return QStringLiteral(BRINMOOR_E2E_SHOTS "/trace-%1.json").arg(QCoreApplication::applicationPid());
}

QJsonArray paintedFrames()
{
    QFile trace(tracePath());
    QJsonArray frames;
    if (trace.open(QIODevice::ReadOnly))
        while (!trace.atEnd())
            frames.append(QJsonDocument::fromJson(trace.readLine()).array());
    return frames;
}

// The captions' widths as the Windows program measured them: the boxes of the Text it painted.
void takeLabelWidths(board::Board &core)
{
    for (const QJsonValue &frame : paintedFrames())
        for (const QJsonValue &c : frame.toArray())
            if (c[0].toInt() == int(scene::DrawKind::Text))
                core.setLabelWidth(c[8].toInt(), float(c[3].toDouble() - c[1].toDouble()));
}

} // namespace

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
    bool launch(int factor);

    DesktopUser user;
    QString error;
};

// Starts the player's program at a whole scale factor: the desktop Brinmoor with Qt's xcb
// plugin, or Brinmoor.exe under Wine with the matching LogPixels and its trace on.
bool tst_EndToEnd::launch(int factor)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (player == session::Desktop) {
        // The driver's own test settings must not leak into the program a user starts.
        for (const char *name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI"})
            environment.remove(name);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        if (factor != 1)
            environment.insert("QT_SCALE_FACTOR", QString::number(factor));
        return user.launch(QStringLiteral(BRINMOOR_EXECUTABLE), {}, environment, factor, &error);
    }
    environment.insert("WINEPREFIX", winePrefix);
    environment.insert("WINEDEBUG", "-all");
    environment.insert("BRINMOOR_TRACE", tracePath());
    QFile::remove(tracePath());
    // Wine reads the pixel density once, as the program starts.
    QProcess reg;
    reg.setProcessEnvironment(environment);
    reg.start("wine", {"reg", "add", R"(HKCU\Control Panel\Desktop)", "/v", "LogPixels", "/t",
                          "REG_DWORD", "/d", QString::number(96 * factor), "/f"});
    if (!reg.waitForFinished(30000) || reg.exitCode() != 0) {
        error = "wine could not set LogPixels in " + winePrefix;
        return false;
    }
    return user.launch("wine", {windowsProgram}, environment, factor, &error);
}

// BRINMOOR_E2E_SCALE=2 plays the rows made for scale 1 at 200 %.
const session::Row *atScale(const session::Row *row)
{
    static std::list<session::Row> scaled;
    const double scale = qEnvironmentVariableIntValue("BRINMOOR_E2E_SCALE");
    if (!scale || row->scale != 1)
        return row;
    session::Row &copy = scaled.emplace_back(*row);
    copy.scale = scale;
    for (session::Step &step : copy.steps)
        if (step.kind == session::Step::Resize && step.scale == 1)
            step.scale = scale;
    return &copy;
}

void tst_EndToEnd::rowShowsWhatTheCoreSays()
{
    QFETCH(const session::Row *, row);
    row = atScale(row);
    if (!(row->players & player))
        QSKIP(cannotPlay(*row) ? cannotPlay(*row) : "a row for the other players");
    QVERIFY2(!cannotPlay(*row), "a row for this player that it cannot play");
    QVERIFY2(launch(int(row->scale)), qPrintable(error));
    const QSize size(int(row->width), int(row->height));
    QVERIFY(size == DesktopUser::kOpeningSize || user.resizeTo(size));
    // The check box's square, left of its caption, as the style draws it checked.
    QRectF indicator = support::box(board::Control::Check1);
    indicator.setWidth(16);
    const QRect square =
        QTransform::fromScale(row->scale, row->scale).mapRect(indicator).toAlignedRect();
    const QImage checked = user.settledShot().copy(square);

    support::ExpectedScreen expected(row->width, row->height, row->scale);
    if (player == session::Windows)
        takeLabelWidths(expected.core());
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
            // The box may repaint after the board: Wine paints windows in turn.
            const auto boxShowsGrid = [&] {
                return (shot.copy(square) == checked) == expected.core().gridChecked()
                    || (shot = user.grab(), false);
            };
            QVERIFY2(QTest::qWaitFor(boxShowsGrid, 3000),
                "the check box does not show the grid's state");
            break;
        }
        case session::Step::Commands: { // the last frame the Windows program painted
            const QJsonArray frames = paintedFrames();
            const QJsonArray frame = frames.isEmpty() ? QJsonArray() : frames.last().toArray();
            QVERIFY2(!frame.isEmpty() && frame[0][0].toInt() == int(scene::DrawKind::Clear),
                "the program traced no frame that starts with its area");
            const QJsonArray box = frame[0].toArray();
            const QStringList problems = support::commandsDiffer(expected, frame,
                {box[1].toDouble(), box[2].toDouble(), box[3].toDouble(), box[4].toDouble()});
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
            break;
        }
        }
    }
}

void tst_EndToEnd::openingScreenLooksLikeTheReadmePicture()
{
    if (player == session::Windows)
        QSKIP("the picture is the desktop program's: Wine 8 antialiases no shapes, and the "
              "controls are Windows' own (the rows check colours at centre lines instead)");
    QVERIFY2(launch(1), qPrintable(error));
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
    QVERIFY2(launch(1), qPrintable(error));
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
