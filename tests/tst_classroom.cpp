// For the classroom: the board told in words, the desktop surface's accessible description and
// its events, and Ctrl+C putting the board on the clipboard as a picture.
#include "form1_driver.h"

#include "board/description.h"
#include "figure/construction.h"

#include <QAccessible>
#include <QClipboard>
#include <QtTest>

namespace {

const char *const kFigure = "三角形ＡＢＣの各辺を１辺とする正三角形ＡＢＦ、ＡＣＤ、ＢＣＥと、"
                            "平行四辺形ＡＦＥＤの図です。";
const char *const kNoRectangle = "四角形ＡＦＥＤは長方形ではありません。";
const char *const kRectangle = "四角形ＡＦＥＤは長方形です（水色）。";

QString place(const char *across, const char *upDown)
{
    return QStringLiteral("点Ａは、点Ｂから%1、%2のところにあります。").arg(across, upDown);
}

QString descriptionOf(QWidget &widget)
{
    return QAccessible::queryAccessibleInterface(&widget)->text(QAccessible::Description);
}

} // namespace

class tst_Classroom : public QObject
{
    Q_OBJECT

private slots:
    void boardIsToldInGridCellsFromB_data();
    void boardIsToldInGridCellsFromB();
    void surfaceDescriptionFollowsTheBoard();
    void copyPutsTheBoardAloneOnTheClipboard();
};

void tst_Classroom::boardIsToldInGridCellsFromB_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QPointF>("drag"); // A's displacement in one drag, or none
    QTest::addColumn<int>("marks");
    QTest::addColumn<bool>("brief");
    QTest::addColumn<QString>("text");
    // 54.1-pixel cells; A starts 120.2 right of and 104.1 above B.
    QTest::newRow("initial screen")
        << QSize(900, 541) << QPointF() << 0 << false
        << kFigure + place("右へ2.2マス", "上へ1.9マス") + kNoRectangle + "うった点は0個です。";
    QTest::newRow("one drag lights the rectangle") << QSize(900,
        541) << QPointF(38, 54) << 0 << true << place("右へ2.9マス", "上へ0.9マス") + kRectangle;
    QTest::newRow("A left of B, a tenth above, three marks")
        << QSize(900, 541) << QPointF(-300, 100) << 3 << false
        << kFigure + place("左へ3.3マス", "上へ0.1マス") + kNoRectangle + "うった点は3個です。";
    QTest::newRow("A a tenth below B") << QSize(900, 541) << QPointF(-300, 110) << 0 << true
                                       << place("左へ3.3マス", "下へ0.1マス") + kNoRectangle;
    // The cells follow the height: 90 pixels here, while the figure follows the width.
    QTest::newRow("narrow window")
        << QSize(700, 900) << QPointF() << 10 << false
        << kFigure + place("右へ1.3マス", "上へ1.1マス") + kNoRectangle + "うった点は10個です。";
}

void tst_Classroom::boardIsToldInGridCellsFromB()
{
    QFETCH(QSize, client);
    QFETCH(QPointF, drag);
    QFETCH(int, marks);
    QFETCH(bool, brief);
    QFETCH(QString, text);
    board::Board b(client.width(), client.height());
    if (!drag.isNull()) {
        b.press(800, 300);
        b.move(800 + drag.x(), 300 + drag.y());
        b.release();
    }
    for (int i = 0; i < marks; ++i)
        b.clickMark(0);
    const board::Detail detail = brief ? board::Detail::Brief : board::Detail::Full;
    QCOMPARE(QString::fromUtf8(board::describe(b, detail).c_str()), text);
}

// Name and description as a screen reader reads them. The description changes (and Qt sends
// DescriptionChanged, which the offscreen platform cannot show) when AFED lights up, at the end
// of a drag and after a key, not on the moves between.
void tst_Classroom::surfaceDescriptionFollowsTheBoard()
{
    Form1Driver d;
    QCOMPARE(QAccessible::queryAccessibleInterface(&d.window())->text(QAccessible::Name),
        QString::fromUtf8(board::kWindowCaption));
    const QString initial = descriptionOf(d.window());
    QCOMPARE(initial,
        kFigure + place("右へ2.2マス", "上へ1.9マス") + kNoRectangle + "うった点は0個です。");
    d.press({800, 300});
    d.move({810, 310});
    QCOMPARE(descriptionOf(d.window()), initial);
    d.move({838, 354}); // lights the rectangle
    const QString lit = descriptionOf(d.window());
    QVERIFY(lit.contains(place("右へ2.9マス", "上へ0.9マス") + kRectangle));
    d.move({840, 354});
    QCOMPARE(descriptionOf(d.window()), lit);
    d.release({840, 354});
    QVERIFY(descriptionOf(d.window()).contains(place("右へ3.0マス", "上へ0.9マス")));
    d.typeKey(Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(descriptionOf(d.window()).contains(place("右へ3.1マス", "上へ0.9マス")));
}

// Memo stroke, mark and figure on white, and nothing of the controls or their panels.
void tst_Classroom::copyPutsTheBoardAloneOnTheClipboard()
{
    Form1Driver d;
    d.click(d.placeButton());
    d.click(d.memoOption());
    d.drag({600, 480}, {700, 480});
    d.typeKey(Qt::Key_C, Qt::ControlModifier);
    const QImage picture = QGuiApplication::clipboard()->image();
    QCOMPARE(picture.size(), d.window().size() * d.window().devicePixelRatio());

    const scene::Scene &s = d.items();
    const QPointF mark(s.Shape2[0].Left + 4, s.Shape2[0].Top + 4);
    const QPointF onBC = clearPointOn(s, s.Line1[0]);
    QVERIFY(!onBC.isNull());
    QCOMPARE(Form1Driver::pixel(picture, {650, 480}), rgb(board::kMemoColor));
    QCOMPARE(Form1Driver::pixel(picture, mark), rgb(s.Shape2[0].BackColor));
    QCOMPARE(Form1Driver::pixel(picture, onBC), rgb(s.Line1[0].BorderColor));
    for (const board::ControlDesign &c : board::kControls)
        QCOMPARE(Form1Driver::pixel(picture, {c.left + 3, c.top + 3}), QColor(Qt::white));
    for (const scene::ShapeItem *panel : {&s.Shape1, &s.Shape3})
        QCOMPARE(Form1Driver::pixel(picture, {panel->Left + 6, panel->Top + panel->Height - 6}),
            QColor(Qt::white));
    // Under the mark note: its white text sits on a panel that is not in the picture.
    QCOMPARE(d.pixelAt({s.Shape3.Left + 6, s.Shape3.Top + s.Shape3.Height - 6}),
        rgb(s.Shape3.FillColor));
}

QTEST_MAIN(tst_Classroom)
#include "tst_classroom.moc"
