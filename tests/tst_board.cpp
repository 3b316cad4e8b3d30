// The window's behaviour without a window: what each call changes and asks the front-end to
// repaint, draw or refresh.
#include "board/board.h"
#include "expected_screen.h"

#include <QtTest>

using board::Board;
using board::Changes;
using board::Control;
using board::LeftButton;

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
        // A drag whose release was lost: the next press ends or restarts it.
        b.press(700, 450, LeftButton, LeftButton);
        b.move(701, 450);
        QVERIFY(b.press(float(at.x()), float(at.y()), LeftButton, LeftButton).repaint.isEmpty());
        b.move(float(at.x()) + 40, float(at.y()) + 30);
        QCOMPARE(b.state().xA, xA + 1 + (drags ? 40 : 0));
        QCOMPARE(b.state().yA, yA + (drags ? 30 : 0));
    }

    void dragRepaintsTheFigureBeforeAndAfter()
    {
        Board b;
        const double xA = b.state().xA;
        const scene::Rect before = scene::figureBounds(b.scene());
        b.press(700, 450, LeftButton, LeftButton);
        QVERIFY(b.scene().Line1[0].BorderColor != scene::paletteColor(0));
        b.move(700, 450); // without displacement, still a rebuild: the drag colours show
        QCOMPARE(b.scene().Line1[0].BorderColor, scene::paletteColor(0));
        const Changes changes = b.move(703, 450);
        QCOMPARE(b.state().xA, xA + 3);
        QVERIFY(covers(changes.repaint, before));
        QVERIFY(covers(changes.repaint, scene::figureBounds(b.scene())));
        QVERIFY(!isWhole(changes, b) && !changes.drawMemo && !changes.controls);
        QVERIFY(b.release(LeftButton, 0).repaint.isEmpty());
        QVERIFY(b.move(10, 10).repaint.isEmpty());
        QCOMPARE(b.state().xA, xA + 3);
    }

    void memoSegmentsAreCutToTheClientArea()
    {
        Board b;
        b.clickControl(Control::Option1_1);
        const double xA = b.state().xA;
        b.press(700, 80, LeftButton, LeftButton);
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

    // How far a key steps A is the session row "arrow keys step A one pixel, or ten with Shift".
    void arrowKeysRepaintAndSpeakAsADragWould()
    {
        Board keyed, dragged, memo;
        keyed.press(600, 400, LeftButton, LeftButton); // in the middle of a drag too
        const Changes byKey = keyed.key(board::Key::Down, board::Shift);
        dragged.press(700, 450, LeftButton, LeftButton);
        const Changes byDrag = dragged.move(700, 460);
        QVERIFY(covers(byKey.repaint, byDrag.repaint) && covers(byDrag.repaint, byKey.repaint));
        // Told where A came to rest once the keys are still a moment.
        QVERIFY(byKey.keyTaken && byKey.speak && byKey.speechDelay > 0);
        QVERIFY(QString::fromUtf8(byKey.speech.c_str()).startsWith(QStringLiteral("点Ａは")));
        memo.clickControl(Control::Option1_1);
        const Changes inMemo = memo.key(board::Key::Left, 0);
        QVERIFY(inMemo.keyTaken && inMemo.repaint.isEmpty() && !inMemo.speak);
        QCOMPARE(memo.state().xA, Board().state().xA);
    }

    // Chords with an arrow are the session row "Ctrl, Alt or Meta with an arrow moves nothing".
    void theBoardTakesCopyChordsAndLeavesOtherKeys()
    {
        using board::Key;
        const std::tuple<Key, unsigned, bool> keys[] = {{Key::C, board::Ctrl, true},
            {Key::C, board::Meta, true}, {Key::Insert, board::Ctrl, true}, {Key::C, 0, false},
            {Key::C, board::Ctrl | board::Shift, false}, {Key::Insert, board::Shift, false},
            {Key::Other, 0, false}};
        for (const auto &[key, modifiers, copies] : keys) {
            const Changes changes = Board().key(key, modifiers);
            QVERIFY2(changes.keyTaken == copies && changes.copyPicture == copies,
                qPrintable(QStringLiteral("key %1 with %2").arg(int(key)).arg(modifiers)));
        }
    }

    void controlClicksSayWhatTheControlsShow()
    {
        Board b;
        b.setClientSize(900, 541, 1);
        const auto shows = [](const Changes &c, Control control) {
            return c.controlViews[std::size_t(control)];
        };
        // Either option clears the memo, the one already selected too.
        for (const Control option : {Control::Option1_1, Control::Option1_1, Control::Option1_0}) {
            const Changes clicked = b.clickControl(option);
            QVERIFY(clicked.clearMemo && isWhole(clicked, b) && shows(clicked, option).checked);
        }
        QVERIFY(b.clickControl(Control::Command2_1).repaint.isEmpty()); // disabled: nothing
        const Changes placed = b.clickControl(Control::Command2_0);
        QVERIFY(shows(placed, Control::Command2_1).enabled && !isWhole(placed, b));
        QVERIFY(covers(placed.repaint, scene::boundsOf(b.scene().Shape2[0])));
        QVERIFY(placed.speak && QByteArray(placed.speech.c_str()).contains("1個"));
        const Changes removed = b.clickControl(Control::Command2_1);
        QVERIFY(!shows(removed, Control::Command2_1).enabled);
        QVERIFY(covers(removed.repaint, scene::boundsOf(b.scene().Shape2[0])));
        const Changes hidden = b.clickControl(Control::Check1);
        QVERIFY(!shows(hidden, Control::Check1).checked && isWhole(hidden, b));
        // Nothing moved since the last words: nothing to tell.
        const Changes reset = b.clickControl(Control::Command1);
        QVERIFY(reset.controls && isWhole(reset, b) && !reset.clearMemo);
        QVERIFY(shows(reset, Control::Check1).checked && !reset.described && !reset.speak);
        // A caption measured late repaints its label's box as it was and as it is.
        const scene::Rect narrow = scene::boundsOf(scene::labelAt(b.scene(), 6));
        const Changes widened = b.setLabelWidth(6, float(narrow.right - narrow.left + 30));
        QVERIFY(covers(widened.repaint, narrow) && !isWhole(widened, b));
        QVERIFY(covers(widened.repaint, scene::boundsOf(scene::labelAt(b.scene(), 6))));
    }
};

QTEST_APPLESS_MAIN(tst_Board)
#include "tst_board.moc"
