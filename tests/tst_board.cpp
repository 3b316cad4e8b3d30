// The window's behaviour without a window: what each call changes and asks the front-end to
// repaint, draw or refresh.
#include "board/board.h"
#include "expected_screen.h"

#include <QtTest>

using board::Board;
using board::Changes;

namespace {

bool covers(const scene::Rect &outer, const scene::Rect &inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

bool isWhole(const Changes &changes, const Board &b)
{
    const scene::Rect &r = changes.repaint;
    return r.left == 0 && r.top == 0 && r.right == b.width() && r.bottom == b.height()
        && b.width() > 0;
}

} // namespace

class tst_Board : public QObject
{
    Q_OBJECT

private slots:
    void pressesOnControlsAndNamesStartNoDrag_data()
    {
        QTest::addColumn<QPointF>("at"); // a null point stands for the middle of A's name
        QTest::addColumn<bool>("drags");
        for (const board::ControlDesign &c : board::kControls) {
            QTest::addRow("%s, top left", c.name) << QPointF(c.left, c.top) << false;
            QTest::addRow("%s, bottom right", c.name)
                << QPointF(c.left + c.width - 0.5, c.top + c.height - 0.5) << false;
        }
        QTest::newRow("blank right part of the grid box") << QPointF(220, 80) << false;
        QTest::newRow("just right of the grid box") << QPointF(225, 80) << true;
        QTest::newRow("the mark note") << QPointF(35, 120) << false;
        QTest::newRow("name A") << QPointF() << false;
        QTest::newRow("blank") << QPointF(700, 450) << true;
    }

    void pressesOnControlsAndNamesStartNoDrag()
    {
        QFETCH(QPointF, at);
        QFETCH(bool, drags);
        Board b;
        support::measureLabels(b);
        if (at.isNull())
            at = QPointF(b.scene().Label1[0].Left + 10, b.scene().Label1[0].Top + 15);
        const double xA = b.state().xA, yA = b.state().yA;
        b.press(700, 450); // a drag whose release was lost: the press ends or restarts it
        b.move(701, 450);
        QVERIFY(b.press(float(at.x()), float(at.y())).repaint.isEmpty());
        b.move(float(at.x()) + 40, float(at.y()) + 30);
        QCOMPARE(b.state().xA, xA + 1 + (drags ? 40 : 0));
        QCOMPARE(b.state().yA, yA + (drags ? 30 : 0));
    }

    void dragRepaintsTheFigureBeforeAndAfter()
    {
        Board b;
        const double xA = b.state().xA;
        const scene::Rect before = scene::figureBounds(b.scene());
        b.press(700, 450);
        QVERIFY(b.scene().Line1[0].BorderColor != scene::paletteColor(0));
        b.move(700, 450); // without displacement, still a rebuild: the drag colours show
        QCOMPARE(b.scene().Line1[0].BorderColor, scene::paletteColor(0));
        const Changes changes = b.move(703, 450);
        QCOMPARE(b.state().xA, xA + 3);
        QVERIFY(covers(changes.repaint, before));
        QVERIFY(covers(changes.repaint, scene::figureBounds(b.scene())));
        QVERIFY(!isWhole(changes, b) && !changes.drawMemo && !changes.controls);
        QVERIFY(b.release().repaint.isEmpty());
        QVERIFY(b.move(10, 10).repaint.isEmpty());
        QCOMPARE(b.state().xA, xA + 3);
    }

    void memoSegmentsAreCutToTheClientArea()
    {
        Board b;
        b.selectMode(board::Mode::Memo);
        const double xA = b.state().xA;
        b.press(700, 80);
        Changes changes = b.move(820, 90);
        QVERIFY(changes.drawMemo && changes.memoFrom.x == 700 && changes.memoTo.y == 90);
        const double pen = board::kMemoPenWidth;
        QVERIFY(covers(changes.repaint, {700 - pen, 80 - pen, 820 + pen, 90 + pen}));
        changes = b.move(1e6, 90); // cut at the pen's width beyond the right edge
        QVERIFY(changes.drawMemo && std::abs(changes.memoTo.x - 904) < 1e-3);
        changes = b.move(1e6, -50); // wholly outside
        QVERIFY(!changes.drawMemo && changes.repaint.isEmpty());
        QCOMPARE(b.state().xA, xA);
    }

    void emptyClientAreaKeepsTheLastScreen()
    {
        Board b;
        b.clickMark(0);
        Changes changes = b.resize(900, 0);
        QVERIFY(changes.repaint.isEmpty() && !changes.clearMemo && !changes.controls);
        QCOMPARE(b.state().markCount, std::int16_t(1));
        changes = b.resize(640, 480);
        QVERIFY(changes.clearMemo && changes.controls && isWhole(changes, b));
        QCOMPARE(b.state().xA, Board(640, 480).state().xA);
    }

    void arrowKeysStepAAsADragWould_data()
    {
        QTest::addColumn<board::Arrow>("arrow");
        QTest::addColumn<bool>("large");
        QTest::addColumn<QPointF>("step");
        QTest::newRow("left") << board::Arrow::Left << false << QPointF(-1, 0);
        QTest::newRow("shift down") << board::Arrow::Down << true << QPointF(0, 10);
        QTest::newRow("shift right") << board::Arrow::Right << true << QPointF(10, 0);
    }

    void arrowKeysStepAAsADragWould()
    {
        QFETCH(board::Arrow, arrow);
        QFETCH(bool, large);
        QFETCH(QPointF, step);
        Board keyed, dragged, memo;
        keyed.press(600, 400); // in the middle of a drag too
        const Changes byKey = keyed.arrowKey(arrow, large);
        dragged.press(700, 450);
        const Changes byDrag = dragged.move(700 + float(step.x()), 450 + float(step.y()));
        QCOMPARE(keyed.state().xA, dragged.state().xA);
        QCOMPARE(keyed.state().yA, dragged.state().yA);
        QVERIFY(covers(byKey.repaint, byDrag.repaint) && covers(byDrag.repaint, byKey.repaint));
        QVERIFY(keyed.state().lastX == 600 && keyed.state().lastY == 400); // the pointer's place
        memo.selectMode(board::Mode::Memo);
        QVERIFY(memo.arrowKey(arrow, large).repaint.isEmpty());
        QCOMPARE(memo.state().xA, Board().state().xA);
        QCOMPARE(memo.state().yA, Board().state().yA);
    }

    void controlClicksReportWhatTheyChange()
    {
        Board b;
        const Changes selected = b.selectMode(board::Mode::Memo);
        QVERIFY(!selected.clearMemo && selected.repaint.isEmpty());
        const Changes clicked = b.clickOption(); // on the option already selected too
        QVERIFY(clicked.clearMemo && isWhole(clicked, b) && b.mode() == board::Mode::Memo);
        const Changes placed = b.clickMark(0);
        QVERIFY(placed.controls && b.canRemoveMark() && !isWhole(placed, b));
        QVERIFY(covers(placed.repaint, scene::boundsOf(b.scene().Shape2[0])));
        const Changes removed = b.clickMark(1);
        QVERIFY(removed.controls && !b.canRemoveMark());
        QVERIFY(covers(removed.repaint, scene::boundsOf(b.scene().Shape2[0])));
        const Changes hidden = b.clickGrid();
        QVERIFY(hidden.controls && isWhole(hidden, b) && !b.gridChecked());
        const Changes reset = b.clickReset();
        QVERIFY(reset.controls && isWhole(reset, b) && !reset.clearMemo && b.gridChecked());
        // A caption measured late repaints its label's box as it was and as it is.
        const scene::Rect narrow = scene::boundsOf(scene::labelAt(b.scene(), 6));
        const Changes widened = b.setLabelWidth(6, narrow.right - narrow.left + 30);
        QVERIFY(covers(widened.repaint, narrow) && !isWhole(widened, b));
        QVERIFY(covers(widened.repaint, scene::boundsOf(scene::labelAt(b.scene(), 6))));
    }
};

QTEST_APPLESS_MAIN(tst_Board)
#include "tst_board.moc"
