// The board told in words, as the desktop window's accessible description gives it.
#include "form1_driver.h"

#include <QAccessible>
#include <QtTest>

class tst_Classroom : public QObject
{
    Q_OBJECT

private slots:
    void surfaceTellsTheBoardInGridCellsFromB_data();
    void surfaceTellsTheBoardInGridCellsFromB();
};

void tst_Classroom::surfaceTellsTheBoardInGridCellsFromB_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QPointF>("drag"); // A's displacement in one drag, or none
    QTest::addColumn<int>("marks"); // placed after the drag; a negative count resets instead
    QTest::addColumn<QString>("place"); // where A is, then AFED and the marks
    QTest::addColumn<QString>("rest");
    // 54.1-pixel cells; A starts 120.2 right of and 104.1 above B.
    QTest::newRow("initial screen")
        << QSize(900, 541) << QPointF() << 0 << "右へ2.2マス、上へ1.9マス"
        << "長方形ではありません。うった点は0個";
    QTest::newRow("one drag lights the rectangle")
        << QSize(900, 541) << QPointF(38, 54) << 0 << "右へ2.9マス、上へ0.9マス"
        << "長方形です（水色）。うった点は0個";
    QTest::newRow("A left of and a tenth below B, three marks")
        << QSize(900, 541) << QPointF(-300, 110) << 3 << "左へ3.3マス、下へ0.1マス"
        << "長方形ではありません。うった点は3個";
    QTest::newRow("dragged and marked, then the initial screen")
        << QSize(900, 541) << QPointF(38, 54) << -2 << "右へ2.2マス、上へ1.9マス"
        << "長方形ではありません。うった点は0個";
    // The cells follow the height: 90 pixels here, while the figure follows the width.
    QTest::newRow("narrow window")
        << QSize(700, 900) << QPointF() << 10 << "右へ1.3マス、上へ1.1マス"
        << "長方形ではありません。うった点は10個";
}

void tst_Classroom::surfaceTellsTheBoardInGridCellsFromB()
{
    QFETCH(QSize, client);
    QFETCH(QPointF, drag);
    QFETCH(int, marks);
    QFETCH(QString, place);
    QFETCH(QString, rest);
    Form1Driver d;
    d.resizeTo(client.width(), client.height());
    if (!drag.isNull()) // the description changes with the rectangle and at the end of the drag
        d.drag({600, 300}, QPointF(600, 300) + drag, 1);
    for (int i = 0; i < std::abs(marks); ++i)
        d.click(d.placeButton());
    if (marks < 0)
        d.click(d.resetButton());
    QAccessibleInterface *surface = QAccessible::queryAccessibleInterface(&d.window());
    QCOMPARE(surface->text(QAccessible::Name), QString::fromUtf8(board::kWindowCaption));
    QCOMPARE(surface->text(QAccessible::Description),
        "三角形ＡＢＣの各辺を１辺とする正三角形ＡＢＦ、ＡＣＤ、ＢＣＥと、平行四辺形ＡＦＥＤの図です"
        "。"
        "点Ａは、点Ｂから"
            + place + "のところにあります。四角形ＡＦＥＤは" + rest + "です。");
}

QTEST_MAIN(tst_Classroom)
#include "tst_classroom.moc"
