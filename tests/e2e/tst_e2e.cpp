// The built Brinmoor as a person meets it: its own X server with no window manager, the xcb
// platform plugin, the installed fonts, and pointer events that travel through the server.
// Every case starts a fresh program; screenshots of each case go to BRINMOOR_E2E_SHOTS.

#include "expected_screen.h"
#include "figure/construction.h"
#include "x_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <cmath>
#include <optional>

namespace {

const QString kCaption = QStringLiteral("△ＡＢＣの各辺をそれぞれ１辺とする正三角形   by Tolvane");
constexpr QSize kOpeningSize(900, 541);
constexpr QSize kScreenSize(1920, 1200);

// Pause after every pointer event. Events sent in one burst may reach the program as one
// move; the cases that count moves rely on this pause.
constexpr int kPauseMs = 30;
constexpr int kScreenTimeoutMs = 8000;

// The controls at their design places (logical pixels of the client area).
const QRectF kCommand1(8, 8, 89, 57);
const QRectF kOption0(112, 16, 145, 17);
const QRectF kOption1(112, 40, 81, 17);
const QRectF kCheck1(128, 72, 97, 17);
const QRectF kCommand2Place(10, 80, 85, 30);
const QRectF kCommand2Remove(10, 128, 85, 30);
const QList<QRectF> kControls {
    kCommand1, kOption0, kOption1, kCheck1, kCommand2Place, kCommand2Remove};

// The check box's square, left of its text.
const QRectF kCheckIndicator(128, 72, 16, 17);

// A quiet place on the window: away from the figure, the labels and the controls.
constexpr QPointF kFarAway(820, 480);

// Pixels that differ between two screenshots of equal size, leaving out the given logical
// rectangles (the controls, whose focus and hover frames the style draws).
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

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void startUpScreenShowsTheFigureInItsColours();
    void startUpScreenAtScaleTwoShowsTheSameFigure();
    void dragFromFarAwayMovesAByThePointerDisplacement();
    void singleMoveOntoRectangleLightsItBlue();
    void pressOnLabelAStartsNoDrag();
    void marksStopAtTenAndGoLastFirst();
    void memoStrokesLastUntilAnOptionButtonOrResize();
    void resizeShowsTheInitialScreenOfTheNewSize();
    void resetShowsTheGridAndChecksTheBox();
    void eventStormLeavesTheInitialScreenAfterReset();

private:
    bool launch(int scaleFactor = 1);
    QPoint toScreen(QPointF logical) const;
    void moveTo(QPointF logical);
    void press(int button = 1);
    void release(int button = 1);
    void click(QPointF logical);
    void clickControl(const QRectF &control);
    void drag(QPointF from, QPointF to, int steps);
    void resizeTo(QSize size);

    QImage grab() const { return client.grab(window); }
    bool showsScreen(const ExpectedScreen &expected, const QString &shotName, QString *message,
        QImage *shot = nullptr);
    QImage settledShot();
    void save(const QImage &shot, const QString &name) const;

    XServer server;
    XClient client;
    Program program;
    unsigned long window = 0;
    int scale = 1;
    QString shotDir;
};

void tst_EndToEnd::initTestCase()
{
    shotDir = QStringLiteral(BRINMOOR_E2E_SHOTS);
    QVERIFY(QDir().mkpath(shotDir));
    QString error;
    QVERIFY2(
        server.start(kScreenSize,
            QStringLiteral("%1/xvfb-%2.log").arg(shotDir).arg(QCoreApplication::applicationPid()),
            &error),
        qPrintable(error));
    QVERIFY2(client.open(server.display(), &error), qPrintable(error));
    qInfo("X server on %s", qPrintable(server.display()));
}

void tst_EndToEnd::cleanupTestCase()
{
    program.stop();
    client.close();
    server.stop();
}

void tst_EndToEnd::cleanup()
{
    program.stop();
    window = 0;
    scale = 1;
    client.movePointer(QPoint(kScreenSize.width() - 1, kScreenSize.height() - 1));
    for (int button = 1; button <= 3; ++button)
        client.setButton(button, false);
}

bool tst_EndToEnd::launch(int scaleFactor)
{
    scale = scaleFactor;
    QString error;
    QStringList environment;
    if (scaleFactor != 1)
        environment << QStringLiteral("QT_SCALE_FACTOR=%1").arg(scaleFactor);
    const QString log =
        QStringLiteral("%1/%2.log").arg(shotDir, QString::fromLatin1(QTest::currentTestFunction()));
    if (!program.start(
            QStringLiteral(BRINMOOR_EXECUTABLE), server.display(), environment, log, &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (!(window = client.findWindow(kCaption)) && timer.elapsed() < 15000 && program.isAlive())
        QThread::msleep(50);
    if (!window) {
        qWarning("no window captioned %s appeared (program: %s, see %s)", qPrintable(kCaption),
            qPrintable(program.exitDescription()), qPrintable(log));
        return false;
    }
    return true;
}

QPoint tst_EndToEnd::toScreen(QPointF logical) const
{
    return client.windowOrigin(window) + devicePixel(logical, scale);
}

void tst_EndToEnd::moveTo(QPointF logical)
{
    client.movePointer(toScreen(logical));
    QThread::msleep(kPauseMs);
}

void tst_EndToEnd::press(int button)
{
    client.setButton(button, true);
    QThread::msleep(kPauseMs);
}

void tst_EndToEnd::release(int button)
{
    client.setButton(button, false);
    QThread::msleep(kPauseMs);
}

void tst_EndToEnd::click(QPointF logical)
{
    moveTo(logical);
    press();
    release();
}

void tst_EndToEnd::clickControl(const QRectF &control)
{
    click(control.center());
    // Off the control again, so that its hover look leaves the screenshots alone.
    moveTo(kFarAway);
}

void tst_EndToEnd::drag(QPointF from, QPointF to, int steps)
{
    moveTo(from);
    press();
    for (int i = 1; i <= steps; ++i)
        moveTo(from + (to - from) * i / steps);
    release();
}

void tst_EndToEnd::resizeTo(QSize size)
{
    client.resizeWindow(window, size * scale);
    QElapsedTimer timer;
    timer.start();
    while (client.windowSize(window) != size * scale && timer.elapsed() < 5000)
        QThread::msleep(20);
}

// Waits until the screenshot matches (the program paints when it gets to it), then keeps
// the last one for review. On a timeout, message lists what still differs.
bool tst_EndToEnd::showsScreen(
    const ExpectedScreen &expected, const QString &shotName, QString *message, QImage *shot)
{
    QElapsedTimer timer;
    timer.start();
    QImage last;
    QStringList problems;
    do {
        if (!program.isAlive()) {
            *message = QStringLiteral("the program ended: %1").arg(program.exitDescription());
            return false;
        }
        last = grab();
        problems = expected.problems(last, scale);
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
QImage tst_EndToEnd::settledShot()
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

void tst_EndToEnd::save(const QImage &shot, const QString &name) const
{
    if (!shot.isNull())
        shot.save(QStringLiteral("%1/%2.png").arg(shotDir, name));
}

#define VERIFY_SCREEN(expected, name)                                                              \
    do {                                                                                           \
        QString message_;                                                                          \
        QVERIFY2(showsScreen(expected, QStringLiteral(name), &message_), qPrintable(message_));    \
    } while (false)

void tst_EndToEnd::startUpScreenShowsTheFigureInItsColours()
{
    QVERIFY(launch());
    QCOMPARE(client.windowSize(window), kOpeningSize);

    // The places the checks look at come from the figure library; make sure they are the
    // figure's documented numbers for this size before trusting them.
    const ExpectedScreen expected(kOpeningSize);
    const figure::FigureState &f = expected.state();
    const auto near = [](double a, double b) { return std::abs(a - b) < 0.001; };
    QVERIFY(near(f.xB, 269.667) && near(f.yB, 432.8) && near(f.xC, 630.333) && near(f.yC, 432.8));
    QVERIFY(near(f.xE, 450) && near(f.yE, 120.454) && near(f.xA, 389.889) && near(f.yA, 328.685));
    QVERIFY(
        near(f.xF, 239.694) && near(f.yF, 276.611) && near(f.xD, 600.140) && near(f.yD, 172.527));

    QImage shot;
    QString message;
    QVERIFY2(
        showsScreen(expected, QStringLiteral("startup"), &message, &shot), qPrintable(message));

    // The picture in the README shows this screen; fonts and antialiasing may differ a little
    // from where it was made, nothing else.
    const QString docPath = QStringLiteral(BRINMOOR_SOURCE_DIR "/docs/screenshot.png");
    QImage doc(docPath);
    QVERIFY2(!doc.isNull(), qPrintable(docPath + QStringLiteral(" is missing or unreadable")));
    doc = doc.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(doc.size(), shot.size());
    int differing = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb a = shot.pixel(x, y), b = doc.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                std::abs(qBlue(a) - qBlue(b))});
            if (d > 48)
                ++differing;
        }
    const double share = double(differing) / (shot.width() * shot.height());
    qInfo("docs/screenshot.png: %d pixels (%.3f %%) differ by more than 48 levels", differing,
        100 * share);
    QVERIFY2(share < 0.005, "the start-up screen no longer looks like docs/screenshot.png");
}

void tst_EndToEnd::startUpScreenAtScaleTwoShowsTheSameFigure()
{
    QVERIFY(launch(2));
    QCOMPARE(client.windowSize(window), QSize(1800, 1082));
    const ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "startup-scale2");
}

void tst_EndToEnd::dragFromFarAwayMovesAByThePointerDisplacement()
{
    QVERIFY(launch());
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "drag-before");

    // Two moves of the same press, so that the displacement adds up over the events.
    drag(kFarAway, kFarAway + QPointF(10, -5), 2);
    expected.moveA(10, -5);
    QCOMPARE(expected.scene().Line2[2].BorderColor, scene::paletteColor(figure::colour::kLightRed));
    VERIFY_SCREEN(expected, "drag-after");

    // Releasing ended the drag: moves without a button change nothing.
    const QImage before = settledShot();
    moveTo(kFarAway + QPointF(-200, -100));
    moveTo(kFarAway + QPointF(-300, -300));
    QCOMPARE(differingPixels(before, settledShot(), {}, scale, nullptr), 0);
}

void tst_EndToEnd::singleMoveOntoRectangleLightsItBlue()
{
    QVERIFY(launch());
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "rectangle-before");

    // A whole-pixel displacement that puts A where AFED is clearly a rectangle, and where
    // the apexes of the starting figure would not make one: a rebuild that judged the new A
    // against the old F and D would show red.
    const figure::FigureState start = expected.state();
    std::optional<QPoint> best;
    double bestMiss = 0.02;
    for (int dy = 0; dy <= 100; ++dy) {
        for (int dx = -60; dx <= 100; ++dx) {
            ExpectedScreen trial = expected;
            trial.moveA(dx, dy);
            const figure::FigureState &f = trial.state();
            const double product = (f.yF - f.yA) * (f.yD - f.yA) / ((f.xF - f.xA) * (f.xD - f.xA));
            const double miss = std::abs(product + 1);
            if (miss < bestMiss
                && !figure::isRectangleAt(f.xA, f.yA, start.xF, start.yF, start.xD, start.yD)) {
                bestMiss = miss;
                best = QPoint(dx, dy);
            }
        }
    }
    QVERIFY2(best, "no pixel displacement makes AFED a rectangle");

    const QPointF pressAt(800, 100);
    moveTo(pressAt);
    press();
    moveTo(pressAt + QPointF(*best));
    release();
    expected.moveA(best->x(), best->y());
    QCOMPARE(
        expected.scene().Line4[0].BorderColor, scene::paletteColor(figure::colour::kLightBlue));
    VERIFY_SCREEN(expected, "rectangle-after");
}

void tst_EndToEnd::pressOnLabelAStartsNoDrag()
{
    QVERIFY(launch());
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "label-before");
    const QImage before = settledShot();

    const scene::LabelItem &labelA = expected.scene().Label1[0];
    const QPointF inside(std::ceil(labelA.Left) + 4, std::ceil(labelA.Top) + 8);
    drag(inside, inside + QPointF(30, 20), 3);
    moveTo(kFarAway);
    QRect firstChange;
    const int changed = differingPixels(before, settledShot(), {}, scale, &firstChange);
    QVERIFY2(changed == 0,
        qPrintable(QStringLiteral("%1 pixels changed, first at (%2, %3)")
                       .arg(changed)
                       .arg(firstChange.x())
                       .arg(firstChange.y())));

    // Just left of the box the same press does drag: the box starts where its formula says.
    const QPointF outside(std::floor(labelA.Left) - 3, std::ceil(labelA.Top) + 8);
    drag(outside, outside + QPointF(30, 20), 3);
    expected.moveA(30, 20);
    VERIFY_SCREEN(expected, "label-outside-drag");
}

void tst_EndToEnd::marksStopAtTenAndGoLastFirst()
{
    QVERIFY(launch());
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "marks-before");

    const auto stepA = [&] {
        drag(kFarAway, kFarAway + QPointF(14, 0), 2);
        expected.moveA(14, 0);
    };
    for (int i = 0; i < 10; ++i) {
        clickControl(kCommand2Place);
        expected.placeMark();
        stepA();
    }
    VERIFY_SCREEN(expected, "marks-ten");

    // The button is disabled now: an eleventh click leaves A's new place unmarked.
    clickControl(kCommand2Place);
    expected.placeMark();
    QCOMPARE(expected.state().markCount, std::int16_t(10));
    QThread::msleep(300);
    VERIFY_SCREEN(expected, "marks-no-eleventh");

    clickControl(kCommand2Remove);
    expected.removeMark();
    VERIFY_SCREEN(expected, "marks-nine");
    clickControl(kCommand2Remove);
    expected.removeMark();
    VERIFY_SCREEN(expected, "marks-eight");

    clickControl(kCommand1);
    expected.reset();
    VERIFY_SCREEN(expected, "marks-reset");
}

void tst_EndToEnd::memoStrokesLastUntilAnOptionButtonOrResize()
{
    QVERIFY(launch());
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "memo-before");

    drag(kFarAway, kFarAway + QPointF(20, -10), 2);
    expected.moveA(20, -10);
    VERIFY_SCREEN(expected, "memo-dragged");

    const QPolygonF top {QPointF(300, 25), QPointF(350, 25), QPointF(400, 25), QPointF(450, 25),
        QPointF(500, 25), QPointF(550, 25), QPointF(600, 25)};
    const QPolygonF slope {QPointF(700, 250), QPointF(730, 284), QPointF(760, 318),
        QPointF(790, 352), QPointF(820, 386), QPointF(850, 420)};
    const scene::LabelItem &labelB = expected.scene().Label1[1];
    const double underB = std::round(labelB.Top) + 12;
    const QPolygonF throughB {QPointF(205, underB), QPointF(240, underB), QPointF(275, underB),
        QPointF(310, underB), QPointF(345, underB)};
    const auto drawStroke = [&](const QPolygonF &stroke) {
        moveTo(stroke.first());
        press();
        for (int i = 1; i < stroke.size(); ++i)
            moveTo(stroke[i]);
        release();
        expected.addStroke(stroke);
    };

    clickControl(kOption1);
    expected.clearStrokes();
    drawStroke(top);
    drawStroke(slope);
    drawStroke(throughB);
    QImage shot;
    QString message;
    QVERIFY2(
        showsScreen(expected, QStringLiteral("memo-drawn"), &message, &shot), qPrintable(message));

    // Label B's opaque box covers the stroke under it; just left of the box it shows.
    const int row = devicePixel(QPointF(0, underB), scale).y();
    QCOMPARE(
        QColor(shot.pixel(devicePixel(QPointF(std::floor(labelB.Left) - 4, 0), scale).x(), row)),
        QColor(0, 0, 192));
    for (int x = int(std::ceil(labelB.Left)) + 1; x <= int(std::ceil(labelB.Left)) + 10; ++x) {
        const QRgb c = shot.pixel(devicePixel(QPointF(x, 0), scale).x(), row);
        QVERIFY2(!(qBlue(c) > qRed(c) + 40 && qBlue(c) > qGreen(c) + 40),
            qPrintable(QStringLiteral("memo stroke shows through label B's box at x = %1: %2")
                           .arg(x)
                           .arg(rgbText(c))));
    }

    clickControl(kCommand1);
    expected.reset();
    VERIFY_SCREEN(expected, "memo-after-reset");
    clickControl(kCheck1);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "memo-grid-hidden");
    clickControl(kCheck1);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "memo-grid-shown");

    clickControl(kOption1);
    expected.clearStrokes();
    VERIFY_SCREEN(expected, "memo-cleared-by-memo-option");

    drawStroke(top);
    drawStroke(slope);
    VERIFY_SCREEN(expected, "memo-drawn-again");
    clickControl(kOption0);
    expected.clearStrokes();
    VERIFY_SCREEN(expected, "memo-cleared-by-move-option");

    // Back in move-A mode a drag moves A and draws nothing.
    drag(kFarAway, kFarAway + QPointF(-6, 4), 2);
    expected.moveA(-6, 4);
    VERIFY_SCREEN(expected, "memo-mode-left");

    clickControl(kOption1);
    drawStroke(top);
    VERIFY_SCREEN(expected, "memo-before-resize");
    resizeTo(QSize(640, 480));
    expected.resize(QSizeF(640, 480));
    VERIFY_SCREEN(expected, "memo-cleared-by-resize");
}

void tst_EndToEnd::resizeShowsTheInitialScreenOfTheNewSize()
{
    QVERIFY(launch());
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "resize-before");
    drag(kFarAway, kFarAway + QPointF(25, 15), 2);
    expected.moveA(25, 15);
    clickControl(kCommand2Place);
    expected.placeMark();
    VERIFY_SCREEN(expected, "resize-dragged");

    resizeTo(QSize(640, 480));
    QCOMPARE(client.windowSize(window), QSize(640, 480));
    expected.resize(QSizeF(640, 480));
    VERIFY_SCREEN(expected, "resize-640x480");

    resizeTo(kOpeningSize);
    QCOMPARE(client.windowSize(window), kOpeningSize);
    expected.resize(kOpeningSize);
    VERIFY_SCREEN(expected, "resize-back-900x541");
}

void tst_EndToEnd::resetShowsTheGridAndChecksTheBox()
{
    QVERIFY(launch());
    ExpectedScreen expected(kOpeningSize);
    QImage start;
    QString message;
    QVERIFY2(
        showsScreen(expected, QStringLiteral("grid-start"), &message, &start), qPrintable(message));
    const QImage checked = region(start, kCheckIndicator, scale);

    clickControl(kCheck1);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "grid-hidden");
    QVERIFY2(region(settledShot(), kCheckIndicator, scale) != checked,
        "the check box still shows a check");

    clickControl(kCommand1);
    expected.reset();
    VERIFY_SCREEN(expected, "grid-reset");
    QVERIFY2(region(settledShot(), kCheckIndicator, scale) == checked,
        "reset left the check box unchecked");

    // Box and grid agree after the reset: the next click hides the grid and unchecks the box.
    clickControl(kCheck1);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "grid-hidden-after-reset");
    QVERIFY2(region(settledShot(), kCheckIndicator, scale) != checked,
        "the check box still shows a check");
    clickControl(kCheck1);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "grid-shown-again");
    QVERIFY(region(settledShot(), kCheckIndicator, scale) == checked);
}

void tst_EndToEnd::eventStormLeavesTheInitialScreenAfterReset()
{
    QVERIFY(launch());
    const ExpectedScreen initial(kOpeningSize);
    QImage start;
    QString message;
    QVERIFY2(
        showsScreen(initial, QStringLiteral("storm-start"), &message, &start), qPrintable(message));

    const quint32 seed = qEnvironmentVariableIsSet("BRINMOOR_E2E_SEED")
        ? quint32(qEnvironmentVariableIntValue("BRINMOOR_E2E_SEED"))
        : QRandomGenerator::global()->generate();
    qInfo("storm seed %u (set BRINMOOR_E2E_SEED to repeat it)", seed);
    QRandomGenerator random(seed);

    const QList<QSize> sizes {QSize(1, 1), QSize(1, 541), QSize(900, 1), QSize(30, 30),
        QSize(120, 90), QSize(300, 200), QSize(640, 480), kOpeningSize, QSize(1280, 720),
        QSize(1900, 1180)};
    QSize current = kOpeningSize;
    const auto anywhere = [&] {
        return QPoint(random.bounded(kScreenSize.width()), random.bounded(kScreenSize.height()));
    };
    const auto inWindow = [&] {
        return client.windowOrigin(window)
            + QPoint(random.bounded(std::max(1, current.width())),
                random.bounded(std::max(1, current.height())));
    };

    QElapsedTimer timer;
    timer.start();
    int actions = 0;
    while (timer.elapsed() < 20000) {
        const int kind = random.bounded(100);
        if (kind < 30) {
            client.movePointer(random.bounded(2) ? anywhere() : inWindow());
        } else if (kind < 42) {
            client.setButton(1 + random.bounded(3), true);
        } else if (kind < 54) {
            client.setButton(1 + random.bounded(3), false); // often one that is not down
        } else if (kind < 72) {
            client.movePointer(toScreen(kControls[random.bounded(int(kControls.size()))].center()));
            client.setButton(1, true);
            client.setButton(1, false);
        } else if (kind < 80) {
            current = random.bounded(3) ? sizes[random.bounded(int(sizes.size()))]
                                        : QSize(1 + random.bounded(1900), 1 + random.bounded(1180));
            client.resizeWindow(window, current);
        } else {
            // A burst: a press and a run of moves with no pause, reaching in and out.
            client.movePointer(inWindow());
            client.setButton(1 + random.bounded(3), true);
            for (int i = random.bounded(2, 12); i > 0; --i)
                client.movePointer(random.bounded(4) ? inWindow() : anywhere());
        }
        ++actions;
        if (random.bounded(3) == 0)
            QThread::msleep(random.bounded(1, 15));
        if (actions % 100 == 0)
            QVERIFY2(program.isAlive(),
                qPrintable(QStringLiteral("the program ended after %1 actions: %2")
                               .arg(actions)
                               .arg(program.exitDescription())));
    }
    qInfo("storm: %d actions in %lld ms", actions, timer.elapsed());
    save(grab(), QStringLiteral("storm-last"));
    for (int button = 1; button <= 3; ++button)
        client.setButton(button, false);
    QVERIFY2(program.isAlive(), qPrintable(program.exitDescription()));
    QCOMPARE(client.findWindow(kCaption), window);

    // A different size first, so that the opening size is a real resize that clears strokes.
    resizeTo(QSize(640, 480));
    resizeTo(kOpeningSize);
    QCOMPARE(client.windowSize(window), kOpeningSize);
    clickControl(kOption0);
    clickControl(kCommand1);
    QVERIFY2(showsScreen(initial, QStringLiteral("storm-end"), &message), qPrintable(message));

    // Exactly the opening screen, pixel for pixel, but for the focus and hover frames that
    // the style draws on the controls.
    QRect first;
    const int changed = differingPixels(start, settledShot(), kControls, scale, &first);
    QVERIFY2(changed == 0,
        qPrintable(QStringLiteral("%1 pixels differ from the opening screen, first at (%2, %3)")
                       .arg(changed)
                       .arg(first.x())
                       .arg(first.y())));
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
