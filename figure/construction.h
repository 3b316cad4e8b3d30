#ifndef BRINMOOR_FIGURE_CONSTRUCTION_H
#define BRINMOOR_FIGURE_CONSTRUCTION_H

#include "figure/figure_state.h"
#include "scene/scene.h"

namespace figure {

// The constructions use the classroom values pi = 3.14 and a 60-degree turn of 188.4 / 180
// radians, so the triangles on AB and AC are equilateral to within about 0.2 %.
inline constexpr double kPi = 3.14;
inline constexpr double kTurn = 188.4 / 180;

// Palette indices of the figure's colours.
namespace colour {
    inline constexpr int kBlack = 0;
    inline constexpr int kGrey = 8;
    inline constexpr int kLightBlue = 9;
    inline constexpr int kLightGreen = 10;
    inline constexpr int kLightRed = 12;
    inline constexpr int kLightMagenta = 13;
} // namespace colour

// Direction angle of the ray from P to Q, counter-clockwise from +x as seen on the screen.
// A vertical ray gives +-1.57 without dividing; a ray pointing left adds the half turn 3.14.
// P == Q counts as straight up (1.57).
double directionAngle(double xP, double yP, double xQ, double yQ);

// True when AF and AD are perpendicular to within the classroom tolerance: the product of
// their slopes lies strictly between -1.05 and -0.95. A vertical AF or AD, or F or D on A,
// gives no slope and so no rectangle; nothing is divided by zero.
bool isRectangleAt(double xA, double yA, double xF, double yF, double xD, double yD);

// True while the four sides of AFED are painted as a rectangle (light blue): after a rebuild
// whose rectangle test passed, until the next rebuild or initial screen. The starting colours
// never show one.
bool showsRectangle(const scene::Scene &scene);

// Puts the whole figure in its starting state for a client area of scaleWidth x scaleHeight:
// ends any drag, gives the segments their starting colours, lays the grid out and shows it,
// places B, C, E and A, builds F and D, places every segment and label, and removes all
// marks. An empty (or non-finite) client area has no room for a figure: the state and the
// scene are then left exactly as they were and the result is false.
bool resetScreen(FigureState &state, scene::Scene &scene, float scaleWidth, float scaleHeight);

// Brings the figure up to date with the current A: rebuilds F and D from A, B and C, places
// all eleven segments and six labels, and colours them for dragging (black, with the four
// sides of AFED light red, or light blue when they form a rectangle). B, C and E are only
// read. Every colour and position is written on every run.
void RebuildFigure(FigureState &state, scene::Scene &scene);

} // namespace figure

#endif
