// The window as it opens and as it looks: caption, controls, start-up state, painted pixels,
// the grid toggle and the initial screen after a reset or a resize.
#include "form1_driver.h"

#include "figure/construction.h"

#include <QDir>
#include <QtTest>

class tst_Form1 : public QObject
{
    Q_OBJECT

private slots:
    void opensWithCaptionAndSize();
    void controlsStandAtTheirDesignPlaces_data();
    void controlsStandAtTheirDesignPlaces();
    void startsInTheStartUpState();
    void figureFitsTheOpeningSize();
    void segmentsShowTheirExactColours();
    void gridShowsTenRows();
    void buttonFacesAndPanelsShowExactColours();
    void markNoteIsWhiteOnGreen();
    void pointNamesAreOpaqueBoxes();
    void gridToggleHidesAndShows();
    void resetShowsGridAndChecksTheBox();
    void emptyClientAreaKeepsTheLastScreen();
    void savesTheStartUpScreenshot();
    void captionsStayDarkUnderADarkDesktopPalette();
};

void tst_Form1::opensWithCaptionAndSize()
{
    Form1Driver d;
    QCOMPARE(d.window().windowTitle(),
        QStringLiteral("△ＡＢＣの各辺をそれぞれ１辺とする正三角形   by Tolvane"));
    QCOMPARE(d.window().size(), QSize(900, 541));
    const Qt::WindowFlags flags = d.window().windowFlags();
    QVERIFY(!(flags & Qt::MSWindowsFixedSizeDialogHint));
    QCOMPARE(d.window().minimumSize(), QSize(0, 0));
    QCOMPARE(d.window().maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

void tst_Form1::controlsStandAtTheirDesignPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("reset") << "Command1"
                           << "初期画面" << QRect(8, 8, 89, 57);
    QTest::newRow("move A") << "Option1_0"
                            << "Ａ移動・メモクリア" << QRect(112, 16, 145, 17);
    QTest::newRow("memo") << "Option1_1"
                          << "メモ書き" << QRect(112, 40, 81, 17);
    QTest::newRow("grid") << "Check1"
                          << "方眼表示" << QRect(128, 72, 97, 17);
    QTest::newRow("place mark") << "Command2_0"
                                << "点をうつ" << QRect(10, 80, 85, 30);
    QTest::newRow("remove mark") << "Command2_1"
                                 << "点をけす" << QRect(10, 128, 85, 30);
}

void tst_Form1::controlsStandAtTheirDesignPlaces()
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

void tst_Form1::startsInTheStartUpState()
{
    Form1Driver d;
    QVERIFY(d.moveOption()->isChecked());
    QVERIFY(!d.memoOption()->isChecked());
    QVERIFY(d.gridBox()->isChecked());
    QVERIFY(d.placeButton()->isEnabled());
    QVERIFY(!d.removeButton()->isEnabled());
    QVERIFY(d.resetButton()->isEnabled());
    QCOMPARE(d.state().gridShown, std::int16_t(1));
    QCOMPARE(d.state().markCount, std::int16_t(0));
    QCOMPARE(d.state().dragging, std::int16_t(0));
    QVERIFY(d.window().memo().isEmpty());

    // Tab order runs through the controls in their design order.
    QWidget *expected[] = {
        d.resetButton(), d.moveOption(), d.memoOption(), d.gridBox(), d.placeButton()};
    for (int i = 0; i + 1 < 5; ++i)
        QCOMPARE(expected[i]->nextInFocusChain(), expected[i + 1]);
}

void tst_Form1::figureFitsTheOpeningSize()
{
    Form1Driver d;
    figure::FigureState expected;
    scene::Scene expectedItems;
    QVERIFY(figure::resetScreen(expected, expectedItems, 900, 541));
    QCOMPARE(d.state().xB, expected.xB);
    QCOMPARE(d.state().yE, expected.yE);
    QCOMPARE(d.state().xA, expected.xA);
    QCOMPARE(d.state().yF, expected.yF);
    QCOMPARE(d.items().Line3[1].X1, expectedItems.Line3[1].X1);
    QCOMPARE(d.items().Label1[3].Top, expectedItems.Label1[3].Top);
    for (const auto &line : d.items().Line6)
        QVERIFY(line.Visible);
}

void tst_Form1::segmentsShowTheirExactColours()
{
    Form1Driver d;
    const QImage image = d.screen();
    const scene::Scene &s = d.items();
    int checked = 0;
    for (const auto *group : {&s.Line1, &s.Line2, &s.Line3})
        for (const auto &line : *group) {
            const QPointF p = clearPointOn(s, line);
            QVERIFY(!p.isNull());
            QCOMPARE(Form1Driver::pixel(image, p), rgb(line.BorderColor));
            ++checked;
        }
    for (const auto &line : s.Line4) {
        const QPointF p = clearPointOn(s, line);
        QVERIFY(!p.isNull());
        QCOMPARE(Form1Driver::pixel(image, p), rgb(line.BorderColor));
        ++checked;
    }
    QCOMPARE(checked, 11);
    // The starting scheme: BCE blue, ABF magenta, ACD green, FE and DE grey.
    QCOMPARE(Form1Driver::pixel(image, clearPointOn(s, s.Line1[1])), QColor(0, 0, 255));
    QCOMPARE(Form1Driver::pixel(image, clearPointOn(s, s.Line2[1])), QColor(255, 0, 255));
    QCOMPARE(Form1Driver::pixel(image, clearPointOn(s, s.Line3[1])), QColor(0, 255, 0));
    QCOMPARE(Form1Driver::pixel(image, clearPointOn(s, s.Line4[0])), QColor(128, 128, 128));
}

void tst_Form1::gridShowsTenRows()
{
    Form1Driver d;
    const QImage image = d.screen();
    const QColor grey(192, 192, 192);
    const qreal ratio = image.devicePixelRatio();
    // A column right of the figure, clear of the vertical lines at 828.7 and 882.8.
    const int x = int(855 * ratio);
    // Every grey run in that column is one of the rows y = k * 54.1, and rows 0..9 all show
    // (row 10 lies on the bottom edge, y = 541, and shows only where a device pixel is left).
    QSet<int> rowsSeen;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(x, y) != grey)
            continue;
        const int k = qRound(y / ratio / 54.1);
        QVERIFY2(std::abs(y / ratio - k * 54.1) <= 1.5,
            qPrintable(QStringLiteral("stray grey at y = %1").arg(y)));
        rowsSeen.insert(k);
    }
    for (int k = 0; k <= 9; ++k)
        QVERIFY2(rowsSeen.contains(k), qPrintable(QStringLiteral("row %1 missing").arg(k)));
    for (int k = 1; k <= 8; ++k) {
        const qreal xLine = 450 + 54.1 * k;
        bool found = false;
        for (int dx = -1; dx <= 1 && !found; ++dx)
            found = image.pixelColor(int(xLine * ratio) + dx, int(520 * ratio)) == grey;
        QVERIFY2(found, qPrintable(QStringLiteral("vertical grid line at x = %1").arg(xLine)));
    }
}

void tst_Form1::buttonFacesAndPanelsShowExactColours()
{
    Form1Driver d;
    const QImage image = d.screen();
    QCOMPARE(Form1Driver::pixel(image, QPointF(15, 15)), QColor(255, 255, 192)); // 初期画面
    QCOMPARE(Form1Driver::pixel(image, QPointF(90, 60)), QColor(255, 255, 192));
    QCOMPARE(Form1Driver::pixel(image, QPointF(16, 85)), QColor(192, 255, 192)); // 点をうつ
    QCOMPARE(
        Form1Driver::pixel(image, QPointF(16, 133)), QColor(192, 255, 192)); // 点をけす, disabled
    QCOMPARE(Form1Driver::pixel(image, QPointF(200, 60)), QColor(0, 192, 192)); // option panel
    QCOMPARE(Form1Driver::pixel(image, QPointF(250, 28)), QColor(0, 192, 192)); // option background
    QCOMPARE(Form1Driver::pixel(image, QPointF(8, 120)), QColor(0, 128, 0)); // mark panel
    QCOMPARE(
        Form1Driver::pixel(image, QPointF(220, 80)), QColor(255, 255, 255)); // check box background

    // The option captions are white on the panel colour.
    int white = 0;
    for (int x = 130; x < 250; ++x)
        for (int y = 17; y < 32; ++y)
            white += Form1Driver::pixel(image, QPointF(x, y)) == Qt::white;
    QVERIFY2(white > 20, qPrintable(QString::number(white)));
}

void tst_Form1::markNoteIsWhiteOnGreen()
{
    Form1Driver d;
    const QImage image = d.screen();
    int white = 0;
    int green = 0;
    for (int x = 30; x < 80; ++x)
        for (int y = 112; y < 124; ++y) {
            const QColor c = Form1Driver::pixel(image, QPointF(x, y));
            white += c.lightness() > 200;
            green += c == QColor(0, 128, 0);
        }
    QVERIFY2(white > 15, qPrintable(QString::number(white)));
    QVERIFY(green > white);
}

void tst_Form1::pointNamesAreOpaqueBoxes()
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
    QCOMPARE(Form1Driver::pixel(image, QPointF(box.left() - 20, y)), QColor(0, 0, 192));
    QCOMPARE(Form1Driver::pixel(image, QPointF(box.left() + 1, y)), QColor(Qt::white));
    int ink = 0;
    for (int x = int(box.left()); x < int(box.right()); ++x)
        for (int yy = int(box.top()); yy < int(box.bottom()); ++yy)
            ink += Form1Driver::pixel(image, QPointF(x, yy)).lightness() < 60;
    QVERIFY2(ink > 20, "the letter B is drawn in its box");
}

void tst_Form1::gridToggleHidesAndShows()
{
    Form1Driver d;
    const QPointF onGrid(855, 54.1 * 3);
    const QColor grey(192, 192, 192);
    auto gridRowVisible = [&] {
        const QImage image = d.screen();
        for (int dy = -1; dy <= 1; ++dy)
            if (Form1Driver::pixel(image, onGrid + QPointF(0, dy)) == grey)
                return true;
        return false;
    };
    QVERIFY(gridRowVisible());
    d.click(d.gridBox());
    QCOMPARE(d.state().gridShown, std::int16_t(0));
    QVERIFY(!d.gridBox()->isChecked());
    QVERIFY(!gridRowVisible());
    for (const auto &line : d.items().Line5)
        QVERIFY(!line.Visible);
    d.click(d.gridBox());
    QCOMPARE(d.state().gridShown, std::int16_t(1));
    QVERIFY(d.gridBox()->isChecked());
    QVERIFY(gridRowVisible());
}

void tst_Form1::resetShowsGridAndChecksTheBox()
{
    Form1Driver d;
    d.click(d.gridBox());
    QVERIFY(!d.gridBox()->isChecked());
    d.click(d.resetButton());
    QCOMPARE(d.state().gridShown, std::int16_t(1));
    QVERIFY(d.gridBox()->isChecked());
    for (const auto &line : d.items().Line6)
        QVERIFY(line.Visible);
    // Box, flag and lines agree: the next click hides the grid again.
    d.click(d.gridBox());
    QVERIFY(!d.gridBox()->isChecked());
    QVERIFY(!d.items().Line6[0].Visible);

    d.resizeTo(700, 500);
    QVERIFY(d.gridBox()->isChecked());
    QVERIFY(d.items().Line6[0].Visible);
}

void tst_Form1::emptyClientAreaKeepsTheLastScreen()
{
    Form1Driver d;
    d.drag(QPointF(600, 450), QPointF(640, 430));
    d.click(d.placeButton());
    const figure::FigureState before = d.state();
    const float line3 = d.items().Line3[0].X1;

    // A resize event reporting an empty client area, as minimising may.
    QResizeEvent empty(QSize(0, 0), d.window().size());
    d.window().setFixedSize(0, 0);
    QApplication::sendEvent(&d.window(), &empty);
    QCOMPARE(d.state().xA, before.xA);
    QCOMPARE(d.state().xB, before.xB);
    QCOMPARE(d.state().markCount, std::int16_t(1));
    QCOMPARE(d.items().Line3[0].X1, line3);
    QVERIFY(d.removeButton()->isEnabled());

    d.window().setMinimumSize(0, 0);
    d.window().setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    d.resizeTo(900, 541);
    figure::FigureState fresh;
    scene::Scene freshItems;
    QVERIFY(figure::resetScreen(fresh, freshItems, 900, 541));
    QCOMPARE(d.state().xA, fresh.xA);
    QCOMPARE(d.state().markCount, std::int16_t(0));
}

void tst_Form1::savesTheStartUpScreenshot()
{
    Form1Driver d;
    const QString folder = QStringLiteral(BRINMOOR_SCREENSHOT_DIR);
    QVERIFY(QDir().mkpath(folder));
    const qreal ratio = d.window().devicePixelRatio();
    const QString path = folder
        + (ratio == 1 ? QStringLiteral("/startup-offscreen.png")
                      : QStringLiteral("/startup-offscreen@%1x.png").arg(ratio));
    QVERIFY(d.window().grab().save(path));
    const QImage saved(path);
    QCOMPARE(saved.size(), QSize(900, 541) * d.window().devicePixelRatio());
}

void tst_Form1::captionsStayDarkUnderADarkDesktopPalette()
{
    const QPalette desktop = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
    QPalette dark(QColor(50, 50, 50), QColor(30, 30, 30)); // button and window
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(role, Qt::white);
    QApplication::setPalette(dark);

    Form1Driver d;
    for (const char *name : {"Command1", "Check1", "Command2_0"})
        QVERIFY2(d.control(name)->palette().color(QPalette::ButtonText).lightness() < 100, name);
    // The ink of each caption on its light face.
    const QImage image = d.screen();
    for (const QRectF caption :
        {QRectF(20, 25, 65, 22), QRectF(146, 74, 60, 13), QRectF(25, 87, 55, 16)}) {
        int ink = 0;
        for (qreal x = caption.left(); x < caption.right(); ++x)
            for (qreal y = caption.top(); y < caption.bottom(); ++y)
                ink += Form1Driver::pixel(image, QPointF(x, y)).lightness() < 100;
        QVERIFY2(ink > 10, qPrintable(QStringLiteral("%1 dark pixels").arg(ink)));
    }
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
