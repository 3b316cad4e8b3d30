#include "controls.h"

#include "board/controls.h"
#include "painter.h"

#include <uxtheme.h>
#include <windowsx.h>

#include <cmath>

namespace {

COLORREF colorRef(scene::Rgb c)
{
    return RGB(c.r, c.g, c.b);
}

int scaled(double logical, float ratio)
{
    return int(std::lround(logical * ratio));
}

} // namespace

Controls::~Controls()
{
    for (HBRUSH brush : backgrounds)
        DeleteObject(brush);
}

void Controls::create(HWND form, HINSTANCE instance)
{
    for (int i = 0; i < board::kControlCount; ++i) {
        const board::ControlDesign &d = board::kControls[std::size_t(i)];
        const DWORD kind = d.kind == board::ControlKind::PushButton ? BS_OWNERDRAW
            : d.kind == board::ControlKind::OptionButton            ? BS_RADIOBUTTON
                                                                    : BS_CHECKBOX;
        // The two options are one group, as on Windows: Tab stops at the selected one, and an
        // arrow key selects the other.
        const DWORD group = board::Control(i) == board::Control::Option1_1 ? 0 : WS_GROUP;
        handles[std::size_t(i)] = CreateWindowExW(0, L"BUTTON", wide(d.caption).c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | group | kind, 0, 0, 0, 0,
            form, reinterpret_cast<HMENU>(INT_PTR(kFirstId + i)), instance, nullptr);
        backgrounds[std::size_t(i)] = CreateSolidBrush(colorRef(d.background));
        // Themed option buttons and check boxes would draw their captions black.
        if (d.kind != board::ControlKind::PushButton)
            SetWindowTheme(handles[std::size_t(i)], L"", L"");
    }
}

void Controls::layOut(float ratio, HFONT font)
{
    for (int i = 0; i < board::kControlCount; ++i) {
        const board::ControlDesign &d = board::kControls[std::size_t(i)];
        HWND control = handles[std::size_t(i)];
        MoveWindow(control, scaled(d.left, ratio), scaled(d.top, ratio),
            scaled(d.left + d.width, ratio) - scaled(d.left, ratio),
            scaled(d.top + d.height, ratio) - scaled(d.top, ratio), TRUE);
        SendMessageW(control, WM_SETFONT, WPARAM(font), TRUE);
    }
}

void Controls::show(
    const std::array<board::ControlView, board::kControlCount> &views, HWND form)
{
    for (int i = 0; i < board::kControlCount; ++i) {
        HWND control = handles[std::size_t(i)];
        const board::ControlView &view = views[std::size_t(i)];
        if (!view.enabled && GetFocus() == control) // a greyed-out button keeps no focus
            SendMessageW(form, WM_NEXTDLGCTL, 0, FALSE);
        EnableWindow(control, view.enabled);
        if (board::kControls[std::size_t(i)].kind != board::ControlKind::PushButton)
            Button_SetCheck(control, view.checked ? BST_CHECKED : BST_UNCHECKED);
    }
}

int Controls::indexOf(HWND control) const
{
    for (int i = 0; i < board::kControlCount; ++i)
        if (handles[std::size_t(i)] == control)
            return i;
    return -1;
}

// A push button in the graphical style: its face colour, darker while pressed, grey text when
// disabled, the focus rectangle when the keyboard is on it.
void Controls::draw(const DRAWITEMSTRUCT &item) const
{
    const int index = indexOf(item.hwndItem);
    if (index < 0)
        return;
    const scene::Rgb face = board::kControls[std::size_t(index)].background;
    const bool down = item.itemState & ODS_SELECTED;
    RECT box = item.rcItem;
    HBRUSH brush = CreateSolidBrush(colorRef(down ? board::pressedFace(face) : face));
    FillRect(item.hDC, &box, brush);
    DeleteObject(brush);
    DrawEdge(item.hDC, &box, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    wchar_t text[64] {};
    GetWindowTextW(item.hwndItem, text, 64);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(
        item.hDC, GetSysColor(item.itemState & ODS_DISABLED ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT label = box;
    if (down)
        OffsetRect(&label, 1, 1);
    DrawTextW(item.hDC, text, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&box, -2, -2);
        DrawFocusRect(item.hDC, &box);
    }
}

// The option buttons' and the check box's background and text colours.
LRESULT Controls::colour(HDC dc, HWND control) const
{
    const int index = indexOf(control);
    if (index < 0)
        return 0;
    const board::ControlDesign &d = board::kControls[std::size_t(index)];
    SetTextColor(dc, d.whiteText ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, colorRef(d.background));
    return LRESULT(backgrounds[std::size_t(index)]);
}
