#include "figure_invariants.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace fuzz {

std::string text(const char *format, double a, double b, double c)
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

namespace {

    // Whether an item lies at a finite place, one overload per kind of item in the scene.
    struct Finite
    {
        template <typename... Number> static bool all(Number... values)
        {
            return (std::isfinite(double(values)) && ...);
        }
        bool operator()(const scene::LineItem &l) const { return all(l.X1, l.Y1, l.X2, l.Y2); }
        bool operator()(const scene::ShapeItem &s) const
        {
            return all(s.Left, s.Top, s.Width, s.Height);
        }
        bool operator()(const scene::LabelItem &l) const { return all(l.Left, l.Top); }
    };

} // namespace

std::string checkFigure(const figure::FigureState &f, const scene::Scene &s)
{
    if (f.markCount < 0 || f.markCount > scene::kMarks)
        return text("markCount is %.0f, outside 0..10", f.markCount);
    for (int i = 0; i < scene::kMarks; ++i)
        if (s.Shape2[std::size_t(i)].Visible != (i < f.markCount))
            return text("Shape2(%.0f) visibility disagrees with markCount %.0f", i, f.markCount);
    if (f.dragging != 0 && f.dragging != 1)
        return text("dragging is %.0f", f.dragging);
    if (f.gridShown != 0 && f.gridShown != 1)
        return text("gridShown is %.0f", f.gridShown);
    const auto disagrees = [&](const scene::LineItem &line) {
        return line.Visible != (f.gridShown == 1);
    };
    if (std::any_of(s.Line5.begin(), s.Line5.end(), disagrees))
        return text("a horizontal grid line disagrees with gridShown %.0f", f.gridShown);
    if (std::any_of(s.Line6.begin(), s.Line6.end(), disagrees))
        return text("a vertical grid line disagrees with gridShown %.0f", f.gridShown);
    const double values[] = {f.xA, f.yA, f.xB, f.yB, f.xC, f.yC, f.xD, f.yD, f.xE, f.yE, f.xF, f.yF,
        f.halfBase, f.lenAB, f.lenAC, f.angAB, f.angAC, f.lastX, f.lastY};
    static constexpr const char *kNames[] = {"xA", "yA", "xB", "yB", "xC", "yC", "xD", "yD", "xE",
        "yE", "xF", "yF", "halfBase", "lenAB", "lenAC", "angAB", "angAC", "lastX", "lastY"};
    for (std::size_t i = 0; i < std::size(values); ++i)
        if (!std::isfinite(values[i]))
            return std::string(kNames[i]) + " is not finite";
    int index = 0, broken = -1;
    scene::visitInDrawingOrder(s, [&](const auto &item) {
        if (broken < 0 && !Finite()(item))
            broken = index;
        ++index;
    });
    return broken < 0 ? std::string()
                      : text("item %.0f of the drawing order is not at a finite place", broken);
}

std::string checkBase(const figure::FigureState &f, const figure::FigureState &base)
{
    if (f.xB != base.xB || f.yB != base.yB || f.xC != base.xC || f.yC != base.yC)
        return text("B or C moved: B = (%g, %g)", f.xB, f.yB)
            + text(", expected (%g, %g)", base.xB, base.yB);
    if (f.xE != base.xE || f.yE != base.yE)
        return text("E moved: E = (%g, %g), expected (%g, ", f.xE, f.yE, base.xE)
            + text("%g)", base.yE);
    return {};
}

} // namespace fuzz
