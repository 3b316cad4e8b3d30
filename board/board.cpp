#include "board/board.h"

#include "figure/construction.h"
#include "figure/marks.h"
#include "scene/grid.h"

#include <cmath>

namespace board {

Board::Board(float width, float height) : clientWidth(width), clientHeight(height)
{
    scene::layoutGrid(items, width, height);
    figureState.gridShown = 1;
    resetScreen();
}

Changes Board::setLabelWidth(int index, float width)
{
    scene::LabelItem &label = scene::labelAt(items, index);
    const scene::Rect before = scene::boundsOf(label);
    label.Width = width;
    Changes changes;
    changes.repaint = before.united(scene::boundsOf(label)).aligned();
    return changes;
}

Changes Board::press(float x, float y, bool furtherButton)
{
    const scene::Point at {x, y};
    const bool restartsDrag = furtherButton && figureState.dragging == 1;
    if (!restartsDrag && (isOnControl(at) || isOnLabel(at))) {
        figureState.dragging = 0;
        return {};
    }
    figureState.dragging = 1;
    figureState.lastX = x;
    figureState.lastY = y;
    return {};
}

Changes Board::move(float x, float y)
{
    if (figureState.dragging != 1)
        return {};
    Changes changes;
    if (currentMode == Mode::MoveA) {
        changes = moveA(x - figureState.lastX, y - figureState.lastY);
    } else {
        scene::Point from {figureState.lastX, figureState.lastY};
        scene::Point to {x, y};
        // Cut to what can be seen: a pointer far outside must not cost the painter seconds.
        const double pad = kMemoPenWidth + 1;
        if (scene::clipSegment(from, to, wholeClientArea().adjusted(-pad, -pad, pad, pad))) {
            changes.drawMemo = true;
            changes.memoFrom = from;
            changes.memoTo = to;
            changes.repaint = scene::spanning(from, to).adjusted(-pad, -pad, pad, pad).aligned();
        }
    }
    figureState.lastX = x;
    figureState.lastY = y;
    return changes;
}

Changes Board::release()
{
    Changes changes;
    changes.described = figureState.dragging == 1 && currentMode == Mode::MoveA;
    figureState.dragging = 0;
    return changes;
}

Changes Board::arrowKey(Arrow arrow, bool large)
{
    if (currentMode != Mode::MoveA)
        return {};
    const float step = large ? 10 : 1;
    const float dx = arrow == Arrow::Left ? -step : arrow == Arrow::Right ? step : 0;
    const float dy = arrow == Arrow::Up ? -step : arrow == Arrow::Down ? step : 0;
    // Someone who steps A with keys cannot see where it went.
    Changes changes = moveA(dx, dy);
    changes.described = changes.announce = true;
    return changes;
}

Changes Board::moveA(float dx, float dy)
{
    const scene::Rect before = scene::figureBounds(items);
    const bool wasRectangle = showsRectangle();
    figureState.xA += dx;
    figureState.yA += dy;
    figure::RebuildFigure(figureState, items);
    Changes changes;
    changes.repaint = before.united(scene::figureBounds(items));
    changes.described = changes.announce = showsRectangle() != wasRectangle;
    return changes;
}

Changes Board::selectMode(Mode mode)
{
    currentMode = mode;
    return {};
}

Changes Board::clickOption()
{
    Changes changes;
    changes.clearMemo = true;
    changes.repaint = wholeClientArea();
    return changes;
}

Changes Board::clickReset()
{
    return resetScreen();
}

Changes Board::clickMark(int index)
{
    // The buttons' enabled states keep the count in range; the guards inside placeMark and
    // removeMark stand behind them.
    const std::size_t touched =
        static_cast<std::size_t>(index == 0 ? figureState.markCount : figureState.markCount - 1);
    if (index == 0)
        figure::placeMark(figureState, items);
    else
        figure::removeMark(figureState, items);
    Changes changes;
    if (touched < items.Shape2.size())
        changes.repaint = scene::boundsOf(items.Shape2[touched]).aligned();
    changes.controls = true;
    changes.described = true;
    return changes;
}

Changes Board::clickGrid()
{
    Changes changes;
    changes.repaint = wholeClientArea();
    changes.controls = true;
    if (figureState.gridShown == 0) {
        scene::setGridVisible(items, true);
        figureState.gridShown = 1;
        changes.repaintNow = true;
    } else {
        scene::setGridVisible(items, false);
        figureState.gridShown = 0;
    }
    return changes;
}

Changes Board::resize(float width, float height)
{
    clientWidth = width;
    clientHeight = height;
    Changes changes = resetScreen();
    changes.clearMemo = changes.rebuilt;
    return changes;
}

Changes Board::resetScreen()
{
    // An empty client area (a minimised window) has no room for a figure: the last screen
    // stays until there is room again.
    if (!figure::resetScreen(figureState, items, clientWidth, clientHeight))
        return {};
    Changes changes;
    changes.repaint = wholeClientArea();
    changes.controls = true;
    changes.rebuilt = true;
    changes.described = true; // A is back at its start and the marks are gone
    return changes;
}

bool Board::canPlaceMark() const
{
    return figure::canPlaceMark(figureState);
}

bool Board::canRemoveMark() const
{
    return figure::canRemoveMark(figureState);
}

bool Board::showsRectangle() const
{
    return figure::showsRectangle(items);
}

bool Board::isOnControl(scene::Point p) const
{
    for (const ControlDesign &control : kControls)
        if (control.box().contains(p))
            return true;
    return false;
}

bool Board::isOnLabel(scene::Point p) const
{
    for (int i = 0; i < scene::kLabelCount; ++i) {
        const scene::LabelItem &label = scene::labelAt(items, i);
        if (label.Visible && scene::boundsOf(label).contains(p))
            return true;
    }
    return false;
}

} // namespace board
