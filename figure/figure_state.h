#ifndef BRINMOOR_FIGURE_FIGURE_STATE_H
#define BRINMOOR_FIGURE_FIGURE_STATE_H

#include <cstdint>

namespace figure {

// Everything the window remembers from one event to the next. Positions are pixels of the
// client area (y downward); angles are radians counter-clockwise as seen on the screen.
// B, C and E change only with the initial screen; A moves with drags; D, F, the lengths and
// the angles are rebuilt from A, B and C by every construction.
struct FigureState
{
    double xA = 0; // vertex A, the one the user drags
    double yA = 0;
    float xB = 0; // left end of the base BC
    double yB = 0;
    float xC = 0; // right end of the base BC
    double yC = 0;
    double xD = 0; // apex of the equilateral triangle on AC
    double yD = 0;
    float xE = 0; // apex of the equilateral triangle on BC
    double yE = 0;
    double xF = 0; // apex of the equilateral triangle on AB
    double yF = 0;
    float halfBase = 0; // half of BC: the size of the initial figure
    double lenAC = 0;
    double lenAB = 0;
    float lastX = 0; // pointer at the previous event of the current press
    float lastY = 0;
    double angAC = 0; // direction of the ray from A to C
    double angAB = 0; // direction of the ray from B to A
    std::int16_t dragging = 0; // 1 while a press on the window surface lasts
    std::int16_t gridShown = 0; // 1 while the grid is switched on
    std::int16_t markCount = 0; // position marks shown, 0 to 10
};

} // namespace figure

#endif
