#include "figure_invariants.h"

#include <cmath>
#include <cstdio>

namespace fuzz {

namespace {

    std::string message(const char *format, double a = 0, double b = 0)
    {
        char text[160];
        std::snprintf(text, sizeof text, format, a, b);
        return text;
    }

    bool finite(const scene::LineItem &l)
    {
        return std::isfinite(l.X1) && std::isfinite(l.Y1) && std::isfinite(l.X2)
            && std::isfinite(l.Y2);
    }
    bool finite(const scene::ShapeItem &s)
    {
        return std::isfinite(s.Left) && std::isfinite(s.Top) && std::isfinite(s.Width)
            && std::isfinite(s.Height);
    }
    bool finite(const scene::LabelItem &l) { return std::isfinite(l.Left) && std::isfinite(l.Top); }

    std::string checkItemsFinite(const scene::Scene &s)
    {
        int index = 0, broken = -1;
        scene::visitInDrawingOrder(s, [&](const auto &item) {
            if (broken < 0 && !finite(item))
                broken = index;
            ++index;
        });
        return broken < 0 ? std::string()
                          : message("item %.0f of the drawing order is not at a finite place",
                              broken);
    }

    std::string checkStateFinite(const figure::FigureState &f)
    {
        const double values[] = {f.xA, f.yA, f.xB, f.yB, f.xC, f.yC, f.xD, f.yD, f.xE, f.yE, f.xF,
            f.yF, f.halfBase, f.lenAB, f.lenAC, f.angAB, f.angAC, f.lastX, f.lastY};
        static constexpr const char *kNames[] = {"xA", "yA", "xB", "yB", "xC", "yC", "xD", "yD",
            "xE", "yE", "xF", "yF", "halfBase", "lenAB", "lenAC", "angAB", "angAC", "lastX",
            "lastY"};
        for (std::size_t i = 0; i < std::size(values); ++i)
            if (!std::isfinite(values[i]))
                return std::string(kNames[i]) + " is not finite";
        return {};
    }

    std::string checkMarks(const figure::FigureState &f, const scene::Scene &s)
    {
        if (f.markCount < 0 || f.markCount > scene::kMarks)
            return message("markCount is %.0f, outside 0..10", f.markCount);
        for (int i = 0; i < scene::kMarks; ++i)
            if (s.Shape2[static_cast<std::size_t>(i)].Visible != (i < f.markCount))
                return message(
                    "Shape2(%.0f) visibility disagrees with markCount %.0f", i, f.markCount);
        return {};
    }

    std::string checkFlagsAndGrid(const figure::FigureState &f, const scene::Scene &s)
    {
        if (f.dragging != 0 && f.dragging != 1)
            return message("dragging is %.0f", f.dragging);
        if (f.gridShown != 0 && f.gridShown != 1)
            return message("gridShown is %.0f", f.gridShown);
        const bool shown = f.gridShown == 1;
        for (const auto &line : s.Line5)
            if (line.Visible != shown)
                return message("a horizontal grid line disagrees with gridShown %.0f", f.gridShown);
        for (const auto &line : s.Line6)
            if (line.Visible != shown)
                return message("a vertical grid line disagrees with gridShown %.0f", f.gridShown);
        return {};
    }

} // namespace

std::string checkFigure(const figure::FigureState &state, const scene::Scene &scene)
{
    for (const std::string &broken : {checkMarks(state, scene), checkFlagsAndGrid(state, scene),
             checkStateFinite(state), checkItemsFinite(scene)})
        if (!broken.empty())
            return broken;
    return {};
}

std::string checkBase(const figure::FigureState &f, const figure::FigureState &base)
{
    if (f.xB != base.xB || f.yB != base.yB || f.xC != base.xC || f.yC != base.yC)
        return message("B or C moved: B = (%g, %g)", f.xB, f.yB)
            + message(", expected (%g, %g)", base.xB, base.yB);
    if (f.xE != base.xE || f.yE != base.yE)
        return message("E moved: E = (%g, %g)", f.xE, f.yE)
            + message(", expected (%g, %g)", base.xE, base.yE);
    return {};
}

} // namespace fuzz
