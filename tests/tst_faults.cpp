// The faults a classroom machine can throw at the window: A a million pixels away, sides that
// stand exactly upright or have no length, empty and one-pixel client areas, a storm of
// resizes, and a drag whose release is taken by another window's pointer grab.
#include "figure/construction.h"
#include "figure_invariants.h"
#include "form1.h"
#include "scene/qt/scene_painter.h"
#include "window_events.h"

#include <QAbstractButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QtTest>

#include <cfenv>
#include <cmath>

using figure::FigureState;

namespace {

struct Shown
{
    Form1 form;
    support::Pointer pointer {form};
    Shown() { support::showExposed(form); }
    const FigureState &state() const { return form.core().state(); }
    QAbstractButton *control(const char *name) const
    {
        return form.findChild<QAbstractButton *>(QLatin1String(name));
    }
    QColor pixel(QPointF at) { return form.grab().toImage().pixelColor(at.toPoint()); }
};

struct Screen
{
    FigureState state;
    scene::Scene items;
};

Screen rebuiltAt(float width, float height, double xA, double yA)
{
    Screen s;
    figure::resetScreen(s.state, s.items, width, height);
    s.state.xA = xA;
    s.state.yA = yA;
    figure::RebuildFigure(s.state, s.items);
    return s;
}

bool sameLine(const scene::LineItem &a, const scene::LineItem &b)
{
    return a.X1 == b.X1 && a.Y1 == b.Y1 && a.X2 == b.X2 && a.Y2 == b.Y2
        && a.BorderColor == b.BorderColor && a.Visible == b.Visible;
}

// Every position, colour and visibility the painter reads.
bool sameScene(const scene::Scene &a, const scene::Scene &b)
{
    bool same = true;
    const auto compare = [&](const auto &x, const auto &y) {
        for (std::size_t i = 0; i < x.size(); ++i)
            same = same && sameLine(x[i], y[i]);
    };
    compare(a.Line1, b.Line1);
    compare(a.Line2, b.Line2);
    compare(a.Line3, b.Line3);
    compare(a.Line4, b.Line4);
    compare(a.Line5, b.Line5);
    compare(a.Line6, b.Line6);
    for (std::size_t i = 0; i < a.Label1.size(); ++i)
        same = same && a.Label1[i].Left == b.Label1[i].Left && a.Label1[i].Top == b.Label1[i].Top;
    for (std::size_t i = 0; i < a.Shape2.size(); ++i)
        same = same && a.Shape2[i].Visible == b.Shape2[i].Visible;
    return same;
}

bool samePoints(const FigureState &a, const FigureState &b, double tolerance = 0)
{
    if (tolerance > 0) {
        const double pairs[][2] = {
            {a.xA, b.xA}, {a.yA, b.yA}, {a.xD, b.xD}, {a.yD, b.yD}, {a.xF, b.xF}, {a.yF, b.yF}};
        for (const auto &pair : pairs)
            if (std::abs(pair[0] - pair[1]) > tolerance)
                return false;
        return a.xB == b.xB && a.yB == b.yB && a.xC == b.xC && a.yC == b.yC && a.xE == b.xE
            && a.yE == b.yE;
    }
    return a.xA == b.xA && a.yA == b.yA && a.xB == b.xB && a.yB == b.yB && a.xC == b.xC
        && a.yC == b.yC && a.xD == b.xD && a.yD == b.yD && a.xE == b.xE && a.yE == b.yE
        && a.xF == b.xF && a.yF == b.yF;
}

double distance(double x1, double y1, double x2, double y2)
{
    return std::hypot(x2 - x1, y2 - y1);
}

} // namespace

class tst_Faults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void farAKeepsAFiniteFigure_data();
    void farAKeepsAFiniteFigure();
    void farAStillShowsTheNearPartAndComesBack();
    void strokeTowardsAFarPointerShowsItsNearPart();
    void clippingKeepsWhatIsSeen_data();
    void clippingKeepsWhatIsSeen();

    void uprightAndEmptySidesDivideByNothing_data();
    void uprightAndEmptySidesDivideByNothing();

    void emptyClientAreaKeepsTheScreen_data();
    void emptyClientAreaKeepsTheScreen();
    void onePixelClientAreaWorks();
    void sizesNoWindowReportsAreRefused();
    void resizeStormOfAThousandSizes();

    void releaseLostToAPopupThenPressOnANameMovesNothing();
    void hidingTheWindowMidDragEndsTheDrag();
};

void tst_Faults::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void tst_Faults::farAKeepsAFiniteFigure_data()
{
    QTest::addColumn<double>("xA");
    QTest::addColumn<double>("yA");
    QTest::newRow("up right") << 1e6 << -1e6;
    QTest::newRow("down left") << -1e6 << 1e6;
    QTest::newRow("far right on the base line") << 1e6 << 432.8;
    QTest::newRow("far above E") << 450.0 << -1e6;
    QTest::newRow("far below B") << 269.666656494140625 << 1e6;
}

void tst_Faults::farAKeepsAFiniteFigure()
{
    QFETCH(double, xA);
    QFETCH(double, yA);
    const Screen s = rebuiltAt(900, 541, xA, yA);
    const FigureState &f = s.state;
    QVERIFY(fuzz::checkFigure(s.state, s.items).empty());
    // The apexes are turns of A about B and C: the side lengths carry over.
    QVERIFY(std::abs(distance(f.xB, f.yB, f.xF, f.yF) - f.lenAB) <= 1e-9 * f.lenAB);
    QVERIFY(std::abs(distance(f.xC, f.yC, f.xD, f.yD) - f.lenAC) <= 1e-9 * f.lenAC);
    // AFED stays nearly a parallelogram: F + D - A is E up to the classroom turn (0.2 % of AB).
    QVERIFY(distance(f.xF + f.xD - f.xA, f.yF + f.yD - f.yA, f.xE, f.yE)
        <= 0.005 * (f.lenAB + f.lenAC));
    QCOMPARE(s.items.Line2[0].X1, float(xA));
    QCOMPARE(s.items.Label1[0].Top, float(yA - 30));
}

void tst_Faults::farAStillShowsTheNearPartAndComesBack()
{
    Shown w;
    const FigureState start = w.state();
    w.pointer.press(QPointF(700, 300));
    w.pointer.move(QPointF(1000700, -999700));
    QCOMPARE(w.state().xA, start.xA + 1e6);
    QCOMPARE(w.state().yA, start.yA - 1e6);
    QVERIFY(fuzz::checkFigure(w.state(), w.form.core().scene()).empty());

    // BC stays where it was; AB leaves B towards the far A and still shows, in black.
    const scene::LineItem &ab = w.form.core().scene().Line2[0];
    const QPointF b(ab.X2, ab.Y2);
    const QPointF towardsA =
        QPointF(ab.X1 - ab.X2, ab.Y1 - ab.Y2) / std::hypot(ab.X1 - ab.X2, ab.Y1 - ab.Y2);
    QCOMPARE(w.pixel(b + towardsA * 60), QColor(0, 0, 0));

    // And back by the same displacement: the figure stands where it started, to the millionth
    // of a pixel that adding and taking away a million leaves in a double.
    w.pointer.move(QPointF(700, 300));
    w.pointer.release(QPointF(700, 300));
    QVERIFY(samePoints(w.state(), start, 1e-6));
}

void tst_Faults::strokeTowardsAFarPointerShowsItsNearPart()
{
    Shown w;
    QTest::mouseClick(w.control("Option1_1"), Qt::LeftButton);
    w.pointer.press(QPointF(700, 300));
    w.pointer.move(QPointF(1000700, 300));
    w.pointer.release(QPointF(1000700, 300));
    QVERIFY(!w.form.memo().isEmpty());
    QCOMPARE(w.pixel(QPointF(760, 300)), QColor(0, 0, 192));
    QCOMPARE(w.pixel(QPointF(650, 300)), QColor(Qt::white));
}

void tst_Faults::clippingKeepsWhatIsSeen_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QPointF>("clippedA");
    QTest::addColumn<QPointF>("clippedB");
    // The area is 0..100 x 0..50.
    QTest::newRow("inside, untouched") << QPointF(10.3, 20.7) << QPointF(90.1, 1.9) << true
                                       << QPointF(10.3, 20.7) << QPointF(90.1, 1.9);
    QTest::newRow("out to the right")
        << QPointF(50, 25) << QPointF(1e6, 25) << true << QPointF(50, 25) << QPointF(100, 25);
    QTest::newRow("across from far to far")
        << QPointF(-1e6, -1e6) << QPointF(1e6, 1e6) << true << QPointF(0, 0) << QPointF(50, 50);
    QTest::newRow("upright, inside its column")
        << QPointF(30, -1e6) << QPointF(30, 1e6) << true << QPointF(30, 0) << QPointF(30, 50);
    QTest::newRow("upright, left of the area")
        << QPointF(-5, -1e6) << QPointF(-5, 1e6) << false << QPointF() << QPointF();
    QTest::newRow("missing the corner")
        << QPointF(-10, 5) << QPointF(5, -10) << false << QPointF() << QPointF();
    QTest::newRow("a single point inside")
        << QPointF(5, 5) << QPointF(5, 5) << true << QPointF(5, 5) << QPointF(5, 5);
}

void tst_Faults::clippingKeepsWhatIsSeen()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(bool, visible);
    scene::Point from {a.x(), a.y()};
    scene::Point to {b.x(), b.y()};
    QCOMPARE(scene::clipSegment(from, to, {0, 0, 100, 50}), visible);
    if (!visible)
        return;
    QFETCH(QPointF, clippedA);
    QFETCH(QPointF, clippedB);
    QVERIFY2(QLineF(QPointF(from.x, from.y), clippedA).length() < 1e-9
            && QLineF(QPointF(to.x, to.y), clippedB).length() < 1e-9,
        qPrintable(
            QStringLiteral("(%1, %2) to (%3, %4)").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y())));
}

void tst_Faults::uprightAndEmptySidesDivideByNothing_data()
{
    QTest::addColumn<double>("xA");
    QTest::addColumn<double>("yA");
    QTest::addColumn<QPointF>("F"); // where known to three decimals, else null
    QTest::addColumn<QPointF>("D");
    // The 640 x 480 screen: B = (160, 384), C = (480, 384).
    QTest::newRow("straight above B") << 160.0 << 200.0 << QPointF(0.774, 291.789) << QPointF();
    QTest::newRow("straight below B") << 160.0 << 500.0 << QPointF(260.474, 441.973) << QPointF();
    QTest::newRow("straight above C") << 480.0 << 200.0 << QPointF() << QPointF(639.226, 291.789);
    QTest::newRow("straight below C") << 480.0 << 500.0 << QPointF() << QPointF();
    QTest::newRow("on B") << 160.0 << 384.0 << QPointF(160, 384) << QPointF(319.853, 106.957);
    QTest::newRow("on C") << 480.0 << 384.0 << QPointF() << QPointF(480, 384);
}

void tst_Faults::uprightAndEmptySidesDivideByNothing()
{
    QFETCH(double, xA);
    QFETCH(double, yA);
    QFETCH(QPointF, F);
    QFETCH(QPointF, D);
    Screen s;
    figure::resetScreen(s.state, s.items, 640, 480);
    s.state.xA = xA;
    s.state.yA = yA;
    std::feclearexcept(FE_ALL_EXCEPT);
    figure::RebuildFigure(s.state, s.items);
    // The next move without displacement judges the rectangle with F or D now upright over A.
    figure::RebuildFigure(s.state, s.items);
    QVERIFY2(!std::fetestexcept(FE_DIVBYZERO | FE_INVALID), "a construction divided by zero");

    const FigureState &f = s.state;
    QVERIFY(fuzz::checkFigure(s.state, s.items).empty());
    QVERIFY(std::abs(distance(f.xB, f.yB, f.xF, f.yF) - f.lenAB) <= 1e-9);
    QVERIFY(std::abs(distance(f.xC, f.yC, f.xD, f.yD) - f.lenAC) <= 1e-9);
    if (!F.isNull())
        QVERIFY(std::abs(f.xF - F.x()) < 0.0005 && std::abs(f.yF - F.y()) < 0.0005);
    if (!D.isNull())
        QVERIFY(std::abs(f.xD - D.x()) < 0.0005 && std::abs(f.yD - D.y()) < 0.0005);
    // A side of no length leaves its apex exactly on its end.
    if (xA == f.xB && yA == f.yB)
        QVERIFY(f.lenAB == 0 && f.xF == f.xB && f.yF == f.yB);
    if (xA == f.xC && yA == f.yC)
        QVERIFY(f.lenAC == 0 && f.xD == f.xC && f.yD == f.yC);

    // The rectangle test itself, with F or D exactly over A: no slope, no rectangle.
    std::feclearexcept(FE_ALL_EXCEPT);
    QVERIFY(!figure::isRectangleAt(xA, yA, xA, yA - 50, xA + 30, yA));
    QVERIFY(!figure::isRectangleAt(xA, yA, xA + 30, yA, xA, yA + 50));
    QVERIFY(!figure::isRectangleAt(xA, yA, xA, yA, xA, yA));
    QVERIFY(!std::fetestexcept(FE_DIVBYZERO | FE_INVALID));
}

void tst_Faults::emptyClientAreaKeepsTheScreen_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("0 x 0") << QSize(0, 0);
    QTest::newRow("no width") << QSize(0, 541);
    QTest::newRow("no height") << QSize(900, 0);
}

void tst_Faults::emptyClientAreaKeepsTheScreen()
{
    QFETCH(QSize, size);
    Shown w;
    w.pointer.press(QPointF(700, 300));
    w.pointer.move(QPointF(720, 310));
    w.pointer.release(QPointF(720, 310));
    QTest::mouseClick(w.control("Command2_0"), Qt::LeftButton);
    const FigureState before = w.state();
    const scene::Scene itemsBefore = w.form.core().scene();

    w.form.resize(size);
    QCOMPARE(w.form.size(), size);
    QVERIFY(samePoints(w.state(), before));
    QCOMPARE(w.state().markCount, std::int16_t(1));
    QVERIFY(sameScene(w.form.core().scene(), itemsBefore));
    QVERIFY(w.form.grab().isNull() || w.form.grab().size().isEmpty());
    // Neither does the reset button find room for a figure there.
    QTest::mouseClick(w.control("Command1"), Qt::LeftButton);
    QVERIFY(samePoints(w.state(), before));

    w.form.resize(900, 541);
    Form1 fresh;
    QVERIFY(sameScene(w.form.core().scene(), fresh.core().scene()));
    QCOMPARE(w.state().markCount, std::int16_t(0));
}

void tst_Faults::onePixelClientAreaWorks()
{
    Shown w;
    w.form.resize(1, 1);
    const FigureState &f = w.state();
    QCOMPARE(f.halfBase, 0.25f);
    QCOMPARE(f.xE, 0.5f);
    QVERIFY(fuzz::checkFigure(w.state(), w.form.core().scene()).empty());
    w.pointer.press(QPointF(0.5, 0.5));
    w.pointer.move(QPointF(0.75, 0.25));
    w.pointer.release(QPointF(0.75, 0.25));
    QVERIFY(fuzz::checkFigure(w.state(), w.form.core().scene()).empty());
    QCOMPARE(w.form.grab().size(), QSize(1, 1));
}

void tst_Faults::sizesNoWindowReportsAreRefused()
{
    Screen s;
    figure::resetScreen(s.state, s.items, 640, 480);
    const FigureState before = s.state;
    for (float bad : {std::nanf(""), std::numeric_limits<float>::infinity(), -1.0f}) {
        QVERIFY(!figure::resetScreen(s.state, s.items, bad, 480));
        QVERIFY(!figure::resetScreen(s.state, s.items, 640, bad));
    }
    QVERIFY(samePoints(s.state, before));
}

void tst_Faults::resizeStormOfAThousandSizes()
{
    Shown w;
    QTest::mouseClick(w.control("Option1_1"), Qt::LeftButton);
    quint32 seed = 2024;
    const auto next = [&seed](quint32 bound) {
        seed = seed * 1664525u + 1013904223u; // a fixed sequence on every machine
        return (seed >> 8) % bound;
    };
    QSize lastFilled = w.form.size();
    for (int i = 0; i < 1000; ++i) {
        const QSize size(i % 97 == 0 ? 0 : int(next(2400)), i % 89 == 0 ? 0 : int(next(1600)));
        if (i % 10 == 0) { // a stroke now and then, which the next real resize must wipe
            w.pointer.press(QPointF(10, 10));
            w.pointer.move(QPointF(40, 60));
            w.pointer.release(QPointF(40, 60));
        }
        w.form.resize(size);
        const FigureState &f = w.state();
        const QSize fitted = size.isEmpty() ? lastFilled : size;
        if (!size.isEmpty() && size != lastFilled) {
            lastFilled = size;
            QVERIFY(w.form.memo().isEmpty());
        }
        const fuzz::BaseTriangle base =
            fuzz::expectedBase(float(fitted.width()), float(fitted.height()));
        QVERIFY2(fuzz::checkBase(f, base).empty(),
            qPrintable(QStringLiteral("size %1 x %2").arg(size.width()).arg(size.height())));
        QCOMPARE(f.dragging, std::int16_t(0));
        QVERIFY(fuzz::checkFigure(w.state(), w.form.core().scene()).empty());
        if (i % 100 == 0)
            QCoreApplication::processEvents(); // paint now and then, as the event loop would
    }
    w.form.resize(900, 541);
    w.form.resize(640, 480);
    w.form.resize(900, 541);
    Form1 fresh;
    QVERIFY(sameScene(w.form.core().scene(), fresh.core().scene()));
    QVERIFY(samePoints(w.state(), fresh.core().state()));
}

void tst_Faults::releaseLostToAPopupThenPressOnANameMovesNothing()
{
    Shown w;
    w.pointer.press(QPointF(700, 450));
    w.pointer.move(QPointF(710, 450));
    {
        // A popup takes the pointer grab mid-drag, and the release with it.
        QWidget popup(nullptr, Qt::Popup);
        popup.resize(50, 50);
        popup.show();
        QCoreApplication::processEvents();
        w.pointer.release(QPointF(720, 450));
    }
    QCoreApplication::processEvents();
    const FigureState before = w.state();

    // A press on A's name belongs to the name; moving it must not carry A anywhere.
    const QPointF onName =
        scene_qt::toQRectF(scene::boundsOf(w.form.core().scene().Label1[0])).center();
    w.pointer.press(onName);
    w.pointer.move(onName + QPointF(5, 0));
    w.pointer.release(onName + QPointF(5, 0));
    QCOMPARE(w.state().xA, before.xA);
    QCOMPARE(w.state().yA, before.yA);
    QCOMPARE(w.state().dragging, std::int16_t(0));
}

void tst_Faults::hidingTheWindowMidDragEndsTheDrag()
{
    Shown w;
    w.pointer.press(QPointF(700, 450));
    w.form.hide();
    QCOMPARE(w.state().dragging, std::int16_t(0));
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    const double xA = w.state().xA;
    w.pointer.move(QPointF(760, 450));
    QCOMPARE(w.state().xA, xA);
}

QTEST_MAIN(tst_Faults)
#include "tst_faults.moc"
