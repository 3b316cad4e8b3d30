// The draw list: what every painter is told to paint, checked as properties of the commands.
#include "board/board.h"
#include "scene/draw_list.h"

#include <QtTest>

#include <cmath>
#include <optional>
#include <vector>

using scene::DrawCommand;
using scene::DrawKind;

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

class tst_DrawList : public QObject
{
    Q_OBJECT

private slots:
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

    void thickLinesGetRoundEndsBeforeTheirStroke()
    {
        board::Board b;
        b.press(700, 450);
        b.move(650, 430); // the drag colours, A off the grid lines
        const std::vector<DrawCommand> list = listOf(b);
        const scene::LineItem &ab = b.scene().Line2[0];
        auto at = std::find_if(list.begin(), list.end(), [&](const DrawCommand &c) {
            return kindOf(c) == DrawKind::Disc && c.x1 == ab.X1 && c.y1 == ab.Y1;
        });
        QVERIFY(at != list.end() && at + 2 < list.end());
        QCOMPARE(at->size, 1.5f);
        QCOMPARE(at->colour, scene::packedColour(ab.BorderColor));
        QCOMPARE(kindOf(at[1]), DrawKind::Disc);
        QCOMPARE((QPointF(at[1].x1, at[1].y1)), QPointF(ab.X2, ab.Y2));
        QCOMPARE(kindOf(at[2]), DrawKind::Segment);
        QCOMPARE(at[2].size, 3.f);
    }

    void segmentsAreCutToTheAreaWithRoomForTheirWidth()
    {
        const board::Board b;
        const scene::LineItem &be = b.scene().Line1[1]; // oblique, from B up to E
        const scene::Rect area {be.X1 + 10.0, be.Y2 + 10.0, be.X2 - 10.0, be.Y1 - 10.0};
        const std::vector<DrawCommand> segments = only(DrawKind::Segment, listOf(b, 1, area));
        QVERIFY(!segments.empty());
        const scene::Rect room = area.adjusted(-5.001, -5.001, 5.001, 5.001); // width + 2
        for (const DrawCommand &c : segments)
            QVERIFY(room.contains({c.x1, c.y1}) && room.contains({c.x2, c.y2}));
        // Far from the figure only grid lines are listed.
        for (const DrawCommand &c : listOf(b, 1, scene::Rect {b.width() - 20.0, 0, b.width(), 20}))
            QCOMPARE(kindOf(c), DrawKind::Band);
    }

    void shapesLieInsideTheirBoxWithOneFill()
    {
        board::Board b;
        b.clickMark(0);
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

QTEST_APPLESS_MAIN(tst_DrawList)
#include "tst_draw_list.moc"
