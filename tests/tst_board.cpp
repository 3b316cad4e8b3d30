// The window's behaviour without a window: what each call changes, and what it asks the
// front-end to repaint, draw or refresh.
#include "board/board.h"

#include <QtTest>

using board::Board;
using board::Changes;
using board::Mode;

namespace {

// A press and a move with the given displacement from a blank place.
Changes dragBy(Board &b, float dx, float dy, float fromX = 700, float fromY = 450)
{
    b.press(fromX, fromY);
    Changes changes = b.move(fromX + dx, fromY + dy);
    b.release();
    return changes;
}

bool covers(const scene::Rect &outer, const scene::Rect &inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

bool isWhole(const scene::Rect &area, const Board &b)
{
    return area.left == 0 && area.top == 0 && area.right == b.width() && area.bottom == b.height();
}

Board measured()
{
    Board b;
    for (int i = 0; i < Board::kLabelCount; ++i)
        b.setLabelSize(i, 20, 30); // a 27-pixel letter's box, as a front-end measures it
    return b;
}

} // namespace

class tst_Board : public QObject
{
    Q_OBJECT

private slots:
    void dragRepaintsTheFigureBeforeAndAfter_data();
    void dragRepaintsTheFigureBeforeAndAfter();
    void memoSegmentsAreCutToTheClientArea_data();
    void memoSegmentsAreCutToTheClientArea();
    void pressesOnControlsAndNamesStartNoDrag_data();
    void pressesOnControlsAndNamesStartNoDrag();
    void selectionSetsTheModeAndClicksClearTheMemo();
    void resizeFitsTheScreenOrKeepsTheLastWhenEmpty_data();
    void resizeFitsTheScreenOrKeepsTheLastWhenEmpty();
    void arrowKeysStepAAsADragWould_data();
    void arrowKeysStepAAsADragWould();
    void marksGridAndResetReportTheirControls();
};

void tst_Board::dragRepaintsTheFigureBeforeAndAfter_data()
{
    QTest::addColumn<float>("dx");
    QTest::addColumn<float>("dy");
    QTest::newRow("a step") << 3.0f << -2.0f;
    QTest::newRow("no displacement") << 0.0f << 0.0f;
    QTest::newRow("a million pixels away") << 1e6f << 1e6f;
}

void tst_Board::dragRepaintsTheFigureBeforeAndAfter()
{
    QFETCH(float, dx);
    QFETCH(float, dy);
    Board b;
    const figure::FigureState start = b.state();
    const scene::Rect before = scene::figureBounds(b.scene());
    QCOMPARE(b.press(700, 450).repaint.isEmpty(), true);
    QCOMPARE(b.state().dragging, std::int16_t(1));
    const Changes changes = b.move(700 + dx, 450 + dy);
    QCOMPARE(b.state().xA, start.xA + dx);
    QCOMPARE(b.state().yA, start.yA + dy);
    QVERIFY(covers(changes.repaint, before));
    QVERIFY(covers(changes.repaint, scene::figureBounds(b.scene())));
    QVERIFY(!changes.drawMemo && !changes.clearMemo && !changes.controls);
    // Every move rebuilds, even one without displacement: the drag colours show.
    QCOMPARE(b.scene().Line1[0].BorderColor, scene::paletteColor(0));
    if (dx == 0)
        QCOMPARE(b.scene().Line2[2].BorderColor, scene::paletteColor(12));
    if (std::abs(dx) < 100) // a partial repaint, not the whole client area
        QVERIFY(!covers(changes.repaint, {0, 0, b.width(), b.height()}));

    const Changes released = b.release();
    QVERIFY(released.repaint.isEmpty());
    QVERIFY(b.move(10, 10).repaint.isEmpty());
    QCOMPARE(b.state().xA, start.xA + dx);
}

void tst_Board::memoSegmentsAreCutToTheClientArea_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QPointF>("cutTo"); // where the segment ends once cut
    QTest::newRow("inside") << QPointF(700, 80) << QPointF(820, 90) << true << QPointF(820, 90);
    QTest::newRow("far right") << QPointF(700, 80) << QPointF(1e6, 80) << true << QPointF(904, 80);
    QTest::newRow("wholly outside")
        << QPointF(-1e6, -50) << QPointF(1e6, -50) << false << QPointF();
}

void tst_Board::memoSegmentsAreCutToTheClientArea()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(bool, drawn);
    Board b;
    b.selectMode(Mode::Memo);
    const figure::FigureState start = b.state();
    b.press(float(from.x()), float(from.y()));
    const Changes changes = b.move(float(to.x()), float(to.y()));
    QCOMPARE(b.state().xA, start.xA);
    QCOMPARE(changes.drawMemo, drawn);
    QCOMPARE(changes.repaint.isEmpty(), !drawn);
    if (!drawn)
        return;
    QFETCH(QPointF, cutTo);
    QCOMPARE(QPointF(changes.memoFrom.x, changes.memoFrom.y), from);
    QVERIFY(std::abs(changes.memoTo.x - cutTo.x()) < 1e-3 && changes.memoTo.y == cutTo.y());
    // The pen's width around the segment is repainted.
    const double pen = board::kMemoPenWidth;
    QVERIFY(covers(changes.repaint,
        scene::spanning(changes.memoFrom, changes.memoTo).adjusted(-pen, -pen, pen, pen)));
}

void tst_Board::pressesOnControlsAndNamesStartNoDrag_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("drags");
    for (const board::ControlDesign &control : board::kControls) {
        QTest::addRow("%s, top-left corner", control.name)
            << QPointF(control.left, control.top) << false;
        QTest::addRow("%s, bottom-right", control.name)
            << QPointF(control.left + control.width - 0.5, control.top + control.height - 0.5)
            << false;
    }
    QTest::newRow("blank right part of the grid box") << QPointF(220, 80) << false;
    QTest::newRow("just right of the grid box") << QPointF(225, 80) << true;
    QTest::newRow("between the mark buttons") << QPointF(90, 119) << true;
    QTest::newRow("the mark note") << QPointF(35, 120) << false;
    QTest::newRow("name A") << QPointF(-1, -1) << false; // placed from the board below
    QTest::newRow("blank") << QPointF(700, 450) << true;
}

void tst_Board::pressesOnControlsAndNamesStartNoDrag()
{
    QFETCH(QPointF, at);
    QFETCH(bool, drags);
    Board b = measured();
    if (at == QPointF(-1, -1))
        at = QPointF(b.label(0).Left + 10, b.label(0).Top + 15);
    const figure::FigureState start = b.state();
    // A drag whose release was lost is under way: the press ends it or restarts it.
    b.press(700, 450);
    b.move(701, 450);
    const Changes pressed = b.press(float(at.x()), float(at.y()));
    QVERIFY(pressed.repaint.isEmpty() && !pressed.clearMemo);
    QCOMPARE(b.state().dragging, std::int16_t(drags ? 1 : 0));
    b.move(float(at.x()) + 40, float(at.y()) + 30);
    QCOMPARE(b.state().xA, start.xA + 1 + (drags ? 40 : 0));
    QCOMPARE(b.state().yA, start.yA + (drags ? 30 : 0));
}

void tst_Board::selectionSetsTheModeAndClicksClearTheMemo()
{
    Board b;
    const Changes selected = b.selectMode(Mode::Memo);
    QVERIFY(!selected.clearMemo && selected.repaint.isEmpty());
    QCOMPARE(b.mode(), Mode::Memo);
    QVERIFY(dragBy(b, 30, 0).drawMemo);

    // A click on the option already selected still clears, and leaves the mode as it is.
    const Changes clicked = b.clickOption();
    QVERIFY(clicked.clearMemo && isWhole(clicked.repaint, b));
    QCOMPARE(b.mode(), Mode::Memo);

    b.selectMode(Mode::MoveA);
    const double xA = b.state().xA;
    QVERIFY(!dragBy(b, 30, 0).drawMemo);
    QCOMPARE(b.state().xA, xA + 30);
}

void tst_Board::resizeFitsTheScreenOrKeepsTheLastWhenEmpty_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<bool>("fits");
    QTest::newRow("640 x 480") << QSizeF(640, 480) << true;
    QTest::newRow("0 x 0") << QSizeF(0, 0) << false;
    QTest::newRow("no width") << QSizeF(0, 541) << false;
    QTest::newRow("no height") << QSizeF(900, 0) << false;
}

void tst_Board::resizeFitsTheScreenOrKeepsTheLastWhenEmpty()
{
    QFETCH(QSizeF, size);
    QFETCH(bool, fits);
    Board b;
    dragBy(b, 20, 10);
    b.clickMark(0);
    const figure::FigureState before = b.state();
    const Changes changes = b.resize(float(size.width()), float(size.height()));
    QCOMPARE(changes.clearMemo, fits);
    QCOMPARE(changes.controls, fits);
    QCOMPARE(changes.repaint.isEmpty(), !fits);
    QVERIFY(!fits || isWhole(changes.repaint, b));
    const Board fresh(float(size.width()), float(size.height()));
    const figure::FigureState &expected = fits ? fresh.state() : before;
    QCOMPARE(b.state().xA, expected.xA);
    QCOMPARE(b.state().yA, expected.yA);
    QCOMPARE(b.state().markCount, fits ? std::int16_t(0) : std::int16_t(1));
}

void tst_Board::arrowKeysStepAAsADragWould_data()
{
    QTest::addColumn<board::Arrow>("arrow");
    QTest::addColumn<bool>("large");
    QTest::addColumn<QPointF>("step");
    QTest::newRow("left") << board::Arrow::Left << false << QPointF(-1, 0);
    QTest::newRow("right") << board::Arrow::Right << false << QPointF(1, 0);
    QTest::newRow("up") << board::Arrow::Up << false << QPointF(0, -1);
    QTest::newRow("shift down") << board::Arrow::Down << true << QPointF(0, 10);
    QTest::newRow("shift left") << board::Arrow::Left << true << QPointF(-10, 0);
}

void tst_Board::arrowKeysStepAAsADragWould()
{
    QFETCH(board::Arrow, arrow);
    QFETCH(bool, large);
    QFETCH(QPointF, step);
    Board keyed;
    Board dragged;
    keyed.press(600, 400); // the key works in the middle of a drag too
    const Changes byKey = keyed.arrowKey(arrow, large);
    const Changes byDrag = dragBy(dragged, float(step.x()), float(step.y()));
    QCOMPARE(keyed.state().xA, dragged.state().xA);
    QCOMPARE(keyed.state().yA, dragged.state().yA);
    QCOMPARE(keyed.scene().Line4[0].BorderColor, dragged.scene().Line4[0].BorderColor);
    QVERIFY(covers(byKey.repaint, byDrag.repaint) && covers(byDrag.repaint, byKey.repaint));
    // The pointer's remembered place is the press's: the next move goes on from there.
    QCOMPARE(keyed.state().lastX, 600.0f);
    QCOMPARE(keyed.state().lastY, 400.0f);

    Board memo;
    memo.selectMode(Mode::Memo);
    const double xA = memo.state().xA, yA = memo.state().yA;
    QVERIFY(memo.arrowKey(arrow, large).repaint.isEmpty());
    QCOMPARE(memo.state().xA, xA);
    QCOMPARE(memo.state().yA, yA);
}

void tst_Board::marksGridAndResetReportTheirControls()
{
    Board b;
    QVERIFY(b.canPlaceMark() && !b.canRemoveMark() && b.gridChecked());
    const Changes placed = b.clickMark(0);
    QVERIFY(placed.controls && b.canRemoveMark());
    QVERIFY(covers(placed.repaint, scene::boundsOf(b.scene().Shape2[0])));
    QVERIFY(!isWhole(placed.repaint, b));
    for (int i = 1; i < 10; ++i)
        b.clickMark(0);
    QVERIFY(!b.canPlaceMark());
    const Changes removed = b.clickMark(1);
    QVERIFY(removed.controls && b.canPlaceMark());
    QVERIFY(covers(removed.repaint, scene::boundsOf(b.scene().Shape2[9])));

    const Changes hidden = b.clickGrid();
    QVERIFY(hidden.controls && isWhole(hidden.repaint, b) && !b.gridChecked());
    QVERIFY(!b.scene().Line5[0].Visible);
    const Changes reset = b.clickReset();
    QVERIFY(reset.controls && isWhole(reset.repaint, b) && !reset.clearMemo);
    QVERIFY(b.gridChecked() && b.scene().Line5[0].Visible && !b.canRemoveMark());
}

QTEST_APPLESS_MAIN(tst_Board)
#include "tst_board.moc"
