#ifndef BRINMOOR_TESTS_FUZZ_FIGURE_INVARIANTS_H
#define BRINMOOR_TESTS_FUZZ_FIGURE_INVARIANTS_H

// The promises that hold after every event, whatever came before: checked on the figure
// state and the scene alone, so both the window fuzzer and the figure fuzz target use them.

#include "figure/figure_state.h"
#include "scene/scene.h"

#include <string>

namespace fuzz {

// B, C, E and A as the initial screen places them for a client area, worked out here from
// the layout rules rather than by the figure code.
struct BaseTriangle
{
    double xA = 0; // where A starts; drags move it
    double yA = 0;
    float xB = 0;
    double yB = 0;
    float xC = 0;
    double yC = 0;
    float xE = 0;
    double yE = 0;
};

BaseTriangle expectedBase(float width, float height);

// Empty when every promise holds, else what broke:
//   - markCount within 0..10 and exactly Shape2(0..markCount - 1) visible;
//   - dragging and gridShown 0 or 1, and every grid line shown exactly when gridShown is 1;
//   - every point, length and angle finite, and every coordinate of every item finite.
std::string checkFigure(const figure::FigureState &state, const scene::Scene &scene);

// Empty when B, C and E are where the last initial screen put them, else what moved.
std::string checkBase(const figure::FigureState &state, const BaseTriangle &base);

} // namespace fuzz

#endif
