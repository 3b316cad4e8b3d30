// The window as it opens, as it looks and as it reads: caption, controls, start-up state,
// painted pixels, and the board told in words in the surface's accessible description.
// The opening screen against the core's prediction, at ratios 1 and 2, is the session rows'
// "opening screen" and "ratio 2", played on this window by tst_e2e.
#include "expected_screen.h"
#include "form1_driver.h"

#include <QAccessible>
#include <QDir>
#include <QtTest>

namespace {

// How many pixels in the logical area match.
template <typename Match> int countIn(const QImage &image, QRectF area, Match match)
{
    int count = 0;
    for (qreal x = area.left(); x < area.right(); ++x)
        for (qreal y = area.top(); y < area.bottom(); ++y)
            count += match(Form1Driver::pixel(image, QPointF(x, y)));
    return count;
}

} // namespace

class tst_Form1 : public QObject
{
    Q_OBJECT

private slots:
    void opensAsDesigned()
    {
        Form1Driver d;
        QCOMPARE(d.window().windowTitle(), QString::fromUtf8(board::kWindowCaption));
        QCOMPARE(d.window().size(), QSize(900, 541));
        QVERIFY(!(d.window().windowFlags() & Qt::MSWindowsFixedSizeDialogHint));
        QCOMPARE(d.window().minimumSize(), QSize(0, 0));
        QCOMPARE(d.window().maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        // The start-up state; that the core holds it is the session row "opening screen".
        QVERIFY(d.moveOption()->isChecked());
        QVERIFY(!d.memoOption()->isChecked());
        QVERIFY(d.gridBox()->isChecked());
        QVERIFY(d.placeButton()->isEnabled());
        QVERIFY(!d.removeButton()->isEnabled());
        QVERIFY(d.resetButton()->isEnabled());
        QCOMPARE(d.state().dragging, std::int16_t(0));
        QVERIFY(d.window().memo().isEmpty());
        // Tab order runs through the controls in their design order.
        for (std::size_t i = 0; i + 1 < board::kControls.size(); ++i)
            QCOMPARE(d.control(board::kControls[i].name)->nextInFocusChain(),
                d.control(board::kControls[i + 1].name));
    }

    void controlsStandAtTheirDesignPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        for (int i = 0; i < board::kControlCount; ++i) {
            const board::ControlDesign &c = board::kControls[std::size_t(i)];
            QTest::newRow(c.name) << c.name << QString::fromUtf8(c.caption)
                                  << support::box(board::Control(i)).toRect();
        }
    }

    void controlsStandAtTheirDesignPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        Form1Driver d;
        auto *control = d.control(qPrintable(name));
        QCOMPARE(control->text(), caption);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(control->font().pixelSize(), 16);
        QVERIFY(control->isVisible());
        QVERIFY(!control->text().contains(QLatin1Char('&'))); // no access keys
    }

    void buttonFacesAndPanelsShowExactColours()
    {
        Form1Driver d;
        const QImage image = d.screen();
        const scene::Scene design;
        const QRgb panel = support::rgb(design.Shape3.FillColor);
        const auto face = [](board::Control c) {
            return support::rgb(board::design(c).background);
        };
        using board::Control;
        for (const auto &[at, colour] : {std::pair {QPointF(15, 15), face(Control::Command1)},
                 {QPointF(90, 60), face(Control::Command1)},
                 {QPointF(16, 85), face(Control::Command2_0)},
                 {QPointF(16, 133), face(Control::Command2_1)}, // disabled
                 {QPointF(200, 60), support::rgb(design.Shape1.BackColor)},
                 {QPointF(250, 28), face(Control::Option1_0)}, {QPointF(8, 120), panel},
                 {QPointF(220, 80), face(Control::Check1)}})
            QVERIFY2(Form1Driver::pixel(image, at) == colour,
                qPrintable(QStringLiteral("%1, %2").arg(at.x()).arg(at.y())));

        // The option captions are white on the panel colour.
        const int white =
            countIn(image, QRectF(130, 17, 120, 15), [](QColor c) { return c == Qt::white; });
        QVERIFY2(white > 20, qPrintable(QString::number(white)));
        // The mark note is white on the green panel.
        const QRectF note(30, 112, 50, 12);
        const int light = countIn(image, note, [](QColor c) { return c.lightness() > 200; });
        QVERIFY2(light > 15, qPrintable(QString::number(light)));
        QVERIFY(countIn(image, note, [&](QColor c) { return c == panel; }) > light);
    }

    void pointNamesAreOpaqueBoxes()
    {
        Form1Driver d;
        d.click(d.memoOption());
        // A memo stroke straight through the box of "B" is hidden there by the label's background.
        const QRectF box = scene_qt::toQRectF(scene::boundsOf(d.items().Label1[1]));
        QVERIFY(box.width() >= 12 && box.width() <= 22);
        QVERIFY(box.height() >= 24 && box.height() <= 32);
        const qreal y = box.bottom() - 3;
        d.drag(QPointF(box.left() - 40, y), QPointF(box.right() + 40, y));
        const QImage image = d.screen();
        QCOMPARE(Form1Driver::pixel(image, QPointF(box.left() - 20, y)),
            support::rgb(board::kMemoColor));
        QCOMPARE(Form1Driver::pixel(image, QPointF(box.left() + 1, y)), QColor(Qt::white));
        const QRectF whole(
            QPointF(int(box.left()), int(box.top())), QPointF(int(box.right()), int(box.bottom())));
        QVERIFY2(countIn(image, whole, [](QColor c) { return c.lightness() < 60; }) > 20,
            "the letter B is drawn in its box");
    }

    void savesTheStartUpScreenshot()
    {
        Form1Driver d;
        const QString folder = QStringLiteral(BRINMOOR_SCREENSHOT_DIR);
        QVERIFY(QDir().mkpath(folder));
        const qreal ratio = d.window().devicePixelRatio();
        const QString path = folder
            + QStringLiteral("/startup-offscreen%1.png")
                  .arg(ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio));
        QVERIFY(d.window().grab().save(path));
        QCOMPARE(QImage(path).size(), QSize(900, 541) * ratio);
    }

    void captionsStayDarkUnderADarkDesktopPalette()
    {
        const QPalette desktop = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
        QPalette dark(QColor(50, 50, 50), QColor(30, 30, 30)); // button and window
        for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            dark.setColor(role, Qt::white);
        QApplication::setPalette(dark);

        Form1Driver d;
        for (const char *name : {"Command1", "Check1", "Command2_0"})
            QVERIFY2(
                d.control(name)->palette().color(QPalette::ButtonText).lightness() < 100, name);
        // The ink of each caption on its light face.
        const QImage image = d.screen();
        for (const QRectF caption :
            {QRectF(20, 25, 65, 22), QRectF(146, 74, 60, 13), QRectF(25, 87, 55, 16)}) {
            const int ink = countIn(image, caption, [](QColor c) { return c.lightness() < 100; });
            QVERIFY2(ink > 10, qPrintable(QStringLiteral("%1 dark pixels").arg(ink)));
        }
    }

    void surfaceTellsTheBoardInGridCellsFromB_data()
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

    void surfaceTellsTheBoardInGridCellsFromB()
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
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&d.window());
        QCOMPARE(window->text(QAccessible::Name), QString::fromUtf8(board::kWindowCaption));
        QAccessibleInterface *surface =
            QAccessible::queryAccessibleInterface(d.window().focusProxy());
        QCOMPARE(surface->text(QAccessible::Name), QStringLiteral("図"));
        QCOMPARE(surface->text(QAccessible::Description),
            QStringLiteral("三角形ＡＢＣの各辺を１辺とする正三角形ＡＢＦ、ＡＣＤ、ＢＣＥと、"
                           "平行四辺形ＡＦＥＤの図です。点Ａは、点Ｂから%1のところにあります。"
                           "四角形ＡＦＥＤは%2です。")
                .arg(place, rest));
    }
};

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
