#ifndef BRINMOOR_SCENE_DRAW_LIST_H
#define BRINMOOR_SCENE_DRAW_LIST_H

#include "scene/geometry.h"

#include <vector>

// How the scene is painted, decided once for every front-end: the visible items that touch an
// area, in drawing order, as a few primitive commands (the board adds what lies beneath and
// above them to make a frame). A painter walks the list and paints each command as it stands;
// it decides nothing about geometry. Positions are logical pixels.
namespace scene {

enum class DrawKind {
    // A filled rectangle x1, y1 to x2, y2, not antialiased: its edges already lie on device
    // pixels. Horizontal and vertical lines, so that a thin grid line is one crisp pixel of
    // its exact colour at every scale.
    Band,
    // A straight stroke from (x1, y1) to (x2, y2), size pixels wide, flat ends, antialiased.
    // Cut to the painted area; any round ends come as discs before it.
    Segment,
    // A filled circle around (x1, y1) of radius size, antialiased: a thick line's round ends.
    Disc,
    // An ellipse (variant 0) or a rounded rectangle (variant 1, corner radius size) inside the
    // box x1, y1 to x2, y2, antialiased: the interior in fill unless fill is kNoColour, then a
    // one-pixel outline in colour centred on the box's edge.
    Shape,
    // A label's caption: the box x1, y1 to x2, y2 (on device pixels) filled with fill unless
    // fill is kNoColour, then the caption (variant: its index in scene::labelAt's numbering)
    // in the font role font, colour colour, starting at x1 on the baseline y = size, clipped
    // to the box. Not antialiased but for the glyphs themselves.
    Text,
    // The first command of a frame: the box x1, y1 to x2, y2 (on device pixels) is the area the
    // frame repaints; clip to it and fill it with colour.
    Clear,
    // The memo strokes: copy the memo raster's pixels under the box x1, y1 to x2, y2 (on device
    // pixels) to the same place.
    Memo,
    // The drawing surface's focus frame: a dotted line size pixels wide in colour, along the
    // inside of the box x1, y1 to x2, y2.
    FocusFrame,
};
inline constexpr int kDrawKindCount = 8;

// A colour as one number: 0xRRGGBB, exact in single precision; kNoColour paints nothing.
inline constexpr float kNoColour = -1;
constexpr float packedColour(Rgb c)
{
    return static_cast<float>((c.r << 16) | (c.g << 8) | c.b);
}

// One primitive. Every field is a 32-bit float, so that the browser page reads the list
// straight from the module's memory; the meaning of each field depends on kind (above).
struct DrawCommand
{
    float kind; // a DrawKind
    float x1, y1; // first end, centre or top-left corner
    float x2, y2; // second end or bottom-right corner
    float size; // stroke width, radius, corner radius or baseline
    float colour; // stroke, disc, band, outline or caption colour
    float fill; // a shape's interior or a caption's background, or kNoColour
    float variant; // shape kind or caption index
    float font; // a caption's FontRole
};

// What a list paints: the whole window, or the board alone as a picture to copy, without the
// panels behind the controls and the note between the mark buttons (Shape1, Shape3, Label2),
// which belong to the controls.
enum class DrawContent { Window, Board };

// Appends the commands that paint the visible items touching area, in drawing order. ratio is the
// device pixel ratio of the surface painted on: bands and caption boxes are snapped to its pixels.
void buildDrawList(std::vector<DrawCommand> &list, const Scene &scene, const Rect &area,
    double ratio, DrawContent content = DrawContent::Window);

} // namespace scene

#endif
