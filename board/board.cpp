#include "board/board.h"

#include "board/description.h"
#include "figure/construction.h"
#include "figure/marks.h"
#include "scene/grid.h"

#include <cmath>
#include <cstring>

namespace board {

namespace {

    // How long words wait for the next change before a screen reader speaks them, in
    // milliseconds: a held arrow key is told where A came to rest, not every step on the way.
    constexpr int kSpeechDelay = 300;

    bool isArrow(Key key)
    {
        return key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down;
    }

} // namespace

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
    changes.repaint = before.united(scene::boundsOf(label));
    return finished(changes);
}

Changes Board::setClientSize(float width, float height, float ratio)
{
    // An empty client area (a minimised window) has no room for a figure: everything stays as
    // it is until the area comes back, at its old size or a new one.
    if (!(width > 0 && height > 0 && ratio > 0 && std::isfinite(width * height * ratio)))
        return {};
    const bool first = pixelRatio == 0;
    const bool newSize = width != clientWidth || height != clientHeight;
    if (!first && !newSize && ratio == pixelRatio)
        return {};
    pixelRatio = ratio;
    Changes changes;
    if (newSize) {
        clientWidth = width;
        clientHeight = height;
        changes = resetScreen();
        changes.clearMemo = true;
        memoInk = false;
    }
    if (first) { // everything, and nothing to speak while the window opens
        showControls(changes);
        described = Description {};
        tell(changes, 0, false);
        changes.speak = false;
    }
    changes.fitMemo = true;
    changes.memoWidth = static_cast<int>(std::ceil(clientWidth * pixelRatio));
    changes.memoHeight = static_cast<int>(std::ceil(clientHeight * pixelRatio));
    changes.memoRatio = pixelRatio;
    changes.repaint = wholeClientArea();
    return finished(changes);
}

Changes Board::press(float x, float y, unsigned button, unsigned held)
{
    const scene::Point at {x, y};
    const bool furtherButton = (held & ~button) != 0 && figureState.dragging == 1;
    if (!furtherButton && (isOnControl(at) || isOnLabel(at))) {
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
            changes.repaint = scene::spanning(from, to).adjusted(-pad, -pad, pad, pad);
            memoInk = true;
        }
    }
    figureState.lastX = x;
    figureState.lastY = y;
    return finished(changes);
}

Changes Board::release(unsigned, unsigned)
{
    return pointerLost();
}

Changes Board::pointerLost()
{
    Changes changes;
    // A drag of A ends: where it came to rest is the surface's description now.
    if (figureState.dragging == 1 && currentMode == Mode::MoveA)
        tell(changes, 0, false);
    figureState.dragging = 0;
    return changes;
}

Changes Board::key(Key key, unsigned modifiers)
{
    Changes changes;
    if (isArrow(key) && !(modifiers & (Ctrl | Alt | Meta))) {
        changes.keyTaken = true;
        if (currentMode == Mode::MoveA) {
            const float step = modifiers & Shift ? 10 : 1;
            const float dx = key == Key::Left ? -step : key == Key::Right ? step : 0;
            const float dy = key == Key::Up ? -step : key == Key::Down ? step : 0;
            changes = moveA(dx, dy);
            changes.keyTaken = true;
            // Someone who steps A with keys cannot see where it went.
            tell(changes, PlaceSentence | RectangleSentence, true);
        }
    }
    const bool copies = (key == Key::C && (modifiers == Ctrl || modifiers == Meta))
        || (key == Key::Insert && modifiers == Ctrl);
    if (copies)
        changes.keyTaken = changes.copyPicture = true;
    return finished(changes);
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
    if (showsRectangle() != wasRectangle)
        tell(changes, PlaceSentence | RectangleSentence, true);
    return changes;
}

Changes Board::clickControl(Control control)
{
    switch (control) {
    case Control::Command1:
        return finished(resetScreen());
    case Control::Option1_0:
        return finished(selectMode(Mode::MoveA));
    case Control::Option1_1:
        return finished(selectMode(Mode::Memo));
    case Control::Check1:
        return finished(clickGrid());
    case Control::Command2_0:
        // A disabled button takes no click; its state keeps the count in range.
        return canPlaceMark() ? finished(clickMark(true)) : Changes {};
    case Control::Command2_1:
        return canRemoveMark() ? finished(clickMark(false)) : Changes {};
    }
    return {};
}

Changes Board::selectMode(Mode mode)
{
    // Every click on either option clears the memo, on the option already selected too.
    currentMode = mode;
    Changes changes;
    changes.clearMemo = true;
    memoInk = false;
    changes.repaint = wholeClientArea();
    showControls(changes);
    return changes;
}

Changes Board::clickMark(bool place)
{
    const std::size_t touched = static_cast<std::size_t>(figureState.markCount - (place ? 0 : 1));
    if (place)
        figure::placeMark(figureState, items);
    else
        figure::removeMark(figureState, items);
    Changes changes;
    changes.repaint = scene::boundsOf(items.Shape2[touched]);
    showControls(changes);
    tell(changes, MarksSentence, true);
    return changes;
}

Changes Board::clickGrid()
{
    Changes changes;
    changes.repaint = wholeClientArea();
    if (figureState.gridShown == 0) {
        scene::setGridVisible(items, true);
        figureState.gridShown = 1;
        changes.repaintNow = true;
    } else {
        scene::setGridVisible(items, false);
        figureState.gridShown = 0;
    }
    showControls(changes);
    return changes;
}

Changes Board::setSurfaceFocus(bool focused, bool byKeyboard)
{
    const bool shown = focused && byKeyboard;
    if (shown == focusFrame)
        return {};
    focusFrame = shown;
    Changes changes;
    changes.repaint = wholeClientArea();
    return finished(changes);
}

Changes Board::resetScreen()
{
    // An empty client area has no room for a figure: the last screen stays.
    if (!figure::resetScreen(figureState, items, clientWidth, clientHeight))
        return {};
    Changes changes;
    changes.repaint = wholeClientArea();
    showControls(changes);
    // A is back at its start and the marks are gone: worth telling, unless nothing moved.
    tell(changes, PlaceSentence | RectangleSentence | MarksSentence, false);
    return changes;
}

void Board::tell(Changes &changes, unsigned sentences, bool speakAlways)
{
    const Description now = describe(*this);
    const bool changed = std::strcmp(now.c_str(), described.c_str()) != 0;
    if (changed) {
        described = now;
        changes.described = true;
        changes.description = now;
    }
    if (sentences != 0 && (changed || speakAlways)) {
        changes.speak = true;
        changes.speech = describe(*this, sentences);
        changes.speechDelay = kSpeechDelay;
    }
}

void Board::showControls(Changes &changes) const
{
    changes.controls = true;
    const auto view = [&changes](Control c) -> ControlView & {
        return changes.controlViews[static_cast<std::size_t>(c)];
    };
    view(Control::Option1_0).checked = currentMode == Mode::MoveA;
    view(Control::Option1_1).checked = currentMode == Mode::Memo;
    view(Control::Check1).checked = gridChecked();
    view(Control::Command2_0).enabled = canPlaceMark();
    view(Control::Command2_1).enabled = canRemoveMark();
}

Changes Board::finished(Changes changes) const
{
    // Repainted on whole device pixels, so that no painter rounds it its own way.
    changes.repaint =
        changes.repaint.aligned(paintRatio()).intersected(wholeClientArea().aligned(paintRatio()));
    return changes;
}

void Board::frame(std::vector<scene::DrawCommand> &list, const scene::Rect &area) const
{
    const scene::Rect painted =
        area.aligned(paintRatio()).intersected(wholeClientArea().aligned(paintRatio()));
    compose(list, painted, scene::DrawContent::Window);
    if (focusFrame)
        list.push_back({float(scene::DrawKind::FocusFrame), 0, 0, clientWidth, clientHeight, 1,
            scene::packedColour(kFocusFrameColor), scene::kNoColour, 0, 0});
}

void Board::picture(std::vector<scene::DrawCommand> &list) const
{
    compose(list, wholeClientArea().aligned(paintRatio()), scene::DrawContent::Board);
}

int Board::pictureWidth() const
{
    return static_cast<int>(std::ceil(clientWidth * paintRatio()));
}

int Board::pictureHeight() const
{
    return static_cast<int>(std::ceil(clientHeight * paintRatio()));
}

void Board::compose(std::vector<scene::DrawCommand> &list, const scene::Rect &area,
    scene::DrawContent content) const
{
    list.clear();
    if (area.isEmpty())
        return;
    const auto box = [&](scene::DrawKind kind, float colour) {
        list.push_back({float(kind), float(area.left), float(area.top), float(area.right),
            float(area.bottom), 0, colour, scene::kNoColour, 0, 0});
    };
    box(scene::DrawKind::Clear, scene::packedColour({255, 255, 255}));
    if (memoInk)
        box(scene::DrawKind::Memo, scene::kNoColour);
    scene::buildDrawList(list, items, area, paintRatio(), content);
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
