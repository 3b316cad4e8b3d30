#ifndef BRINMOOR_FIGURE_MARKS_H
#define BRINMOOR_FIGURE_MARKS_H

#include "figure/figure_state.h"
#include "scene/scene.h"

namespace figure {

// Up to scene::kMarks marks remember where A was: Shape2(0) to Shape2(markCount - 1) are
// exactly the marks shown, in the order they were placed.

bool canPlaceMark(const FigureState &state);
bool canRemoveMark(const FigureState &state);

// Shows the next mark centred on A's current place; does nothing when all marks are used.
void placeMark(FigureState &state, scene::Scene &scene);

// Hides the most recently placed mark; does nothing when none is shown.
void removeMark(FigureState &state, scene::Scene &scene);

} // namespace figure

#endif
