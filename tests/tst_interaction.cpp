// What the user does with the window: dragging A, memo strokes, marks, reset and resize,
// driven through real mouse, touch and click events.
#include "form1_driver.h"

#include "figure/construction.h"

#include <QPointingDevice>
#include <QScreen>
#include <QtTest>

namespace {

const QColor kInk(0, 0, 192);
const QColor kMarkGreen(0, 192, 0);

// A stroke place clear of the figure, the controls and the grid at 900 x 541.
const QPointF kStrokeFrom(730, 80);
const QPointF kStrokeTo(820, 80);
const QPointF kOnStroke(745, 80);

figure::FigureState initialAt(int width, int height)
{
    figure::FigureState state;
    scene::Scene items;
    figure::resetScreen(state, items, float(width), float(height));
    return state;
}

} // namespace

class tst_Interaction : public QObject
{
    Q_OBJECT

private slots:
    void dragMovesAByThePointersDisplacement();
    void everyButtonDrags_data();
    void everyButtonDrags();
    void pressOnAPointNameStartsNoDrag();
    void pressOnMarksAndGridDrags();
    void movesWithoutAPressDoNothing();
    void releaseOfASecondButtonEndsTheDrag();
    void dragRecoloursAndKeepsBaseTriangle();
    void memoModeDrawsAndNeverMovesA();
    void moveModeNeverDraws();
    void optionClicksClearStrokes_data();
    void optionClicksClearStrokes();
    void strokesSurviveEverythingButAClear();
    void resizeClearsStrokes();
    void marksUpToTenLastInFirstOut();
    void marksStayWherePlaced();
    void resetRestoresTheInitialScreen();
    void resizeBuildsTheInitialScreenForTheNewSize();
    void noMoveActsAfterResetOrResizeWithoutAPress();
    void dragLeavesNoTraceOfEarlierFrames();
    void oneFingerDragMovesA();
    void losingTheWindowEndsTheDrag();
    void pressesOnControlsStayWithThem_data();
    void pressesOnControlsStayWithThem();
    void keysStepAOnlyOnTheSurfaceInMoveMode();
};

void tst_Interaction::dragMovesAByThePointersDisplacement()
{
    Form1Driver d;
    const double xA = d.state().xA;
    const double yA = d.state().yA;
    // Far from A: A moves by the displacement, it never jumps to the pointer.
    d.press(QPointF(800, 500));
    d.move(QPointF(810, 495));
    QCOMPARE(d.state().xA, xA + 10);
    QCOMPARE(d.state().yA, yA - 5);
    d.move(QPointF(700, 300));
    d.release(QPointF(700, 300));
    QCOMPARE(d.state().xA, xA - 100);
    QCOMPARE(d.state().yA, yA - 200);
    QCOMPARE(d.state().dragging, std::int16_t(0));

    // Beyond the window's edges A goes along, unclamped.
    d.drag(QPointF(450, 300), QPointF(-2000, 3000));
    QCOMPARE(d.state().xA, xA - 100 - 2450);
    QCOMPARE(d.state().yA, yA - 200 + 2700);
}

void tst_Interaction::everyButtonDrags_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void tst_Interaction::everyButtonDrags()
{
    QFETCH(Qt::MouseButton, button);
    Form1Driver d;
    const double xA = d.state().xA;
    d.press(QPointF(700, 400), button);
    d.move(QPointF(730, 400));
    d.release(QPointF(730, 400), button);
    QCOMPARE(d.state().xA, xA + 30);
}

void tst_Interaction::pressOnAPointNameStartsNoDrag()
{
    Form1Driver d;
    const figure::FigureState before = d.state();
    const QRectF nameA = scene_qt::toQRectF(scene::boundsOf(d.items().Label1[0]));
    d.press(nameA.center());
    QCOMPARE(d.state().dragging, std::int16_t(0));
    d.move(nameA.center() + QPointF(40, 40));
    d.release(nameA.center() + QPointF(40, 40));
    QCOMPARE(d.state().xA, before.xA);
    QCOMPARE(d.state().yA, before.yA);
    QCOMPARE(d.items().Line2[0].BorderColor, (scene::Rgb {255, 0, 255})); // not rebuilt
}

void tst_Interaction::pressOnMarksAndGridDrags()
{
    Form1Driver d;
    d.click(d.placeButton());
    const QPointF onMark(d.state().xA, d.state().yA);
    // The name "A" sits above A; the mark itself is centred on A and takes no press.
    d.drag(onMark + QPointF(0, 2), onMark + QPointF(5, 2));
    QCOMPARE(d.state().xA, onMark.x() + 5);

    const QPointF onGridLine(855, 54.1 * 4);
    d.drag(onGridLine, onGridLine + QPointF(0, 7));
    QCOMPARE(d.state().yA, onMark.y() + 7);

    const QPointF onSegment(d.items().Line1[0].X1 + 50, d.items().Line1[0].Y1);
    d.drag(onSegment, onSegment + QPointF(-3, 0));
    QCOMPARE(d.state().xA, onMark.x() + 2);
}

void tst_Interaction::movesWithoutAPressDoNothing()
{
    Form1Driver d;
    const figure::FigureState before = d.state();
    d.move(QPointF(100, 300));
    d.move(QPointF(500, 400));
    QCOMPARE(d.state().xA, before.xA);
    QCOMPARE(d.state().lastX, before.lastX);
    QCOMPARE(d.items().Line1[0].BorderColor, (scene::Rgb {0, 0, 255}));
    // A press and release without movement changes nothing either.
    d.press(QPointF(600, 450));
    d.release(QPointF(600, 450));
    QCOMPARE(d.state().xA, before.xA);
    QCOMPARE(d.items().Line1[0].BorderColor, (scene::Rgb {0, 0, 255}));
}

void tst_Interaction::releaseOfASecondButtonEndsTheDrag()
{
    Form1Driver d;
    const double xA = d.state().xA;
    d.press(QPointF(700, 400), Qt::LeftButton);
    d.move(QPointF(710, 400));
    d.press(QPointF(710, 400), Qt::RightButton); // restarts the drag there
    d.move(QPointF(725, 400));
    QCOMPARE(d.state().xA, xA + 25);
    d.release(QPointF(725, 400), Qt::RightButton);
    QCOMPARE(d.state().dragging, std::int16_t(0));
    d.move(QPointF(780, 420)); // the left button is still held
    QCOMPARE(d.state().xA, xA + 25);
}

void tst_Interaction::dragRecoloursAndKeepsBaseTriangle()
{
    Form1Driver d;
    const scene::Scene before = d.items();
    d.drag(QPointF(800, 500), QPointF(790, 480));
    const scene::Scene &after = d.items();
    for (std::size_t i = 0; i < 3; ++i) {
        QCOMPARE(after.Line1[i].X1, before.Line1[i].X1);
        QCOMPARE(after.Line1[i].Y2, before.Line1[i].Y2);
    }
    QCOMPARE(after.Label1[4].Left, before.Label1[4].Left);
    QVERIFY(after.Label1[0].Left != before.Label1[0].Left);

    // What the user sees: black triangles, the parallelogram red.
    const QImage image = d.screen();
    QCOMPARE(Form1Driver::pixel(image, clearPointOn(after, after.Line1[1])), QColor(0, 0, 0));
    QCOMPARE(Form1Driver::pixel(image, clearPointOn(after, after.Line3[1])), QColor(0, 0, 0));
    QCOMPARE(Form1Driver::pixel(image, clearPointOn(after, after.Line4[0])), QColor(255, 0, 0));

    // One move straight onto a rectangle lights it at once (A at (x, 341) on 640 x 480 is one).
    d.resizeTo(640, 480);
    const QPointF a(d.state().xA, d.state().yA);
    d.drag(QPointF(600, 450), QPointF(600, 450) + (QPointF(320, 341) - a), 1);
    QCOMPARE(d.items().Line4[1].BorderColor, scene::paletteColor(9));
    const QImage lit = d.screen();
    QCOMPARE(
        Form1Driver::pixel(lit, clearPointOn(d.items(), d.items().Line4[1])), QColor(0, 0, 255));
}

void tst_Interaction::memoModeDrawsAndNeverMovesA()
{
    Form1Driver d;
    d.click(d.memoOption());
    const figure::FigureState before = d.state();
    QCOMPARE(d.pixelAt(kOnStroke), QColor(Qt::white));
    d.drag(kStrokeFrom, kStrokeTo);
    QCOMPARE(d.state().xA, before.xA);
    QCOMPARE(d.items().Line1[0].BorderColor, (scene::Rgb {0, 0, 255}));
    QCOMPARE(d.pixelAt(kOnStroke), kInk);
    QVERIFY(!d.window().memo().isEmpty());
    // The press point is the stroke's first vertex; nothing before it is inked.
    QCOMPARE(d.pixelAt(kStrokeFrom - QPointF(8, 0)), QColor(Qt::white));
}

void tst_Interaction::moveModeNeverDraws()
{
    Form1Driver d;
    d.drag(kStrokeFrom, kStrokeTo);
    QVERIFY(d.window().memo().isEmpty());
    QVERIFY(d.pixelAt(kOnStroke) != kInk);
}

void tst_Interaction::optionClicksClearStrokes_data()
{
    QTest::addColumn<bool>("chooseMove");
    QTest::newRow("Ａ移動・メモクリア") << true;
    QTest::newRow("メモ書き, already selected") << false;
}

void tst_Interaction::optionClicksClearStrokes()
{
    QFETCH(bool, chooseMove);
    Form1Driver d;
    d.click(d.memoOption());
    d.drag(kStrokeFrom, kStrokeTo);
    d.click(d.placeButton());
    QCOMPARE(d.pixelAt(kOnStroke), kInk);
    d.click(chooseMove ? d.moveOption() : d.memoOption());
    QVERIFY(d.window().memo().isEmpty());
    QCOMPARE(d.pixelAt(kOnStroke), QColor(Qt::white));
    QCOMPARE(d.state().markCount, std::int16_t(1)); // marks are not strokes
    QCOMPARE(d.moveOption()->isChecked(), chooseMove);
}

void tst_Interaction::strokesSurviveEverythingButAClear()
{
    Form1Driver d;
    d.click(d.memoOption());
    d.drag(kStrokeFrom, kStrokeTo);

    d.click(d.resetButton());
    QCOMPARE(d.pixelAt(kOnStroke), kInk);
    d.click(d.placeButton());
    d.click(d.removeButton());
    QCOMPARE(d.pixelAt(kOnStroke), kInk);
    d.click(d.gridBox()); // off
    d.click(d.gridBox()); // on, with an immediate repaint
    QCOMPARE(d.pixelAt(kOnStroke), kInk);
    d.window().repaint();
    QCOMPARE(d.pixelAt(kOnStroke), kInk);

    // Switching to move-A mode with the keyboard keeps the strokes; dragging A does too.
    d.moveOption()->setChecked(true);
    d.drag(QPointF(700, 450), QPointF(690, 440));
    QCOMPARE(d.pixelAt(kOnStroke), kInk);
}

void tst_Interaction::resizeClearsStrokes()
{
    Form1Driver d;
    d.click(d.memoOption());
    d.drag(kStrokeFrom, kStrokeTo);
    d.resizeTo(1000, 600);
    QVERIFY(d.window().memo().isEmpty());
    QVERIFY(d.pixelAt(kOnStroke) != kInk);
    QVERIFY(d.memoOption()->isChecked()); // the mode stays
    // Strokes drawn at the new size reach its far corner.
    d.drag(QPointF(900, 580), QPointF(990, 580));
    QCOMPARE(d.pixelAt(QPointF(950, 580)), kInk);
}

void tst_Interaction::marksUpToTenLastInFirstOut()
{
    Form1Driver d;
    for (int i = 0; i < 10; ++i) {
        QVERIFY(d.placeButton()->isEnabled());
        d.drag(QPointF(700, 450), QPointF(700, 444)); // A six pixels higher for each mark
        d.click(d.placeButton());
        QVERIFY(d.removeButton()->isEnabled());
    }
    QCOMPARE(d.state().markCount, std::int16_t(10));
    QVERIFY(!d.placeButton()->isEnabled());
    d.click(d.placeButton()); // a disabled button takes no click
    QCOMPARE(d.state().markCount, std::int16_t(10));

    const float lastTop = d.items().Shape2[9].Top;
    d.click(d.removeButton());
    QVERIFY(!d.items().Shape2[9].Visible);
    QVERIFY(d.items().Shape2[8].Visible);
    QCOMPARE(d.items().Shape2[8].Top, lastTop + 6);
    QVERIFY(d.placeButton()->isEnabled());
    for (int i = 0; i < 9; ++i)
        d.click(d.removeButton());
    QCOMPARE(d.state().markCount, std::int16_t(0));
    QVERIFY(!d.removeButton()->isEnabled());
    QVERIFY(d.placeButton()->isEnabled());
}

void tst_Interaction::marksStayWherePlaced()
{
    Form1Driver d;
    const QPointF first(d.state().xA, d.state().yA);
    d.click(d.placeButton());
    d.drag(QPointF(700, 450), QPointF(760, 470));
    const QPointF second(d.state().xA, d.state().yA);
    d.click(d.placeButton());
    d.drag(QPointF(700, 450), QPointF(600, 400));

    const QImage image = d.screen();
    QCOMPARE(Form1Driver::pixel(image, first), kMarkGreen);
    QCOMPARE(Form1Driver::pixel(image, second), kMarkGreen);
    QCOMPARE(d.items().Shape2[0].Left, float(first.x() - 4));
    QCOMPARE(d.items().Shape2[1].Top, float(second.y() - 4));
}

void tst_Interaction::resetRestoresTheInitialScreen()
{
    Form1Driver d;
    const scene::Scene initialItems = d.items();
    d.drag(QPointF(700, 450), QPointF(-500, 900));
    for (int i = 0; i < 4; ++i)
        d.click(d.placeButton());
    d.click(d.memoOption());

    d.click(d.resetButton());
    const figure::FigureState expected = initialAt(900, 541);
    QCOMPARE(d.state().xA, expected.xA);
    QCOMPARE(d.state().yF, expected.yF);
    QCOMPARE(d.items().Line2[2].X1, initialItems.Line2[2].X1);
    QCOMPARE(d.items().Line2[2].BorderColor, initialItems.Line2[2].BorderColor);
    QCOMPARE(d.items().Label1[0].Top, initialItems.Label1[0].Top);
    QCOMPARE(d.state().markCount, std::int16_t(0));
    for (const auto &mark : d.items().Shape2)
        QVERIFY(!mark.Visible);
    QVERIFY(d.placeButton()->isEnabled());
    QVERIFY(!d.removeButton()->isEnabled());
    QVERIFY(d.memoOption()->isChecked()); // the mode stays
}

void tst_Interaction::resizeBuildsTheInitialScreenForTheNewSize()
{
    Form1Driver d;
    d.drag(QPointF(700, 450), QPointF(650, 420));
    d.click(d.placeButton());
    d.resizeTo(640, 480);
    const figure::FigureState expected = initialAt(640, 480);
    QCOMPARE(d.state().xB, 160.f);
    QCOMPARE(d.state().xA, expected.xA);
    QCOMPARE(d.state().yD, expected.yD);
    QCOMPARE(d.state().markCount, std::int16_t(0));
    QVERIFY(!d.removeButton()->isEnabled());

    // There and back gives the same screen as a reset at that size: nothing is scaled.
    d.resizeTo(900, 541);
    QCOMPARE(d.state().xA, initialAt(900, 541).xA);
    QCOMPARE(d.items().Line5[10].Y1, 541.f);
}

void tst_Interaction::noMoveActsAfterResetOrResizeWithoutAPress()
{
    Form1Driver d;
    d.press(QPointF(700, 450));
    d.move(QPointF(710, 450));
    d.click(d.resetButton());
    const double xA = d.state().xA;
    d.move(QPointF(760, 450));
    QCOMPARE(d.state().xA, xA);

    d.press(QPointF(700, 450));
    d.resizeTo(800, 500);
    d.move(QPointF(760, 450));
    QCOMPARE(d.state().xA, initialAt(800, 500).xA);
}

void tst_Interaction::dragLeavesNoTraceOfEarlierFrames()
{
    // Moves repaint only what changed; what the screen shows must still equal a full repaint.
    Form1Driver d;
    d.click(d.placeButton());
    d.press(QPointF(700, 450));
    const QPointF path[] = {{600, 300}, {300, 200}, {320, 341}, {800, 100}, {150, 500}, {450, 300}};
    for (const QPointF &p : path) {
        d.move(p);
        QCoreApplication::processEvents();
    }
    d.release(path[5]);
    QCoreApplication::processEvents();
    const QImage shown = d.window().screen()->grabWindow(d.window().winId()).toImage();
    const QImage full = d.screen();
    QCOMPARE(shown.size(), full.size());
    int differing = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            differing += shown.pixel(x, y) != full.pixel(x, y);
    QCOMPARE(differing, 0);
}

void tst_Interaction::oneFingerDragMovesA()
{
    Form1Driver d;
    QPointingDevice *screen = QTest::createTouchDevice();
    const double xA = d.state().xA;
    const double yA = d.state().yA;
    QTest::touchEvent(&d.window(), screen).press(0, QPoint(700, 450));
    QTest::touchEvent(&d.window(), screen).move(0, QPoint(720, 440));
    QTest::touchEvent(&d.window(), screen).move(0, QPoint(730, 430));
    QTest::touchEvent(&d.window(), screen).release(0, QPoint(730, 430));
    QCoreApplication::processEvents();
    QCOMPARE(d.state().xA, xA + 30);
    QCOMPARE(d.state().yA, yA - 20);
    QCOMPARE(d.state().dragging, std::int16_t(0));
}

void tst_Interaction::losingTheWindowEndsTheDrag()
{
    Form1Driver d;
    d.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d.window()));
    d.press(QPointF(700, 450));
    QCOMPARE(d.state().dragging, std::int16_t(1));

    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(d.state().dragging, std::int16_t(0));
    const double xA = d.state().xA;
    d.move(QPointF(760, 450));
    QCOMPARE(d.state().xA, xA);
}

void tst_Interaction::pressesOnControlsStayWithThem_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPointF>("to");
    QTest::newRow("right drag from 初期画面")
        << QPointF(52, 36) << Qt::RightButton << QPointF(400, 300);
    QTest::newRow("middle drag from 点をうつ")
        << QPointF(52, 95) << Qt::MiddleButton << QPointF(400, 300);
    QTest::newRow("drag from the disabled 点をけす")
        << QPointF(52, 143) << Qt::LeftButton << QPointF(400, 300);
    // The blank right part of the grid box is the box: a drag within it clicks it.
    QTest::newRow("drag in the blank of 方眼表示")
        << QPointF(216, 76) << Qt::LeftButton << QPointF(224, 87);
}

void tst_Interaction::pressesOnControlsStayWithThem()
{
    QFETCH(QPointF, from);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPointF, to);
    Form1Driver d;
    d.drag(QPointF(700, 450), QPointF(710, 455)); // away from the start, so a reset would show
    const figure::FigureState before = d.state();
    d.drag(from, to, 4, button);
    QVERIFY(d.state().xA == before.xA && d.state().yA == before.yA);
    QCOMPARE(d.state().markCount, std::int16_t(0));
    QCOMPARE(d.gridBox()->isChecked(), from.x() < 200);
    QCOMPARE(d.state().gridShown == 1, from.x() < 200);
}

void tst_Interaction::keysStepAOnlyOnTheSurfaceInMoveMode()
{
    Form1Driver d;
    d.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d.window()));
    const auto frame = [&d] { // pixels of the left edge in the focus frame's colour
        const QImage image = d.screen();
        int count = 0;
        for (int y = 200; y < 400; ++y)
            count += Form1Driver::pixel(image, QPointF(0, y))
                == d.window().palette().color(QPalette::Highlight);
        return count;
    };
    // Tab goes from the last control that takes the focus (点をけす is disabled) to the surface.
    d.placeButton()->setFocus(Qt::TabFocusReason);
    QCOMPARE(frame(), 0);
    d.typeKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &d.window());
    QVERIFY(frame() > 20);
    const figure::FigureState start = d.state();
    d.typeKey(Qt::Key_Right);
    QCOMPARE(d.state().xA, start.xA + 1);
    d.typeKey(Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(d.state().yA, start.yA - 10);
    QCOMPARE(d.state().lastX, start.lastX);

    // Not in memo mode, and not on a focused option button, even keys it leaves unused.
    d.click(d.memoOption());
    d.press(QPointF(800, 500)); // the surface takes the focus; a click moves nothing
    d.release(QPointF(800, 500));
    QCOMPARE(QApplication::focusWidget(), &d.window());
    QCOMPARE(frame(), 0);
    d.typeKey(Qt::Key_Left);
    d.click(d.moveOption());
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
        d.typeKey(key);
    QVERIFY(d.state().xA == start.xA + 1 && d.state().yA == start.yA - 10);
}

QTEST_MAIN(tst_Interaction)
#include "tst_interaction.moc"
