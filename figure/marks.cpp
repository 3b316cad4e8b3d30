#include "figure/marks.h"

namespace figure {

bool canPlaceMark(const FigureState &state)
{
    return state.markCount < scene::kMarks;
}

bool canRemoveMark(const FigureState &state)
{
    return state.markCount > 0;
}

void placeMark(FigureState &state, scene::Scene &scene)
{
    if (!canPlaceMark(state))
        return;
    scene::ShapeItem &mark = scene.Shape2[static_cast<std::size_t>(state.markCount)];
    mark.Left = static_cast<float>(state.xA - mark.Width / 2);
    mark.Top = static_cast<float>(state.yA - mark.Height / 2);
    mark.Visible = true;
    ++state.markCount;
}

void removeMark(FigureState &state, scene::Scene &scene)
{
    if (!canRemoveMark(state))
        return;
    --state.markCount;
    scene.Shape2[static_cast<std::size_t>(state.markCount)].Visible = false;
}

} // namespace figure
