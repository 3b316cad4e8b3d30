#include "scene/scene.h"

namespace scene {

namespace {

    constexpr Rgb kTeal {0, 192, 192};
    constexpr Rgb kDarkGreen {0, 128, 0};
    constexpr Rgb kMarkGreen {0, 192, 0};
    constexpr Rgb kGridGrey {192, 192, 192};
    constexpr Rgb kWhite {255, 255, 255};

    LineItem figureSegment()
    {
        LineItem line;
        line.BorderWidth = 3;
        return line;
    }

    // Element 0 of a grid array is visible by design; the others are created with its
    // appearance and start hidden until the first layout.
    template <std::size_t N> void makeGridArray(std::array<LineItem, N> &lines)
    {
        LineItem first;
        first.BorderColor = kGridGrey;
        first.BorderWidth = 1;
        lines.fill(first);
        for (std::size_t i = 1; i < N; ++i)
            lines[i].Visible = false;
    }

    ShapeItem roundedPanel(float left, float top, float width, float height)
    {
        ShapeItem panel;
        panel.Shape = ShapeKind::RoundedRectangle;
        panel.Left = left;
        panel.Top = top;
        panel.Width = width;
        panel.Height = height;
        return panel;
    }

} // namespace

Scene::Scene()
{
    Line1.fill(figureSegment());
    Line2.fill(figureSegment());
    Line3.fill(figureSegment());
    Line4.fill(figureSegment());
    makeGridArray(Line5);
    makeGridArray(Line6);

    static constexpr const char *kPointNames[] = {"A", "B", "C", "D", "E", "F"};
    for (std::size_t i = 0; i < Label1.size(); ++i) {
        LabelItem &label = Label1[i];
        label.Caption = kPointNames[i];
        label.Font = FontRole::Point;
        label.BackOpaque = true;
        label.BackColor = kWhite;
    }

    Label2.Caption = "１０個まで";
    Label2.Left = 30;
    Label2.Top = 112;
    Label2.ForeColor = kWhite;

    Shape1 = roundedPanel(104, 8, 153, 57);
    Shape1.BackOpaque = true;
    Shape1.BackColor = kTeal;
    Shape1.BorderColor = kTeal;

    Shape3 = roundedPanel(4, 72, 97, 92);
    Shape3.Filled = true;
    Shape3.FillColor = kDarkGreen;
    Shape3.BorderColor = kDarkGreen;

    ShapeItem mark;
    mark.Shape = ShapeKind::Circle;
    mark.Width = 8;
    mark.Height = 8;
    mark.BackOpaque = true;
    mark.BackColor = kMarkGreen;
    mark.BorderColor = kMarkGreen;
    mark.Visible = false;
    Shape2.fill(mark);
}

} // namespace scene
