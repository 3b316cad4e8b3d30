// The built Brinmoor as a person meets it: its own X server with no window manager, the xcb
// platform plugin, the installed fonts, and pointer events that travel through the server.
// Every case starts a fresh program; screenshots of each case go to BRINMOOR_E2E_SHOTS.

#include "desktop_user.h"
#include "expected_screen.h"
#include "figure/construction.h"

#include <QColor>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr QSize kOpeningSize(900, 541);

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
    void pressesOnControlsLeaveAWhereItWas();
    void arrowKeysStepAOnePixelOrTenWithShift();

private:
    DesktopUser user;
    QString error;
};

void tst_EndToEnd::initTestCase()
{
    QVERIFY2(user.startServer(QStringLiteral(BRINMOOR_E2E_SHOTS), &error), qPrintable(error));
}

void tst_EndToEnd::cleanupTestCase()
{
    user.stopServer();
}

void tst_EndToEnd::cleanup()
{
    user.quit();
}

#define VERIFY_SCREEN(expected, name)                                                              \
    do {                                                                                           \
        QString message_;                                                                          \
        QVERIFY2(                                                                                  \
            user.showsScreen(expected, QStringLiteral(name), &message_), qPrintable(message_));    \
    } while (false)

void tst_EndToEnd::startUpScreenShowsTheFigureInItsColours()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    QCOMPARE(user.client().windowSize(user.window()), kOpeningSize);

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
    QVERIFY2(user.showsScreen(expected, QStringLiteral("startup"), &message, &shot),
        qPrintable(message));

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
    QVERIFY2(user.launch(2, &error), qPrintable(error));
    QCOMPARE(user.client().windowSize(user.window()), QSize(1800, 1082));
    const ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "startup-scale2");
}

void tst_EndToEnd::dragFromFarAwayMovesAByThePointerDisplacement()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "drag-before");

    // Two moves of the same press, so that the displacement adds up over the events.
    user.drag(kFarAway, kFarAway + QPointF(10, -5), 2);
    expected.moveA(10, -5);
    QCOMPARE(expected.scene().Line2[2].BorderColor, scene::paletteColor(figure::colour::kLightRed));
    VERIFY_SCREEN(expected, "drag-after");

    // Releasing ended the drag: moves without a button change nothing.
    const QImage before = user.settledShot();
    user.moveTo(kFarAway + QPointF(-200, -100));
    user.moveTo(kFarAway + QPointF(-300, -300));
    QCOMPARE(differingPixels(before, user.settledShot(), {}, user.scale(), nullptr), 0);
}

void tst_EndToEnd::singleMoveOntoRectangleLightsItBlue()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
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
    user.moveTo(pressAt);
    user.press();
    user.moveTo(pressAt + QPointF(*best));
    user.release();
    expected.moveA(best->x(), best->y());
    QCOMPARE(
        expected.scene().Line4[0].BorderColor, scene::paletteColor(figure::colour::kLightBlue));
    VERIFY_SCREEN(expected, "rectangle-after");
}

void tst_EndToEnd::pressOnLabelAStartsNoDrag()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "label-before");
    const QImage before = user.settledShot();

    const scene::LabelItem &labelA = expected.scene().Label1[0];
    const QPointF inside(std::ceil(labelA.Left) + 4, std::ceil(labelA.Top) + 8);
    user.drag(inside, inside + QPointF(30, 20), 3);
    user.moveTo(kFarAway);
    QRect firstChange;
    const int changed = differingPixels(before, user.settledShot(), {}, user.scale(), &firstChange);
    QVERIFY2(changed == 0,
        qPrintable(QStringLiteral("%1 pixels changed, first at (%2, %3)")
                       .arg(changed)
                       .arg(firstChange.x())
                       .arg(firstChange.y())));

    // Just left of the box the same press does drag: the box starts where its formula says.
    const QPointF outside(std::floor(labelA.Left) - 3, std::ceil(labelA.Top) + 8);
    user.drag(outside, outside + QPointF(30, 20), 3);
    expected.moveA(30, 20);
    VERIFY_SCREEN(expected, "label-outside-drag");
}

void tst_EndToEnd::marksStopAtTenAndGoLastFirst()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "marks-before");

    const auto stepA = [&] {
        user.drag(kFarAway, kFarAway + QPointF(14, 0), 2);
        expected.moveA(14, 0);
    };
    for (int i = 0; i < 10; ++i) {
        user.clickControl(kCommand2Place, kFarAway);
        expected.placeMark();
        stepA();
    }
    VERIFY_SCREEN(expected, "marks-ten");

    // The button is disabled now: an eleventh click leaves A's new place unmarked.
    user.clickControl(kCommand2Place, kFarAway);
    expected.placeMark();
    QCOMPARE(expected.state().markCount, std::int16_t(10));
    QThread::msleep(300);
    VERIFY_SCREEN(expected, "marks-no-eleventh");

    user.clickControl(kCommand2Remove, kFarAway);
    expected.removeMark();
    VERIFY_SCREEN(expected, "marks-nine");
    user.clickControl(kCommand2Remove, kFarAway);
    expected.removeMark();
    VERIFY_SCREEN(expected, "marks-eight");

    user.clickControl(kCommand1, kFarAway);
    expected.reset();
    VERIFY_SCREEN(expected, "marks-reset");
}

void tst_EndToEnd::memoStrokesLastUntilAnOptionButtonOrResize()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "memo-before");

    user.drag(kFarAway, kFarAway + QPointF(20, -10), 2);
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
        user.moveTo(stroke.first());
        user.press();
        for (int i = 1; i < stroke.size(); ++i)
            user.moveTo(stroke[i]);
        user.release();
        expected.addStroke(stroke);
    };

    user.clickControl(kOption1, kFarAway);
    expected.clearStrokes();
    drawStroke(top);
    drawStroke(slope);
    drawStroke(throughB);
    QImage shot;
    QString message;
    QVERIFY2(user.showsScreen(expected, QStringLiteral("memo-drawn"), &message, &shot),
        qPrintable(message));

    // Label B's opaque box covers the stroke under it; just left of the box it shows.
    const int row = devicePixel(QPointF(0, underB), user.scale()).y();
    QCOMPARE(QColor(shot.pixel(
                 devicePixel(QPointF(std::floor(labelB.Left) - 4, 0), user.scale()).x(), row)),
        QColor(0, 0, 192));
    for (int x = int(std::ceil(labelB.Left)) + 1; x <= int(std::ceil(labelB.Left)) + 10; ++x) {
        const QRgb c = shot.pixel(devicePixel(QPointF(x, 0), user.scale()).x(), row);
        QVERIFY2(!(qBlue(c) > qRed(c) + 40 && qBlue(c) > qGreen(c) + 40),
            qPrintable(QStringLiteral("memo stroke shows through label B's box at x = %1: %2")
                           .arg(x)
                           .arg(rgbText(c))));
    }

    user.clickControl(kCommand1, kFarAway);
    expected.reset();
    VERIFY_SCREEN(expected, "memo-after-reset");
    user.clickControl(kCheck1, kFarAway);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "memo-grid-hidden");
    user.clickControl(kCheck1, kFarAway);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "memo-grid-shown");

    user.clickControl(kOption1, kFarAway);
    expected.clearStrokes();
    VERIFY_SCREEN(expected, "memo-cleared-by-memo-option");

    drawStroke(top);
    drawStroke(slope);
    VERIFY_SCREEN(expected, "memo-drawn-again");
    user.clickControl(kOption0, kFarAway);
    expected.clearStrokes();
    VERIFY_SCREEN(expected, "memo-cleared-by-move-option");

    // Back in move-A mode a drag moves A and draws nothing.
    user.drag(kFarAway, kFarAway + QPointF(-6, 4), 2);
    expected.moveA(-6, 4);
    VERIFY_SCREEN(expected, "memo-mode-left");

    user.clickControl(kOption1, kFarAway);
    drawStroke(top);
    VERIFY_SCREEN(expected, "memo-before-resize");
    user.resizeTo(QSize(640, 480));
    expected.resize(QSizeF(640, 480));
    VERIFY_SCREEN(expected, "memo-cleared-by-resize");
}

void tst_EndToEnd::resizeShowsTheInitialScreenOfTheNewSize()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    VERIFY_SCREEN(expected, "resize-before");
    user.drag(kFarAway, kFarAway + QPointF(25, 15), 2);
    expected.moveA(25, 15);
    user.clickControl(kCommand2Place, kFarAway);
    expected.placeMark();
    VERIFY_SCREEN(expected, "resize-dragged");

    user.resizeTo(QSize(640, 480));
    QCOMPARE(user.client().windowSize(user.window()), QSize(640, 480));
    expected.resize(QSizeF(640, 480));
    VERIFY_SCREEN(expected, "resize-640x480");

    user.resizeTo(kOpeningSize);
    QCOMPARE(user.client().windowSize(user.window()), kOpeningSize);
    expected.resize(kOpeningSize);
    VERIFY_SCREEN(expected, "resize-back-900x541");
}

void tst_EndToEnd::resetShowsTheGridAndChecksTheBox()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    QImage start;
    QString message;
    QVERIFY2(user.showsScreen(expected, QStringLiteral("grid-start"), &message, &start),
        qPrintable(message));
    const QImage checked = region(start, kCheckIndicator, user.scale());

    user.clickControl(kCheck1, kFarAway);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "grid-hidden");
    QVERIFY2(region(user.settledShot(), kCheckIndicator, user.scale()) != checked,
        "the check box still shows a check");

    user.clickControl(kCommand1, kFarAway);
    expected.reset();
    VERIFY_SCREEN(expected, "grid-reset");
    QVERIFY2(region(user.settledShot(), kCheckIndicator, user.scale()) == checked,
        "reset left the check box unchecked");

    // Box and grid agree after the reset: the next click hides the grid and unchecks the box.
    user.clickControl(kCheck1, kFarAway);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "grid-hidden-after-reset");
    QVERIFY2(region(user.settledShot(), kCheckIndicator, user.scale()) != checked,
        "the check box still shows a check");
    user.clickControl(kCheck1, kFarAway);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "grid-shown-again");
    QVERIFY(region(user.settledShot(), kCheckIndicator, user.scale()) == checked);
}

void tst_EndToEnd::eventStormLeavesTheInitialScreenAfterReset()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    XClient &x = user.client();
    const ExpectedScreen initial(kOpeningSize);
    QImage start;
    QString message;
    QVERIFY2(user.showsScreen(initial, QStringLiteral("storm-start"), &message, &start),
        qPrintable(message));

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
        return QPoint(random.bounded(DesktopUser::kScreenSize.width()),
            random.bounded(DesktopUser::kScreenSize.height()));
    };
    const auto inWindow = [&] {
        return x.windowOrigin(user.window())
            + QPoint(random.bounded(std::max(1, current.width())),
                random.bounded(std::max(1, current.height())));
    };

    QElapsedTimer timer;
    timer.start();
    int actions = 0;
    while (timer.elapsed() < 20000) {
        const int kind = random.bounded(100);
        if (kind < 30) {
            x.movePointer(random.bounded(2) ? anywhere() : inWindow());
        } else if (kind < 42) {
            x.setButton(1 + random.bounded(3), true);
        } else if (kind < 54) {
            x.setButton(1 + random.bounded(3), false); // often one that is not down
        } else if (kind < 72) {
            x.movePointer(user.toScreen(kControls[random.bounded(int(kControls.size()))].center()));
            x.setButton(1, true);
            x.setButton(1, false);
        } else if (kind < 80) {
            current = random.bounded(3) ? sizes[random.bounded(int(sizes.size()))]
                                        : QSize(1 + random.bounded(1900), 1 + random.bounded(1180));
            x.resizeWindow(user.window(), current);
        } else {
            // A burst: a press and a run of moves with no pause, reaching in and out.
            x.movePointer(inWindow());
            x.setButton(1 + random.bounded(3), true);
            for (int i = random.bounded(2, 12); i > 0; --i)
                x.movePointer(random.bounded(4) ? inWindow() : anywhere());
        }
        ++actions;
        if (random.bounded(3) == 0)
            QThread::msleep(random.bounded(1, 15));
        if (actions % 100 == 0)
            QVERIFY2(user.program().isAlive(),
                qPrintable(QStringLiteral("the program ended after %1 actions: %2")
                               .arg(actions)
                               .arg(user.program().exitDescription())));
    }
    qInfo("storm: %d actions in %lld ms", actions, timer.elapsed());
    user.save(user.settledShot(), QStringLiteral("storm-last"));
    for (int button = 1; button <= 3; ++button)
        x.setButton(button, false);
    QVERIFY2(user.program().isAlive(), qPrintable(user.program().exitDescription()));
    QCOMPARE(x.findWindow(DesktopUser::caption()), user.window());

    // A different size first, so that the opening size is a real resize that clears strokes.
    user.resizeTo(QSize(640, 480));
    user.resizeTo(kOpeningSize);
    QCOMPARE(x.windowSize(user.window()), kOpeningSize);
    user.clickControl(kOption0, kFarAway);
    user.clickControl(kCommand1, kFarAway);
    QVERIFY2(user.showsScreen(initial, QStringLiteral("storm-end"), &message), qPrintable(message));

    // Exactly the opening screen, pixel for pixel, but for the focus and hover frames that
    // the style draws on the controls.
    QRect first;
    const int changed = differingPixels(start, user.settledShot(), kControls, user.scale(), &first);
    QVERIFY2(changed == 0,
        qPrintable(QStringLiteral("%1 pixels differ from the opening screen, first at (%2, %3)")
                       .arg(changed)
                       .arg(first.x())
                       .arg(first.y())));
}

void tst_EndToEnd::pressesOnControlsLeaveAWhereItWas()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    // A away from its start first, so that a reset would show.
    user.drag(kFarAway, kFarAway + QPointF(12, -8), 2);
    expected.moveA(12, -8);
    VERIFY_SCREEN(expected, "controls-before");

    user.drag(kCommand1.center(), kFarAway, 3, 3); // the right button
    VERIFY_SCREEN(expected, "controls-right-drag-from-reset");
    user.drag(kCommand2Place.center(), kFarAway, 3, 2); // the middle button
    VERIFY_SCREEN(expected, "controls-middle-drag-from-place-mark");

    // The blank right part of the grid box is the box: a drag within it clicks it.
    user.drag(QPointF(216, 76), QPointF(224, 87), 3);
    user.moveTo(kFarAway);
    expected.toggleGrid();
    VERIFY_SCREEN(expected, "controls-left-drag-in-grid-box");
}

void tst_EndToEnd::arrowKeysStepAOnePixelOrTenWithShift()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    ExpectedScreen expected(kOpeningSize);
    user.click(kFarAway); // the surface takes the focus; a click moves nothing
    VERIFY_SCREEN(expected, "keys-before");

    for (int i = 0; i < 10; ++i)
        user.typeKey(XK_Right);
    expected.moveA(10, 0);
    VERIFY_SCREEN(expected, "keys-right-ten-times");
    for (int i = 0; i < 3; ++i)
        user.typeKey(XK_Up, true);
    expected.moveA(0, -30);
    VERIFY_SCREEN(expected, "keys-shift-up-three-times");
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
