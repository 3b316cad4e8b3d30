#ifndef BRINMOOR_SCENE_GRID_H
#define BRINMOOR_SCENE_GRID_H

#include "scene/scene.h"

namespace scene {

// Lays the square grid out over a client area of width x height pixels and makes every grid
// line visible. The spacing is height / 10, so there are always ten rows of cells; the
// vertical lines are counted out from the centre line x = width / 2 (Line6 index 1..15 to the
// left, 16..30 to the right) and may fall outside the window when it is more than three times
// as wide as high. A zero height collapses the lattice onto the top edge and the centre line.
void layoutGrid(Scene &scene, float width, float height);

// The side of one grid cell as last laid out, in pixels: the unit in which the figure is told
// in words. Zero while the grid has been laid out over an empty height only.
float gridSpacing(const Scene &scene);

// Shows or hides all grid lines at once.
void setGridVisible(Scene &scene, bool visible);

} // namespace scene

#endif
