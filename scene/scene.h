#ifndef BRINMOOR_SCENE_SCENE_H
#define BRINMOOR_SCENE_SCENE_H

#include "scene/items.h"

#include <array>

namespace scene {

inline constexpr int kHorizontalGridLines = 11; // Line5
inline constexpr int kVerticalGridLines = 31; // Line6
inline constexpr int kMarks = 10; // Shape2

// Every item the window paints itself, each with its design properties. The window's controls
// (buttons, check box, option buttons) are real widgets and not part of the scene.
struct Scene
{
    std::array<LineItem, 3> Line1; // triangle BCE: BC, BE, CE
    std::array<LineItem, 3> Line2; // triangle ABF: AB, FB, FA
    std::array<LineItem, 3> Line3; // triangle ACD: AC, DC, DA
    std::array<LineItem, 2> Line4; // FE and DE
    std::array<LineItem, kHorizontalGridLines> Line5; // horizontal grid lines, top to bottom
    std::array<LineItem, kVerticalGridLines> Line6; // vertical grid lines: centre, left, right
    std::array<LabelItem, 6> Label1; // names of the points A to F
    LabelItem Label2; // "at most ten" note on the mark panel
    ShapeItem Shape1; // panel behind the option buttons
    std::array<ShapeItem, kMarks> Shape2; // position marks
    ShapeItem Shape3; // panel behind the mark buttons

    Scene();
};

// Every label by one index, the captions' numbering for front-ends that measure and cache
// them: Label1(0..5) name A to F, then Label2.
inline constexpr int kLabelCount = 7;
inline const LabelItem &labelAt(const Scene &s, int index)
{
    return index < 6 ? s.Label1[static_cast<std::size_t>(index)] : s.Label2;
}
inline LabelItem &labelAt(Scene &s, int index)
{
    return index < 6 ? s.Label1[static_cast<std::size_t>(index)] : s.Label2;
}
// The index of a label of this scene.
inline int indexOf(const Scene &s, const LabelItem &label)
{
    return &label == &s.Label2 ? 6 : static_cast<int>(&label - s.Label1.data());
}

// Calls visit(item) for every item, visible or not, from the bottom of the drawing order to
// the top. The first line of each grid array lies over the figure, as designed; the lines
// created at start-up lie under everything, so that the base BC (always on a grid row), the
// panels and the point names stay clear of the lattice.
template <typename Visitor> void visitInDrawingOrder(const Scene &s, Visitor &&visit)
{
    for (std::size_t i = 1; i < s.Line5.size(); ++i)
        visit(s.Line5[i]);
    for (std::size_t i = 1; i < s.Line6.size(); ++i)
        visit(s.Line6[i]);
    visit(s.Shape3);
    for (int i = static_cast<int>(s.Label1.size()) - 1; i >= 0; --i)
        visit(s.Label1[static_cast<std::size_t>(i)]);
    for (const auto &line : s.Line1)
        visit(line);
    for (const auto &line : s.Line2)
        visit(line);
    for (const auto &line : s.Line3)
        visit(line);
    for (const auto &line : s.Line4)
        visit(line);
    visit(s.Shape1);
    visit(s.Line5[0]);
    visit(s.Line6[0]);
    for (const auto &mark : s.Shape2)
        visit(mark);
    visit(s.Label2);
}

} // namespace scene

#endif
