#ifndef BRINMOOR_SCENE_ITEMS_H
#define BRINMOOR_SCENE_ITEMS_H

#include "scene/fonts.h"
#include "scene/palette.h"

namespace scene {

// Positions and sizes are logical pixels of the window's client area, x to the right and
// y downward from its top-left corner. Property names follow the window's design sheet.

// A solid straight segment from (X1, Y1) to (X2, Y2).
struct LineItem
{
    float X1 = 0; // first end
    float Y1 = 0;
    float X2 = 0; // second end
    float Y2 = 0;
    Rgb BorderColor; // stroke colour
    int BorderWidth = 1; // stroke width in pixels
    bool Visible = true;
};

enum class ShapeKind { Circle, RoundedRectangle };

// A circle or rounded rectangle in the box Left, Top, Width, Height.
struct ShapeItem
{
    ShapeKind Shape = ShapeKind::Circle;
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    bool BackOpaque = false; // interior painted in BackColor
    Rgb BackColor;
    bool Filled = false; // interior painted in FillColor (over BackColor)
    Rgb FillColor;
    Rgb BorderColor; // one-pixel outline
    bool Visible = true;
};

// A one-line text whose box is sized to its caption; (Left, Top) is the box's top-left corner.
// The box is its font's pixel size high and as wide as the front-end measures the caption,
// once, with its own font; the box painted and the box that takes presses are the same.
struct LabelItem
{
    const char *Caption = ""; // UTF-8, static storage
    float Left = 0;
    float Top = 0;
    float Width = 0; // caption's measured width; 0 until measured
    FontRole Font = FontRole::Standard;
    Rgb ForeColor;
    bool BackOpaque = false; // box painted in BackColor
    Rgb BackColor {255, 255, 255};
    bool Visible = true;
};

} // namespace scene

#endif
