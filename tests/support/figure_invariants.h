#ifndef BRINMOOR_TESTS_FUZZ_FIGURE_INVARIANTS_H
#define BRINMOOR_TESTS_FUZZ_FIGURE_INVARIANTS_H

// The promises that hold after every event, whatever came before: checked on the figure
// state and the scene alone, so both the window fuzzer and the figure fuzz target use them.

#include "figure/figure_state.h"
#include "scene/scene.h"

#include <string>

namespace fuzz {

// Empty when every promise holds, else what broke:
//   - markCount within 0..10 and exactly Shape2(0..markCount - 1) visible;
//   - dragging and gridShown 0 or 1, and every grid line shown exactly when gridShown is 1;
//   - every point, length and angle finite, and every coordinate of every item finite.
std::string checkFigure(const figure::FigureState &state, const scene::Scene &scene);

// Empty when B, C and E are exactly where they are in reference, the initial screen of the
// current size (a fresh board::Board of that size), else what moved: only an initial screen
// places them.
std::string checkBase(const figure::FigureState &state, const figure::FigureState &reference);

// printf for messages, with up to three numbers.
std::string text(const char *format, double a = 0, double b = 0, double c = 0);

} // namespace fuzz

#endif
