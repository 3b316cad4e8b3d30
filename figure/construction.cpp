#include "figure/construction.h"

#include "scene/grid.h"

#include <cmath>

namespace figure {

namespace {

    using scene::LineItem;
    using scene::paletteColor;

    // Item positions are single precision; the figure keeps full precision.
    void place(LineItem &line, double x1, double y1, double x2, double y2)
    {
        line.X1 = static_cast<float>(x1);
        line.Y1 = static_cast<float>(y1);
        line.X2 = static_cast<float>(x2);
        line.Y2 = static_cast<float>(y2);
    }

    void placeLabel(scene::LabelItem &label, double left, double top)
    {
        label.Left = static_cast<float>(left);
        label.Top = static_cast<float>(top);
    }

    void setColours(scene::Scene &s, int triangleBCE, int triangleABF, int triangleACD, int closing)
    {
        for (auto &line : s.Line1)
            line.BorderColor = paletteColor(triangleBCE);
        for (auto &line : s.Line2)
            line.BorderColor = paletteColor(triangleABF);
        for (auto &line : s.Line3)
            line.BorderColor = paletteColor(triangleACD);
        for (auto &line : s.Line4)
            line.BorderColor = paletteColor(closing);
    }

    // The four sides of the parallelogram AFED.
    void setParallelogramColour(scene::Scene &s, int index)
    {
        s.Line2[2].BorderColor = paletteColor(index);
        s.Line3[2].BorderColor = paletteColor(index);
        s.Line4[0].BorderColor = paletteColor(index);
        s.Line4[1].BorderColor = paletteColor(index);
    }

    void placeTriangleBCE(const FigureState &f, scene::Scene &s)
    {
        place(s.Line1[0], f.xB, f.yB, f.xC, f.yC);
        place(s.Line1[1], f.xB, f.yB, f.xE, f.yE);
        place(s.Line1[2], f.xC, f.yC, f.xE, f.yE);
    }

    // Builds F and D from A, B and C and places everything that depends on A. F turns B->A
    // about B counter-clockwise (as seen on the screen), D turns C->A about C clockwise, so
    // with A above BC both apexes lie outside triangle ABC.
    void buildFromA(FigureState &f, scene::Scene &s)
    {
        place(s.Line2[0], f.xA, f.yA, f.xB, f.yB);
        f.lenAB = std::sqrt((f.xB - f.xA) * (f.xB - f.xA) + (f.yB - f.yA) * (f.yB - f.yA));
        f.angAB = directionAngle(f.xB, f.yB, f.xA, f.yA);
        f.xF = f.xB + f.lenAB * std::cos(f.angAB + kTurn);
        f.yF = f.yB - f.lenAB * std::sin(f.angAB + kTurn);
        place(s.Line2[1], f.xF, f.yF, f.xB, f.yB);
        place(s.Line2[2], f.xF, f.yF, f.xA, f.yA);

        place(s.Line3[0], f.xA, f.yA, f.xC, f.yC);
        f.lenAC = std::sqrt((f.xC - f.xA) * (f.xC - f.xA) + (f.yC - f.yA) * (f.yC - f.yA));
        f.angAC = directionAngle(f.xA, f.yA, f.xC, f.yC);
        f.xD = f.xC - f.lenAC * std::cos(f.angAC - kTurn);
        f.yD = f.yC + f.lenAC * std::sin(f.angAC - kTurn);
        place(s.Line3[1], f.xD, f.yD, f.xC, f.yC);
        place(s.Line3[2], f.xD, f.yD, f.xA, f.yA);

        place(s.Line4[0], f.xF, f.yF, f.xE, f.yE);
        place(s.Line4[1], f.xD, f.yD, f.xE, f.yE);

        // Each name sits just above its point, except B and C, which sit below the base.
        placeLabel(s.Label1[0], f.xA - 9, f.yA - 30);
        placeLabel(s.Label1[1], f.xB - 9.0, f.yB + 3);
        placeLabel(s.Label1[2], f.xC - 9.0, f.yC + 3);
        placeLabel(s.Label1[3], f.xD + 1, f.yD - 30);
        placeLabel(s.Label1[4], f.xE - 9.0, f.yE - 30);
        placeLabel(s.Label1[5], f.xF - 18, f.yF - 30);
    }

} // namespace

double directionAngle(double xP, double yP, double xQ, double yQ)
{
    if (xQ == xP)
        return yQ <= yP ? kPi / 2 : -kPi / 2;
    const double slope = (yP - yQ) / (xQ - xP); // y pointing up
    return xP < xQ ? std::atan(slope) : std::atan(slope) + kPi;
}

bool isRectangleAt(double xA, double yA, double xF, double yF, double xD, double yD)
{
    const double run = (xF - xA) * (xD - xA);
    if (run == 0 || !std::isfinite(run))
        return false;
    const double slopeProduct = (yF - yA) * (yD - yA) / run;
    return -1.05 < slopeProduct && slopeProduct < -0.95;
}

bool showsRectangle(const scene::Scene &s)
{
    // The four sides are always coloured together; FE is light blue for nothing else.
    return s.Line4[0].BorderColor == paletteColor(colour::kLightBlue);
}

bool resetScreen(FigureState &f, scene::Scene &s, float scaleWidth, float scaleHeight)
{
    if (!(scaleWidth > 0 && scaleHeight > 0 && std::isfinite(scaleWidth)
            && std::isfinite(scaleHeight)))
        return false;

    f.dragging = 0;
    setColours(s, colour::kLightBlue, colour::kLightMagenta, colour::kLightGreen, colour::kGrey);
    scene::layoutGrid(s, scaleWidth, scaleHeight);
    f.gridShown = 1; // the grid is visible again, and the flag says so

    f.yB = (4.0 / 5.0) * scaleHeight;
    f.yC = f.yB;
    f.halfBase = scaleHeight / 3;
    if (f.halfBase > scaleWidth / 4)
        f.halfBase = scaleWidth / 4;
    f.xB = scaleWidth / 2 - f.halfBase;
    f.xC = scaleWidth / 2 + f.halfBase;
    f.xE = scaleWidth / 2;
    f.yE = f.yB - f.halfBase * std::sqrt(3.0);
    placeTriangleBCE(f, s);

    // A third of BC right of B and a third of E's height above BC: inside triangle BCE.
    f.xA = f.xB + f.halfBase * (2.0 / 3.0);
    f.yA = f.yB - (f.yB - f.yE) * (1.0 / 3.0);
    buildFromA(f, s);

    for (auto &mark : s.Shape2)
        mark.Visible = false;
    f.markCount = 0;
    return true;
}

void RebuildFigure(FigureState &f, scene::Scene &s)
{
    setColours(s, colour::kBlack, colour::kBlack, colour::kBlack, colour::kBlack);
    setParallelogramColour(s, colour::kLightRed);
    placeTriangleBCE(f, s);
    buildFromA(f, s);
    // Judged on the figure as it is now drawn, not on the previous move's apexes.
    if (isRectangleAt(f.xA, f.yA, f.xF, f.yF, f.xD, f.yD))
        setParallelogramColour(s, colour::kLightBlue);
}

} // namespace figure
