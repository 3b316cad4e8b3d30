// The figure's constructions: the initial screen for several window sizes, the rebuild for
// A in every situation the direction rule distinguishes, and the rectangle highlight.
#include "expected_screen.h"
#include "figure/construction.h"
#include "figure/marks.h"
#include "figure_invariants.h"

#include <QtTest>

#include <cfenv>
#include <cmath>

using figure::FigureState;
using scene::Scene;
using support::initialScreen;
using namespace figure::colour;

namespace {

constexpr double kTolerance = 0.0005; // three decimals

#define COMPARE_NEAR(actual, expected) QCOMPARE_LE(std::abs((actual) - (expected)), kTolerance)
// A point against an expected one, unless that is null (not known).
#define COMPARE_POINT(actual, expected)                                                            \
    if (!(expected).isNull()) {                                                                    \
        COMPARE_NEAR((actual).x(), (expected).x());                                                \
        COMPARE_NEAR((actual).y(), (expected).y());                                                \
    }

// The points A to F, in the order of their names (Label1).
std::array<QPointF, 6> pointsOf(const FigureState &s)
{
    return {QPointF(s.xA, s.yA), QPointF(s.xB, s.yB), QPointF(s.xC, s.yC), QPointF(s.xD, s.yD),
        QPointF(s.xE, s.yE), QPointF(s.xF, s.yF)};
}

// The eleven segments BC BE CE, AB FB FA, AC DC DA, FE DE, and the names of their ends.
std::array<const scene::LineItem *, 11> segmentsOf(const Scene &s)
{
    return {&s.Line1[0], &s.Line1[1], &s.Line1[2], &s.Line2[0], &s.Line2[1], &s.Line2[2],
        &s.Line3[0], &s.Line3[1], &s.Line3[2], &s.Line4[0], &s.Line4[1]};
}
constexpr char kEnds[] = "BCBECEABFBFAACDCDAFEDE";

bool parallelogramIs(const Scene &s, int index)
{
    const scene::Rgb colour = scene::paletteColor(index);
    return s.Line2[2].BorderColor == colour && s.Line3[2].BorderColor == colour
        && s.Line4[0].BorderColor == colour && s.Line4[1].BorderColor == colour;
}

// Every segment joins its two points, and every name sits by its point: above it, B and C
// below the base. Items hold the figure's places in single precision.
void checkPlacement(const support::Figure &f)
{
    const auto points = pointsOf(f.state);
    const auto at = [](float x, float y, QPointF p) {
        return x == float(p.x()) && y == float(p.y());
    };
    const auto segments = segmentsOf(f.scene);
    for (std::size_t k = 0; k < segments.size(); ++k) {
        const scene::LineItem &line = *segments[k];
        QVERIFY2(at(line.X1, line.Y1, points[kEnds[2 * k] - 'A'])
                && at(line.X2, line.Y2, points[kEnds[2 * k + 1] - 'A']),
            QByteArray(kEnds + 2 * k, 2).constData());
    }
    const QPointF offsets[] = {{-9, -30}, {-9, 3}, {-9, 3}, {1, -30}, {-9, -30}, {-18, -30}};
    for (std::size_t i = 0; i < 6; ++i)
        QVERIFY(at(f.scene.Label1[i].Left, f.scene.Label1[i].Top, points[i] + offsets[i]));
}

} // namespace

class tst_Figure : public QObject
{
    Q_OBJECT

private slots:
    void newStateIsAllZero()
    {
        const FigureState s;
        const double fields[] = {s.xA, s.yA, s.xB, s.yB, s.xC, s.yC, s.xD, s.yD, s.xE, s.yE, s.xF,
            s.yF, s.halfBase, s.lenAC, s.lenAB, s.lastX, s.lastY, s.angAC, s.angAB,
            double(s.dragging), double(s.gridShown), double(s.markCount)};
        for (double field : fields)
            QCOMPARE(field, 0.0);
        // Single-precision fields are those computed from the window's size or the pointer.
        static_assert(
            std::is_same_v<decltype(s.xB), float> && std::is_same_v<decltype(s.yB), double>);
        static_assert(
            std::is_same_v<decltype(s.xE), float> && std::is_same_v<decltype(s.lastY), float>);
        static_assert(std::is_same_v<decltype(s.markCount), std::int16_t>);
    }

    void initialScreenAtEverySize_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<double>("halfBase");
        QTest::addColumn<QList<QPointF>>("points"); // A to F where known

        QTest::newRow("640x480: height decides")
            << 640.f << 480.f << 160.0
            << QList<QPointF> {{266.667, 291.624}, {160, 384}, {480, 384}, {453.211, 153.074},
                   {320, 106.872}, {133.407, 245.422}};
        QTest::newRow("900x541: the window's opening size")
            << 900.f << 541.f << 180.333
            << QList<QPointF> {{389.889, 328.685}, {269.667, 432.8}, {630.333, 432.8},
                   {600.140, 172.527}, {450, 120.454}, {239.694, 276.611}};
        QTest::newRow("400x600: narrow, width decides")
            << 400.f << 600.f << 100.0
            << QList<QPointF> {{166.667, 422.265}, {100, 480}, {300, 480}, {}, {200, 306.795}};
        QTest::newRow("1000x400: wide, E stays inside")
            << 1000.f << 400.f << 133.333
            << QList<QPointF> {{}, {366.667, 320}, {633.333, 320}, {}, {500, 89.060}};
        QTest::newRow("square 300x300") << 300.f << 300.f << 75.0 << QList<QPointF> {};
        QTest::newRow("at the switch 400x300") << 400.f << 300.f << 100.0 << QList<QPointF> {};
        QTest::newRow("tiny 1x1") << 1.f << 1.f << 0.25 << QList<QPointF> {};
    }

    void initialScreenAtEverySize()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(double, halfBase);
        QFETCH(QList<QPointF>, points);

        const support::Figure initial = initialScreen(width, height);
        const FigureState &s = initial.state;
        COMPARE_NEAR(s.halfBase, halfBase);
        const auto actual = pointsOf(s);
        for (int i = 0; i < points.size(); ++i)
            COMPARE_POINT(actual[i], points[i]);
        checkPlacement(initial);
        QCOMPARE(s.yB, s.yC);
        QCOMPARE(s.xC - s.xB, 2 * s.halfBase);
        QCOMPARE(s.xE, width / 2);
        // The same shape at every size: the smaller of a third of the height and a quarter of the
        // width scales the initial triangle.
        QCOMPARE(s.halfBase, std::min(height / 3, width / 4));
        COMPARE_NEAR(s.angAB, 0.713724);
        COMPARE_NEAR(s.angAC, -0.408638);
        COMPARE_NEAR(s.lenAB, s.halfBase * 141.107 / 160);
        COMPARE_NEAR(s.lenAC, s.halfBase * 232.475 / 160);
        // The whole figure fits inside the client area.
        for (const QPointF &p : actual)
            QVERIFY(p.x() >= 0 && p.x() <= width && p.y() >= 0 && p.y() <= height);
        // Triangle BCE light blue, ABF light magenta, ACD light green, FE and DE grey.
        const int colours[] = {kLightBlue, kLightMagenta, kLightGreen, kGrey};
        const auto segments = segmentsOf(initial.scene);
        for (std::size_t k = 0; k < segments.size(); ++k)
            QCOMPARE(segments[k]->BorderColor, scene::paletteColor(colours[k / 3]));

        // A rebuild without displacement reproduces the figure in the drag colours.
        support::Figure moved = initial;
        figure::RebuildFigure(moved.state, moved.scene);
        QVERIFY(std::memcmp(&moved.state, &s, sizeof s) == 0);
        QVERIFY(parallelogramIs(moved.scene, kLightRed));
        QCOMPARE(moved.scene.Line1[0].BorderColor, scene::paletteColor(kBlack));
    }

    void emptyClientAreaChangesNothing_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("minimised 0x0") << 0.f << 0.f;
        for (const auto &[no, size] : {std::pair {"no", 0.f}, {"no number for the", std::nanf("")},
                 {"infinite", std::numeric_limits<float>::infinity()}, {"negative", -1.f}}) {
            QTest::addRow("%s width", no) << size << 541.f;
            QTest::addRow("%s height", no) << 900.f << size;
        }
    }

    void emptyClientAreaChangesNothing()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        support::Figure s = support::rebuiltAt(900, 541, 420, 330);
        s.state.dragging = 1;
        figure::placeMark(s.state, s.scene);
        const support::Figure before = s;

        QVERIFY(!figure::resetScreen(s.state, s.scene, width, height));
        QVERIFY(std::memcmp(&s.state, &before.state, sizeof s.state) == 0);
        QVERIFY(std::memcmp(&s.scene, &before.scene, sizeof s.scene) == 0);
    }

    void rebuildApexes_data()
    {
        QTest::addColumn<QPointF>("A");
        QTest::addColumn<QPointF>("F");
        QTest::addColumn<QPointF>("D");
        QTest::addColumn<double>("angAB"); // NAN where not checked
        QTest::addColumn<double>("angAC");

        const double unchecked = std::nan("");
        QTest::newRow("A above the middle of BC: mirror images")
            << QPointF(320, 150) << QPointF(37.486, 128.371) << QPointF(602.514, 128.371)
            << unchecked << unchecked;
        QTest::newRow("A left of B: half turn for BA")
            << QPointF(100, 200) << QPointF(-29.263, 343.560) << QPointF(449.125, -37.073)
            << 1.884418 << unchecked;
        QTest::newRow("A right of C: half turn for AC")
            << QPointF(560, 200) << QPointF(200.884, -54.389) << QPointF(679.373, 361.494)
            << unchecked << 4.300669;
        QTest::newRow("A straight above B")
            << QPointF(160, 200) << QPointF(0.774, 291.789) << QPointF() << 1.57 << unchecked;
        QTest::newRow("A straight above C: AC points down")
            << QPointF(480, 200) << QPointF() << QPointF(639.226, 291.789) << unchecked << -1.57;
        QTest::newRow("A straight below B")
            << QPointF(160, 500) << QPointF(260.474, 441.973) << QPointF() << -1.57 << unchecked;
        QTest::newRow("A on B: F falls on B")
            << QPointF(160, 384) << QPointF(160, 384) << QPointF(319.853, 106.957) << unchecked
            << unchecked;
        QTest::newRow("A on C: D falls on C")
            << QPointF(480, 384) << QPointF() << QPointF(480, 384) << unchecked << unchecked;
        // Rows with nothing known beyond what every row checks.
        for (const auto &[name, A] : {std::pair {"A straight below C", QPointF(480, 500)},
                 {"A below BC", QPointF(300, 450)}, {"A far up left", QPointF(-3000, -2000)},
                 {"A far up right", QPointF(1e6, -1e6)}, {"A far down left", QPointF(-1e6, 1e6)},
                 {"A far right on the base line", QPointF(1e6, 384)},
                 {"A far above E", QPointF(320, -1e6)}, {"A far below B", QPointF(160, 1e6)}})
            QTest::newRow(name) << A << QPointF() << QPointF() << unchecked << unchecked;
    }

    void rebuildApexes()
    {
        QFETCH(QPointF, A);
        QFETCH(QPointF, F);
        QFETCH(QPointF, D);
        QFETCH(double, angAB);
        QFETCH(double, angAC);

        std::feclearexcept(FE_ALL_EXCEPT);
        support::Figure rebuilt = support::rebuiltAt(640, 480, A.x(), A.y());
        // The next move without displacement judges the rectangle with F or D maybe upright over A.
        figure::RebuildFigure(rebuilt.state, rebuilt.scene);
        QVERIFY2(!std::fetestexcept(FE_DIVBYZERO | FE_INVALID), "a construction divided by zero");
        QVERIFY(fuzz::checkFigure(rebuilt.state, rebuilt.scene).empty());
        // AB, A's name and everything built on A follow A however far it goes.
        checkPlacement(rebuilt);
        const FigureState &s = rebuilt.state;
        QCOMPARE(QPointF(s.xA, s.yA), A);
        // A side of no length leaves its apex exactly on its end.
        if (A == QPointF(s.xB, s.yB))
            QVERIFY(s.lenAB == 0 && s.xF == s.xB && s.yF == s.yB);
        if (A == QPointF(s.xC, s.yC))
            QVERIFY(s.lenAC == 0 && s.xD == s.xC && s.yD == s.yC);
        COMPARE_POINT(QPointF(s.xF, s.yF), F);
        COMPARE_POINT(QPointF(s.xD, s.yD), D);
        if (!std::isnan(angAB))
            COMPARE_NEAR(s.angAB, angAB);
        if (!std::isnan(angAC))
            COMPARE_NEAR(s.angAC, angAC);
        // |BF| = |AB| and |CD| = |AC| hold by construction, whatever the direction rule did.
        QCOMPARE_LE(
            std::abs(std::hypot(s.xF - s.xB, s.yF - s.yB) - s.lenAB), kTolerance + 1e-9 * s.lenAB);
        QCOMPARE_LE(
            std::abs(std::hypot(s.xD - s.xC, s.yD - s.yC) - s.lenAC), kTolerance + 1e-9 * s.lenAC);
        // Everything outside AFED is black after a rebuild.
        for (std::size_t k : {0, 1, 2, 3, 4, 6, 7})
            QCOMPARE(segmentsOf(rebuilt.scene)[k]->BorderColor, scene::paletteColor(kBlack));
        // AFED: F + D = A + E, up to the classroom approximations of pi and 60 degrees.
        const double tolerance = 0.004 * (s.lenAB + s.lenAC) + 0.2;
        QCOMPARE_LE(std::abs(s.xF + s.xD - s.xA - s.xE), tolerance);
        QCOMPARE_LE(std::abs(s.yF + s.yD - s.yA - s.yE), tolerance);
    }

    void rectangleTest_data()
    {
        QTest::addColumn<double>("slopeAF");
        QTest::addColumn<double>("slopeAD");
        QTest::addColumn<bool>("rectangle");
        QTest::newRow("perpendicular") << 2.0 << -0.5 << true;
        QTest::newRow("just inside -1.05") << 1.0 << -1.049 << true;
        QTest::newRow("just inside -0.95") << 1.0 << -0.951 << true;
        QTest::newRow("exactly -0.95") << 1.0 << -0.95 << false;
        QTest::newRow("exactly -1.05") << 1.0 << -1.05 << false;
        QTest::newRow("mirror images about 45 degrees: +1") << 2.0 << 0.5 << false;
        QTest::newRow("far from perpendicular") << 0.2 << -0.3 << false;
    }

    void rectangleTest()
    {
        QFETCH(double, slopeAF);
        QFETCH(double, slopeAD);
        QFETCH(bool, rectangle);
        // A at the origin, F one step right along slope AF, D one step right along slope AD.
        QCOMPARE(figure::isRectangleAt(0, 0, 1, slopeAF, 1, slopeAD), rectangle);
        // Steps to the left give the same slopes.
        QCOMPARE(figure::isRectangleAt(10, 10, 9, 10 - slopeAF, 11, 10 + slopeAD), rectangle);
    }

    void noRectangleWithoutPerpendicularSlopes()
    {
        // That a single move straight onto a rectangle lights it at once is the session row "one
        // move onto a rectangle lights AFED blue", whose colours tst_sessions checks on the core.
        // Products near +1 are no rectangle: on 900 x 541 with A at (808, 120) the angle FAD is
        // about 150 degrees.
        const support::Figure mirror = support::rebuiltAt(900, 541, 808, 120);
        const FigureState &f = mirror.state;
        const double product = (f.yF - f.yA) * (f.yD - f.yA) / ((f.xF - f.xA) * (f.xD - f.xA));
        QVERIFY2(product > 0.95 && product < 1.05, qPrintable(QString::number(product)));
        QVERIFY(parallelogramIs(mirror.scene, kLightRed));

        // A vertical side has no slope: no rectangle, no division by zero, the run completes.
        std::feclearexcept(FE_ALL_EXCEPT);
        QVERIFY(!figure::isRectangleAt(5, 5, 5, 100, 20, 30));
        QVERIFY(!figure::isRectangleAt(5, 5, 35, 5, 5, 55));
        QVERIFY(!figure::isRectangleAt(5, 5, 5, 5, 5, 5));
        QVERIFY(!std::fetestexcept(FE_DIVBYZERO | FE_INVALID));
        support::Figure onB = support::rebuiltAt(640, 480, 160, 384);
        figure::RebuildFigure(onB.state, onB.scene); // F = B is straight above... on A
        QVERIFY(parallelogramIs(onB.scene, kLightRed)); // D there: rebuildApexes, "A on B"
    }

    void marksFollowTheCountAndStayPut()
    {
        support::Figure s = initialScreen(640, 480);
        QVERIFY(figure::canPlaceMark(s.state));
        QVERIFY(!figure::canRemoveMark(s.state));
        for (int i = 0; i < 12; ++i) {
            s.state.xA = 100 + 10 * i;
            figure::placeMark(s.state, s.scene);
        }
        QCOMPARE(s.state.markCount, std::int16_t(10));
        QVERIFY(!figure::canPlaceMark(s.state));
        QCOMPARE(s.scene.Shape2[9].Left, 186.f); // centred on A: 190 - 4
        COMPARE_NEAR(s.scene.Shape2[9].Top, 291.624 - 4);
        // Removing goes last first: the session row "marks stop at ten and go last first", with
        // exactly the first markCount marks shown after every step (fuzz::checkFigure).
        for (int i = 0; i < 12; ++i)
            figure::removeMark(s.state, s.scene);
        QCOMPARE(s.state.markCount, std::int16_t(0));
        for (const auto &mark : s.scene.Shape2)
            QVERIFY(!mark.Visible);
    }
};

QTEST_APPLESS_MAIN(tst_Figure)
#include "tst_figure.moc"
