// The scene's design properties, its drawing order, the grid layout and segment clipping, and
// the draw list: what every painter is told to paint, checked as properties of the commands.
#include "board/board.h"
#include "scene/draw_list.h"
#include "scene/grid.h"

#include <QLineF>
#include <QtTest>

#include <cmath>
#include <optional>
#include <vector>

using scene::DrawCommand;
using scene::DrawKind;
using scene::Rgb;
using scene::Scene;

namespace {

DrawKind kindOf(const DrawCommand &c)
{
    return static_cast<DrawKind>(c.kind);
}

// What paints the board at the ratio, or only its part in area.
std::vector<DrawCommand> listOf(
    const board::Board &b, double ratio = 1, std::optional<scene::Rect> area = {})
{
    std::vector<DrawCommand> list;
    scene::buildDrawList(
        list, b.scene(), area.value_or(scene::Rect {0, 0, b.width(), b.height()}), ratio);
    return list;
}

std::vector<DrawCommand> only(DrawKind kind, std::vector<DrawCommand> list)
{
    list.erase(std::remove_if(list.begin(), list.end(),
                   [&](const DrawCommand &c) { return kindOf(c) != kind; }),
        list.end());
    return list;
}

} // namespace

class tst_Scene : public QObject
{
    Q_OBJECT

private slots:
    void paletteHasTheStandardSixteen()
    {
        for (const auto &[index, colour] : {std::pair {0, Rgb {0, 0, 0}}, {8, Rgb {128, 128, 128}},
                 {9, Rgb {0, 0, 255}}, {10, Rgb {0, 255, 0}}, {12, Rgb {255, 0, 0}},
                 {13, Rgb {255, 0, 255}}, {15, Rgb {255, 255, 255}}})
            QCOMPARE(scene::paletteColor(index), colour);
    }

    void designProperties()
    {
        const Scene s;
        for (const auto *lines : {&s.Line1, &s.Line2, &s.Line3})
            for (const auto &line : *lines)
                QCOMPARE(line.BorderWidth, 3);
        QCOMPARE(s.Line4[1].BorderWidth, 3);
        QCOMPARE(s.Line5[0].BorderColor, (Rgb {192, 192, 192}));
        QCOMPARE(s.Line5[0].BorderWidth, 1);
        QVERIFY(s.Line5[0].Visible && s.Line6[0].Visible);
        // Grid lines beyond the first take its appearance and start hidden.
        QCOMPARE(s.Line6[30].BorderColor, s.Line6[0].BorderColor);
        QCOMPARE(s.Line6[30].BorderWidth, 1);
        QVERIFY(!s.Line5[10].Visible && !s.Line6[30].Visible);

        for (int i = 0; i < 6; ++i) {
            QCOMPARE(QString::fromUtf8(s.Label1[i].Caption), QString(QLatin1Char('A' + i)));
            QVERIFY(s.Label1[i].BackOpaque);
            QCOMPARE(s.Label1[i].BackColor, (Rgb {255, 255, 255}));
            QCOMPARE(s.Label1[i].Font, scene::FontRole::Point);
        }
        QCOMPARE(QString::fromUtf8(s.Label2.Caption), QStringLiteral("１０個まで"));
        QCOMPARE(s.Label2.ForeColor, (Rgb {255, 255, 255}));
        QVERIFY(!s.Label2.BackOpaque);

        QCOMPARE(s.Shape1.Shape, scene::ShapeKind::RoundedRectangle);
        const auto box = [](const scene::ShapeItem &i) {
            return QRectF(i.Left, i.Top, i.Width, i.Height);
        };
        QCOMPARE(box(s.Shape1), QRectF(104, 8, 153, 57));
        QCOMPARE(s.Shape1.BackColor, (Rgb {0, 192, 192}));
        QCOMPARE(box(s.Shape3), QRectF(4, 72, 97, 92));
        QVERIFY(s.Shape3.Filled);
        QCOMPARE(s.Shape3.FillColor, (Rgb {0, 128, 0}));
        for (const auto &mark : s.Shape2) {
            QCOMPARE(mark.Shape, scene::ShapeKind::Circle);
            QCOMPARE(QSizeF(mark.Width, mark.Height), QSizeF(8, 8));
            QCOMPARE(mark.BackColor, (Rgb {0, 192, 0}));
            QVERIFY(!mark.Visible);
        }
    }

    void drawingOrderPutsSegmentsOverLabelsAndMarksOnTop()
    {
        const Scene s;
        std::vector<const void *> order;
        scene::visitInDrawingOrder(s, [&](const auto &item) { order.push_back(&item); });
        QCOMPARE(order.size(), std::size_t(3 + 3 + 3 + 2 + 11 + 31 + 6 + 1 + 1 + 10 + 1));
        const auto at = [&](const void *item) {
            return int(std::find(order.begin(), order.end(), item) - order.begin());
        };

        // The created grid lines lie under everything, element 0 of each array over the figure.
        for (const auto &[item, place] : {std::pair<const void *, int> {&s.Line5[1], 0},
                 {&s.Line6[30], 39}, {&s.Shape3, 40}, {&s.Label1[5], 41}, {&s.Label1[0], 46},
                 {&s.Line1[0], 47}, {&s.Line4[1], 57}, {&s.Shape1, 58}, {&s.Line5[0], 59},
                 {&s.Line6[0], 60}, {&s.Shape2[0], 61}, {&s.Label2, int(order.size()) - 1}})
            QCOMPARE(at(item), place);
        for (int i = 1; i < 10; ++i)
            QCOMPARE(at(&s.Shape2[i]), at(&s.Shape2[i - 1]) + 1);
    }

    void gridLayout_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("unit");
        // Lines 9 and 24, beyond the eighth left and right of the centre, fall outside 900 x 541;
        // wider than three heights, the grid leaves strips at both edges.
        QTest::newRow("900x541: the opening size") << 900.f << 541.f << 54.1f;
        QTest::newRow("1800x500: wider than three heights") << 1800.f << 500.f << 50.f;
        QTest::newRow("no height: collapses without failing") << 640.f << 0.f << 0.f;
    }

    void gridLayout()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(float, unit);
        Scene s;
        scene::layoutGrid(s, width, height);
        for (int k = 0; k <= 10; ++k) {
            const auto &line = s.Line5[k];
            QVERIFY(line.Visible);
            QCOMPARE(line.X1, 0.f);
            QCOMPARE(line.X2, width);
            QCOMPARE(line.Y1, line.Y2);
            QVERIFY(qAbs(line.Y1 - k * unit) < 1e-3f);
        }
        QCOMPARE(s.Line5[10].Y1, height); // the bottom line lies on the bottom edge
        QCOMPARE(s.Line6[0].X1, width / 2);
        for (int k = 1; k <= 15; ++k) {
            const auto &left = s.Line6[k];
            const auto &right = s.Line6[15 + k];
            QVERIFY(left.Visible && right.Visible);
            QVERIFY(qAbs(left.X1 - (width / 2 - k * unit)) < 1e-3f);
            QVERIFY(qAbs(right.X1 - (width / 2 + k * unit)) < 1e-3f);
            QCOMPARE(left.X2, left.X1);
            QCOMPARE(left.Y1, 0.f);
            QCOMPARE(right.Y2, height);
        }
    }

    void gridCanBeHiddenAndShown()
    {
        Scene s;
        scene::layoutGrid(s, 900, 541);
        scene::setGridVisible(s, false);
        for (const auto &line : s.Line5)
            QVERIFY(!line.Visible);
        for (const auto &line : s.Line6)
            QVERIFY(!line.Visible);
        QVERIFY(s.Line1[0].Visible); // the figure is not part of the grid
        scene::setGridVisible(s, true);
        QVERIFY(s.Line6[17].Visible);
        // Laying out again resizes without touching colour or width.
        scene::layoutGrid(s, 640, 480);
        QCOMPARE(s.Line6[17].BorderColor, (Rgb {192, 192, 192}));
        QCOMPARE(s.Line5[3].Y1, 144.f);
    }

    void clippingKeepsWhatIsSeen_data()
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

    void clippingKeepsWhatIsSeen()
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
            qPrintable(QStringLiteral("(%1, %2) to (%3, %4)")
                           .arg(a.x())
                           .arg(a.y())
                           .arg(b.x())
                           .arg(b.y())));
    }

    void bandsAndCaptionBoxesLieOnDevicePixels_data()
    {
        QTest::addColumn<double>("ratio");
        for (double ratio : {1.0, 1.25, 1.5, 2.0})
            QTest::addRow("ratio %g", ratio) << ratio;
    }

    void bandsAndCaptionBoxesLieOnDevicePixels()
    {
        QFETCH(double, ratio);
        const board::Board b;
        const std::vector<DrawCommand> list = listOf(b, ratio);
        for (DrawKind kind : {DrawKind::Band, DrawKind::Text})
            for (const DrawCommand &c : only(kind, list)) {
                for (float edge : {c.x1, c.y1, c.x2, c.y2})
                    QVERIFY2(std::abs(edge * ratio - std::round(edge * ratio)) < 1e-3,
                        qPrintable(QString::number(edge)));
                QVERIFY((c.x2 - c.x1) * ratio >= 1 - 1e-3 && (c.y2 - c.y1) * ratio >= 1 - 1e-3);
            }
        // Every grid line inside the window, and the horizontal base BC.
        const auto &columns = b.scene().Line6;
        const auto inside = std::count_if(columns.begin(), columns.end(),
            [&](const scene::LineItem &l) { return l.X1 >= 0 && l.X1 < b.width(); });
        QCOMPARE(
            int(only(DrawKind::Band, list).size()), scene::kHorizontalGridLines + int(inside) + 1);
    }

    // Whether they are cut to the painted area with room for their width is the window's
    // test that part of a frame is that part of the whole frame.
    void thickLinesGetRoundEndsBeforeTheirStroke()
    {
        board::Board b;
        b.press(700, 450, board::LeftButton, board::LeftButton);
        b.move(650, 430); // the drag colours, A off the grid lines
        const std::vector<DrawCommand> list = listOf(b);
        int oblique = 0, strokes = 0;
        for (const auto *lines : {&b.scene().Line1, &b.scene().Line2, &b.scene().Line3})
            for (const scene::LineItem &l : *lines)
                oblique += !scene::isAxisAligned(l);
        for (const scene::LineItem &l : b.scene().Line4)
            oblique += !scene::isAxisAligned(l);
        for (std::size_t i = 2; i < list.size(); ++i) {
            const DrawCommand &c = list[i], &start = list[i - 2], &end = list[i - 1];
            if (kindOf(c) != DrawKind::Segment || c.size != 3)
                continue;
            ++strokes;
            QVERIFY(kindOf(start) == DrawKind::Disc && kindOf(end) == DrawKind::Disc);
            QCOMPARE((QPointF(start.x1, start.y1)), QPointF(c.x1, c.y1));
            QCOMPARE((QPointF(end.x1, end.y1)), QPointF(c.x2, c.y2));
            QVERIFY(start.size == 1.5f && end.size == 1.5f && start.colour == c.colour);
        }
        QCOMPARE(strokes, oblique);
    }

    void shapesLieInsideTheirBoxWithOneFill()
    {
        board::Board b;
        b.clickControl(board::Control::Command2_0);
        const scene::Scene &s = b.scene();
        const std::vector<DrawCommand> shapes = only(DrawKind::Shape, listOf(b));
        // The two panels and the one mark placed.
        const scene::ShapeItem *items[] = {&s.Shape3, &s.Shape1, &s.Shape2[0]};
        QCOMPARE(shapes.size(), std::size(items));
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            const DrawCommand &c = shapes[i];
            const scene::ShapeItem &item = *items[i];
            QCOMPARE((QRectF(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2))),
                QRectF(item.Left, item.Top, item.Width, item.Height)
                    .adjusted(0.5, 0.5, -0.5, -0.5));
            const bool rounded = item.Shape == scene::ShapeKind::RoundedRectangle;
            QCOMPARE(c.variant, rounded ? 1.f : 0.f);
            QCOMPARE(c.size, rounded ? float(std::min(item.Width, item.Height) * 0.15) : 0.f);
            QCOMPARE(c.fill, scene::packedColour(item.Filled ? item.FillColor : item.BackColor));
            QCOMPARE(c.colour, scene::packedColour(item.BorderColor));
        }
    }

    void captionsSitOnTheDesignBaseline()
    {
        board::Board b;
        for (int i = 0; i < scene::kLabelCount; ++i)
            b.setLabelWidth(i, 17);
        const std::vector<DrawCommand> texts = only(DrawKind::Text, listOf(b));
        QCOMPARE(int(texts.size()), scene::kLabelCount);
        for (const DrawCommand &c : texts) {
            const scene::LabelItem &label = scene::labelAt(b.scene(), int(c.variant));
            const int pixels = scene::fontPixels(label.Font);
            QCOMPARE(c.y2 - c.y1, float(pixels));
            QCOMPARE(c.x2 - c.x1, 17.f);
            QCOMPARE(c.size, label.Top + (label.Font == scene::FontRole::Point ? 24.f : 11.f));
            QCOMPARE(
                c.fill, label.BackOpaque ? scene::packedColour(label.BackColor) : scene::kNoColour);
        }
    }
};

QTEST_APPLESS_MAIN(tst_Scene)
#include "tst_scene.moc"
