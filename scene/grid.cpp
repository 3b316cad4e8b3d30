#include "scene/grid.h"

namespace scene {

namespace {

    void placeHorizontal(LineItem &line, float width, float y)
    {
        line.X1 = 0;
        line.Y1 = y;
        line.X2 = width;
        line.Y2 = y;
        line.Visible = true;
    }

    void placeVertical(LineItem &line, float x, float height)
    {
        line.X1 = x;
        line.Y1 = 0;
        line.X2 = line.X1;
        line.Y2 = height;
        line.Visible = true;
    }

} // namespace

void layoutGrid(Scene &scene, float width, float height)
{
    const float gridUnit = height / 10;

    for (int k = 0; k < kHorizontalGridLines; ++k)
        placeHorizontal(
            scene.Line5[static_cast<std::size_t>(k)], width, static_cast<float>(k) * gridUnit);

    placeVertical(scene.Line6[0], width / 2, height);
    const float x0 = scene.Line6[0].X1;
    constexpr int kPerSide = (kVerticalGridLines - 1) / 2;
    for (int k = 1; k <= kPerSide; ++k)
        placeVertical(scene.Line6[static_cast<std::size_t>(k)],
            x0 - static_cast<float>(k) * gridUnit, height);
    for (int k = 1; k <= kPerSide; ++k)
        placeVertical(scene.Line6[static_cast<std::size_t>(kPerSide + k)],
            x0 + static_cast<float>(k) * gridUnit, height);
}

float gridSpacing(const Scene &scene)
{
    return scene.Line5[1].Y1 - scene.Line5[0].Y1;
}

void setGridVisible(Scene &scene, bool visible)
{
    for (auto &line : scene.Line5)
        line.Visible = visible;
    for (auto &line : scene.Line6)
        line.Visible = visible;
}

} // namespace scene
